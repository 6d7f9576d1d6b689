// Profiles: settings as sections of "key=value" lines, held in memory and read from or written
// to an INI file as a whole.
#pragma once

#include "CString.h"
#include "WinTypes.h"

#include <memory>
#include <string>

class PROFILEHANDLE {
public:
  // 1 makes a scratch profile that lives only in memory: what is written into it can be read back.
  explicit PROFILEHANDLE(int kind = 1);
  ~PROFILEHANDLE();
  PROFILEHANDLE(const PROFILEHANDLE&) = delete;
  PROFILEHANDLE& operator=(const PROFILEHANDLE&) = delete;

  // Replaces the content with the file's; false (content emptied, error set) when it cannot be read
  // or is no settings file (binary data, a line that is no section, setting or comment). A file
  // that does not exist is read as an empty profile.
  bool ReadFile(const char* path);
  // Writes the whole content atomically: a temporary file in the same folder, flushed, then renamed
  // over the target, so a crash or a full disk never leaves a half-written file. Missing folders are made.
  bool WriteFile(const char* path) const;
  // Why the last ReadFile or WriteFile failed: a sentence for the user, and the bare reason in
  // English (for a command line).
  const CString& GetLastError() const;
  const std::string& GetLastReason() const;

  // Raw access, names compared ignoring case; false when the key is not there.
  bool GetString(const char* section, const char* key, CString& value) const;
  void SetString(const char* section, const char* key, const char* value);
  void RemoveKey(const char* section, const char* key);
  CString ToText() const;
  void FromText(const CString& text);

private:
  bool Refuse(const char* path, const std::string& german, const std::string& english);

  struct Data;
  std::unique_ptr<Data> m_data;
};

// The stored value, or the default when the key is missing or not a number that fits 32 bits.
void GetPrivateProfileIntA(const char* section, const char* key, int defaultValue, int& value, PROFILEHANDLE* profile);
void GetPrivateProfileLong(const char* section, const char* key, LONG defaultValue, LONG& value, PROFILEHANDLE* profile);
// Stores the value; the default is what readers fall back to and is not needed for writing.
void WritePrivateProfileInt(const char* section, const char* key, int defaultValue, int value, PROFILEHANDLE* profile);
void WritePrivateProfileLong(const char* section, const char* key, LONG defaultValue, LONG value, PROFILEHANDLE* profile);
