// "codewerk encode": a text's code written as a BMP file, for scripts.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// Writes through stdio, not iostreams: the program that runs it starts without the C++ locale.
int RunEncodeCommand(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err);
extern const char* const kEncodeUsage;
