// Temporary files: the user's temporary folder and unique names in it.
#pragma once

#include "WinTypes.h"

// Writes the folder ($TMPDIR or /tmp) with a closing slash; returns its length, 0 on failure.
DWORD GetTempPathA(DWORD bufferLength, char* buffer);
// Makes "<path>/<first three letters of prefix><hex>.tmp", created empty and exclusively so no
// two callers share it. unique 0: a new number; otherwise that number (the file is not created).
// Returns the number used, 0 on failure.
UINT GetTempFileNameA(const char* path, const char* prefix, UINT unique, char* tempFileName);
