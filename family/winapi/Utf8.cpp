#include "Utf8.h"

namespace winapi {

bool IsEncodableCodePoint(char32_t cp) { return cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF); }

bool DecodeUtf8(const unsigned char* text, size_t length, size_t& pos, char32_t& codePoint) {
  const unsigned char lead = text[pos];
  if (lead < 0x80) {
    codePoint = lead;
    ++pos;
    return true;
  }
  int trail;
  char32_t cp;
  char32_t minimum;
  if ((lead & 0xE0) == 0xC0) { trail = 1; cp = lead & 0x1F; minimum = 0x80; }
  else if ((lead & 0xF0) == 0xE0) { trail = 2; cp = lead & 0x0F; minimum = 0x800; }
  else if ((lead & 0xF8) == 0xF0) { trail = 3; cp = lead & 0x07; minimum = 0x10000; }
  else return false;
  if (pos + static_cast<size_t>(trail) >= length) return false;
  for (int i = 1; i <= trail; ++i) {
    const unsigned char next = text[pos + static_cast<size_t>(i)];
    if ((next & 0xC0) != 0x80) return false;
    cp = (cp << 6) | (next & 0x3F);
  }
  if (cp < minimum || !IsEncodableCodePoint(cp)) return false;
  codePoint = cp;
  pos += static_cast<size_t>(trail) + 1;
  return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

} // namespace winapi
