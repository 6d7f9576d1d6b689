// Small text services of the common library.
#pragma once

#include "CArray.h"
#include "CString.h"

CString GetFormatedString(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The text, given in the ANSI code page, as UTF-8 bytes.
CString GetAsUTF8String(const CString& text);
// Finds part in text; with ignoreCase the comparison ignores the case of ASCII letters.
const char* stristr(const char* text, const char* part, bool ignoreCase);

// The text with every line break ("\r\n", "\r", "\n") made newLine.
CString SetNewLineText(const CString& text, const char* newLine);
// Splits text at separator. A separator at the very end makes no empty last line.
void BreakLine(const CString& text, CStringArray& lines, const char* separator = "\n");
