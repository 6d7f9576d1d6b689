// "codewerk read": the read-in dialog as a shell command.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

int RunReadCommand(int argc, char** argv, const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
