// Trace lines of the module entry, written only when asked for (CODEWERK_TRACE=1 in the environment).
#pragma once

bool DoTraceProgrammStart(int reason);
// Writes "HH:MM:SS.mmm text" to standard error.
void TRACECurrentTime(const char* text);
