// Objects that load and save themselves as a per-user INI settings file.
#pragma once

#include "CString.h"
#include "Profile.h"

// "$XDG_CONFIG_HOME/<owner>/<file>" (XDG_CONFIG_HOME defaults to ~/.config).
CString Help_GetLokalStammdatenName(const char* fileName, const char* ownerName);

class CSaveAsIniFileObject {
public:
  CSaveAsIniFileObject() = default;
  virtual ~CSaveAsIniFileObject() = default;

  virtual CString GetStammdatenName() const { return m_strStammdatenName; }
  // Read and write the object's values from and into an open profile.
  virtual int Lade(PROFILEHANDLE* profile) = 0;
  virtual int Sichere(PROFILEHANDLE* profile) = 0;
  // Tell the user why the last load or save failed.
  virtual void ShowLastErrorMsgBox_Laden();
  virtual void ShowLastErrorMsgBox_Speichern();

  // Loads from the settings file. A missing file is no error (the values keep their defaults);
  // an unreadable or broken one returns false and the values keep their defaults too.
  virtual bool Laden();
  // Saves into the settings file, keeping every other section and key the file holds. A file
  // that could not be loaded is first kept as "<file>.defekt" and replaced by a new one.
  virtual bool Sichern();

  const CString& GetLastErrorText() const { return m_strLastError; }
  // The reason the file could not be loaded, in English for a command line; empty when it could.
  const std::string& GetLastLoadReason() const { return m_strLadeGrund; }

protected:
  CString m_strStammdatenName;
  CString m_strLastError;
  std::string m_strLadeGrund;
};
