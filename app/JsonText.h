// JSON string literals: quotes, escapes, and only valid UTF-8 inside.
#pragma once

#include <string>

std::string JsonQuoted(const std::string& bytes);

class CSubDlgDecodeResult;
// {"text", "symbology", "points": [[x, y], …]}
std::string ResultJson(const CSubDlgDecodeResult& result);
