// UTF-8 <-> UTF-32 for the code-page functions; strict (no overlong forms, no surrogates).
#pragma once

#include <cstddef>
#include <string>

namespace winapi {

constexpr char32_t kReplacementChar = 0xFFFD;

// Decodes one sequence at text[pos]; on success stores the code point and advances pos.
// On failure leaves pos unchanged and returns false.
bool DecodeUtf8(const unsigned char* text, size_t length, size_t& pos, char32_t& codePoint);
bool IsEncodableCodePoint(char32_t codePoint);
void AppendUtf8(std::string& out, char32_t codePoint);

} // namespace winapi
