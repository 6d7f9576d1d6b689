// Texts between the system's byte strings (UTF-8, the locale's code set) and wxWidgets.
#pragma once

#include "CString.h"

#include <wx/string.h>

inline wxString ToWx(const CString& text) { return wxString::FromUTF8(text.GetString(), static_cast<size_t>(text.GetLength())); }
inline CString FromWx(const wxString& text) {
  const wxScopedCharBuffer utf8 = text.utf8_str();
  return CString(utf8.data(), static_cast<int>(utf8.length()));
}
