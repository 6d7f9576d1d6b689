// Temporary files: a private folder of the process, and names in it that no one else can take.
#pragma once

#include "WinTypes.h"

// The process's own folder, "<$TMPDIR or /tmp>/codewerk-<pid>-XXXXXX/" (mode 0700), made on first
// use and removed with what is left in it when the process ends normally. Writes it with a closing
// slash; returns its length, the needed size when the buffer is too small, 0 on failure.
DWORD GetTempPathA(DWORD bufferLength, char* buffer);
// Creates "<path>/<first three letters of prefix><hex><extension>" empty, exclusively and never
// through a link, so the name is the caller's alone. unique 0: a free number; otherwise that number
// (the file is not created). Returns the number used, 0 on failure (every number taken, no folder).
UINT GetTempFileNameA(const char* path, const char* prefix, UINT unique, char* tempFileName,
                      const char* extension = ".tmp");

// Removes the private folder and every file in it with async-signal-safe calls only, for a
// program's handler of SIGTERM and its kind. Does nothing when no folder was made.
void RemoveTempFolderOnSignal();
// Removes the private folders under parent (default: $TMPDIR or /tmp) that were left by processes
// which no longer run; returns how many went. A process does this when it makes its own folder.
int SweepAbandonedTempFolders(const char* parent = nullptr);
