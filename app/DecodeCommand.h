// "codewerk decode": the codes in picture files, for people and for scripts.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

int RunDecodeCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);
extern const char* const kDecodeUsage;
