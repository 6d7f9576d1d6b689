// Code-page conversion. Code page 0 (CP_ACP) is the locale's code set; 65001 is UTF-8;
// other numbers name Windows code pages such as 1252.
#pragma once

#include "WinTypes.h"

#include <cstddef>

constexpr UINT CP_ACP = 0;
constexpr UINT CP_UTF8 = 65001;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x08;
constexpr DWORD WC_ERR_INVALID_CHARS = 0x80;

// With a length of -1 the terminator is converted and counted too. With a destination size of 0
// the needed size is returned. 0 means failure (unknown code page, invalid input with the
// *_ERR_INVALID_CHARS flag, or a destination too small).
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* source, int sourceLength, WCHAR* dest, int destSize);
int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* source, int sourceLength, char* dest, int destSize,
                        const char* defaultChar, BOOL* usedDefaultChar);

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool IsValidUTF8(const char* text, size_t length);

// The iconv name of the ANSI code page ("UTF-8" on any current Linux).
const char* GetAnsiCodeSetName();
// Overrides the ANSI code page for this process (for tests and hosts that know better);
// null returns to the locale's code set.
void SetAnsiCodeSetName(const char* iconvName);
