// Percent-encoding of the bytes of a URI's parts.
#pragma once

#include <string>
#include <string_view>

// Every byte outside the unreserved characters (letters, digits, "-._~") and those in keep as %XX.
std::string PercentEncoded(std::string_view text, const char* keep = "");
// "%XX" as its byte; a "%" without two hex digits stands for itself.
std::string PercentDecoded(std::string_view text);
