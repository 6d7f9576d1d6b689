#include "outside/ProgramSettings.h"

#include "outside/Profile.h"
#include "outside/SettingsFile.h"

int CProgrammEinstellungBase::Get(const char* section, const char* key, int defaultValue, bool) {
  std::lock_guard lock(m_mutex);
  PROFILEHANDLE profile(0);
  profile.ReadFile(m_strFileName); // unreadable: the default
  int value = defaultValue;
  GetPrivateProfileIntA(section, key, defaultValue, value, &profile);
  return value;
}

bool CProgrammEinstellungBase::Set(const char* section, const char* key, int value) {
  std::lock_guard lock(m_mutex);
  PROFILEHANDLE profile(0);
  if (!profile.ReadFile(m_strFileName)) return false; // never overwrite what could not be read
  WritePrivateProfileInt(section, key, value, value, &profile);
  return profile.WriteFile(m_strFileName);
}

CString CProgrammEinstellungBase::GetText(const char* section, const char* key, const char* defaultValue) {
  std::lock_guard lock(m_mutex);
  PROFILEHANDLE profile(0);
  CString value = defaultValue;
  if (profile.ReadFile(m_strFileName)) profile.GetString(section, key, value);
  return value;
}

bool CProgrammEinstellungBase::SetText(const char* section, const char* key, const char* value) {
  std::lock_guard lock(m_mutex);
  PROFILEHANDLE profile(0);
  if (!profile.ReadFile(m_strFileName)) return false;
  profile.SetString(section, key, value);
  return profile.WriteFile(m_strFileName);
}

CLokaleProgrammEinstellung::CLokaleProgrammEinstellung()
    : CProgrammEinstellungBase(Help_GetLokalStammdatenName("Programm.ini", "Brennwald Systemtechnik")) {}

CLokaleProgrammEinstellung& CLokaleProgrammEinstellung::GetItem() {
  static CLokaleProgrammEinstellung item;
  return item;
}
