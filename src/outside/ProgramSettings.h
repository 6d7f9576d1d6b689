// The local program settings of the family's programs: small values remembered per user in
// "$XDG_CONFIG_HOME/Brennwald Systemtechnik/Programm.ini", saved at once.
#pragma once

#include "CString.h"

#include <mutex>

class CProgrammEinstellungBase {
public:
  virtual ~CProgrammEinstellungBase() = default;
  // The stored number, or the default when there is none (or it is not a number).
  int Get(const char* section, const char* key, int defaultValue, bool local);
  // Stores the number; false (and nothing lost) when the file cannot be written.
  bool Set(const char* section, const char* key, int value);
  // A stored text, or the default when there is none.
  CString GetText(const char* section, const char* key, const char* defaultValue);
  bool SetText(const char* section, const char* key, const char* value);

protected:
  explicit CProgrammEinstellungBase(CString fileName) : m_strFileName(std::move(fileName)) {}

private:
  CString m_strFileName;
  std::mutex m_mutex;
};

class CLokaleProgrammEinstellung : public CProgrammEinstellungBase {
public:
  static CLokaleProgrammEinstellung& GetItem();

private:
  CLokaleProgrammEinstellung();
};
