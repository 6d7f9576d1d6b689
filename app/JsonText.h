// JSON string literals: quotes, escapes, and only valid UTF-8 inside.
#pragma once

#include <string>

std::string JsonQuoted(const std::string& bytes);
