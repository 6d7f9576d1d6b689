// "codewerk encode": a text's code written as a BMP file, for scripts.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

int RunEncodeCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);
extern const char* const kEncodeUsage;
