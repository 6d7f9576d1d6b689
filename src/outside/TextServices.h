// Small text services of the common library.
#pragma once

#include "CString.h"

CString GetFormatedString(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The text, given in the ANSI code page, as UTF-8 bytes.
CString GetAsUTF8String(const CString& text);
// Finds part in text; with ignoreCase the comparison ignores the case of ASCII letters.
const char* stristr(const char* text, const char* part, bool ignoreCase);
