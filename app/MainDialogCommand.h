// "codewerk" without a command: the main dialog; the dialog library's entries.
#pragma once

#include <iosfwd>

int RunMainDialog(int argc, char** argv, std::ostream& err);
// An entry of the dialog library, loaded on first use; null (and said on err) when it cannot be.
void* DialogLibraryEntry(const char* name, std::ostream& err);
