#include "outside/SettingsFile.h"

#include "outside/MessageBox.h"

#include <cstdio>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace {

CString ConfigHome() {
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (!home || !*home) {
    const passwd* user = getpwuid(getuid());
    home = user ? user->pw_dir : "/tmp";
  }
  return CString(home) + "/.config";
}

} // namespace

CString Help_GetLokalStammdatenName(const char* fileName, const char* ownerName) {
  return ConfigHome() + "/" + ownerName + "/" + fileName;
}

void CSaveAsIniFileObject::ShowLastErrorMsgBox_Laden() {
  if (!m_strLastError.IsEmpty()) AfxMessageBox(m_strLastError, MB_OK | MB_ICONWARNING);
}

void CSaveAsIniFileObject::ShowLastErrorMsgBox_Speichern() {
  if (!m_strLastError.IsEmpty()) AfxMessageBox(m_strLastError, MB_OK | MB_ICONERROR);
}

bool CSaveAsIniFileObject::Laden() {
  PROFILEHANDLE profile(0);
  // What cannot be read keeps the object's defaults: Lade sees an empty profile.
  const bool read = profile.ReadFile(GetStammdatenName());
  m_strLastError = profile.GetLastError();
  m_strLadeGrund = profile.GetLastReason();
  Lade(&profile);
  return read;
}

bool CSaveAsIniFileObject::Sichern() {
  PROFILEHANDLE profile(0);
  const CString path = GetStammdatenName();
  // Start from the file as it is, so sections and keys that belong to others survive; a file that
  // cannot be read is kept beside the new one, for a person to look into.
  if (!profile.ReadFile(path) && (std::rename(path, path + ".defekt") != 0 || !profile.ReadFile(path))) {
    m_strLastError = profile.GetLastError();
    return false;
  }
  Sichere(&profile);
  const bool written = profile.WriteFile(path);
  m_strLastError = profile.GetLastError();
  return written;
}
