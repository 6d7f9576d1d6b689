#include "ByteText.h"

#include "outside/CodePage.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace decodecommon {
namespace {

// What the bytes look like read as Shift-JIS: whether they are valid at all, and the longest run
// of half-width katakana and of double-byte characters.
struct ShiftJisView {
  bool valid = true;
  int katakana = 0, longestKatakanaRun = 0, longestDoubleRun = 0;
};

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool IsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }
bool IsHalfWidthKatakana(unsigned char c) { return c >= 0xA1 && c <= 0xDF; }

ShiftJisView ViewAsShiftJis(const std::string& bytes) {
  ShiftJisView view;
  int katakanaRun = 0, doubleRun = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (IsHalfWidthKatakana(c)) {
      ++view.katakana, ++katakanaRun, doubleRun = 0;
    } else if (IsLeadByte(c)) {
      if (i + 1 == bytes.size() || !IsTrailByte(static_cast<unsigned char>(bytes[i + 1]))) return {false};
      ++i, ++doubleRun, katakanaRun = 0;
    } else if (c < 0x80) {
      katakanaRun = doubleRun = 0;
    } else {
      return {false};
    }
    view.longestKatakanaRun = std::max(view.longestKatakanaRun, katakanaRun);
    view.longestDoubleRun = std::max(view.longestDoubleRun, doubleRun);
  }
  return view;
}

// Latin-1 holds no C1 controls in a text; its upper half is mostly letters, so many signs and
// symbols from there (¡ § ° ± ¿ × ÷ …) make Latin-1 the less likely reading.
bool CanBeLatin1(const std::string& bytes, int& signs) {
  signs = 0;
  for (unsigned char c : bytes) {
    if (c >= 0x80 && c <= 0x9F) return false;
    signs += (c >= 0xA0 && c <= 0xBF) || c == 0xD7 || c == 0xF7;
  }
  return true;
}

bool LooksJapanese(const std::string& bytes, const ShiftJisView& sjis) {
  int signs = 0;
  if (!CanBeLatin1(bytes, signs)) return true;
  if (sjis.longestKatakanaRun >= 3 || sjis.longestDoubleRun >= 3) return true;
  if (sjis.longestKatakanaRun == 2 && sjis.katakana == 2) return true;
  return signs >= 2 && signs * 10 >= static_cast<int>(bytes.size()); // one "°" is no evidence
}

std::string FromShiftJis(const std::string& bytes) {
  iconv_t cd = iconv_open("UTF-8", "CP932"); // Shift-JIS as Windows writes it, NEC and IBM signs included
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::string out(bytes.size() * 3 + 4, '\0');
  char* in = const_cast<char*>(bytes.data());
  char* to = out.data();
  std::size_t inLeft = bytes.size(), outLeft = out.size();
  const bool ok = iconv(cd, &in, &inLeft, &to, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  if (!ok) return {};
  out.resize(out.size() - outLeft);
  return out;
}

std::string FromLatin1(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

} // namespace

std::string TextFromUnmarkedBytes(const std::string& bytes) {
  if (IsValidUTF8(bytes.data(), bytes.size())) return bytes;
  const ShiftJisView sjis = ViewAsShiftJis(bytes);
  if (sjis.valid && LooksJapanese(bytes, sjis)) {
    std::string text = FromShiftJis(bytes);
    if (!text.empty()) return text;
  }
  return FromLatin1(bytes);
}

} // namespace decodecommon
