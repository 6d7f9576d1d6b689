// "codewerk" without a command: the main dialog.
#pragma once

#include <iosfwd>

int RunMainDialog(int argc, char** argv, std::ostream& err);
