#include "outside/HostNames.h"

#include "outside/CodePage.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

constexpr std::uint32_t kBase = 36, kTMin = 1, kTMax = 26, kSkew = 38, kDamp = 700, kInitialBias = 72,
                        kInitialN = 128;

char Digit(std::uint32_t d) { return static_cast<char>(d < 26 ? 'a' + d : '0' + (d - 26)); }

std::uint32_t Adapt(std::uint32_t delta, std::uint32_t points, bool first) {
  delta = first ? delta / kDamp : delta / 2;
  delta += delta / points;
  std::uint32_t k = 0;
  while (delta > ((kBase - kTMin) * kTMax) / 2) {
    delta /= kBase - kTMin;
    k += kBase;
  }
  return k + (kBase - kTMin + 1) * delta / (delta + kSkew);
}

// The text is valid UTF-8 (checked by the caller).
std::u32string CodePoints(std::string_view utf8) {
  std::u32string out;
  for (size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
    char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    out += cp;
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

// Capital letters of the scripts host names use most, as small ones; the name system compares
// labels without letter case, so both spellings must give the same "xn--" label.
char32_t Lower(char32_t c) {
  if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 32 : c;
  if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) || (c >= 0x410 && c <= 0x42F))
    return c + 0x20;
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  if (c == 0x178) return 0xFF;
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return c | 1;
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return c + (c & 1);
  return c;
}

// Blanks, controls, invisible and look-alike separators: never part of a host name.
bool Disallowed(char32_t c) {
  if (c < 0x80) return !(std::isalnum(static_cast<int>(c)) || c == '-' || c == '_');
  return c <= 0xA0 || c == 0xAD || c == 0x1680 || (c >= 0x2000 && c <= 0x206F) || c == 0x2215 || c == 0x3000 ||
         c == 0xFEFF || (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xFF01 && c <= 0xFF0F) || c >= 0xFFF0;
}

bool IsDot(char32_t c) { return c == '.' || c == 0x3002 || c == 0xFF0E || c == 0xFF61; }

} // namespace

bool PunycodeEncode(std::u32string_view input, std::string& output) {
  constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();
  output.clear();
  for (char32_t c : input)
    if (c < 0x80) output += static_cast<char>(c);
  const auto basic = static_cast<std::uint32_t>(output.size());
  if (basic > 0) output += '-';
  std::uint32_t n = kInitialN, delta = 0, bias = kInitialBias, handled = basic;
  while (handled < input.size()) {
    std::uint32_t next = kMax;
    for (char32_t c : input)
      if (c >= n && c < next) next = c;
    if ((next - n) > (kMax - delta) / (handled + 1)) return false;
    delta += (next - n) * (handled + 1);
    n = next;
    for (char32_t c : input) {
      if (c < n && ++delta == 0) return false;
      if (c != n) continue;
      std::uint32_t q = delta;
      for (std::uint32_t k = kBase;; k += kBase) {
        const std::uint32_t t = k <= bias ? kTMin : k >= bias + kTMax ? kTMax : k - bias;
        if (q < t) break;
        output += Digit(t + (q - t) % (kBase - t));
        q = (q - t) / (kBase - t);
      }
      output += Digit(q);
      bias = Adapt(delta, handled + 1, handled == basic);
      delta = 0;
      ++handled;
    }
    ++delta;
    ++n;
  }
  return true;
}

CString AsciiHostName(const CString& host) {
  if (host.IsEmpty() || host.GetLength() > 1024 || !IsValidUTF8(host.GetString(), static_cast<size_t>(host.GetLength())))
    return CString();
  std::vector<std::u32string> labels(1);
  for (char32_t c : CodePoints(host.view())) {
    if (IsDot(c)) labels.emplace_back();
    else if (Disallowed(c)) return CString();
    else labels.back() += Lower(c);
  }
  if (labels.size() > 1 && labels.back().empty()) labels.pop_back(); // the root's dot
  std::string ascii;
  for (const std::u32string& label : labels) {
    if (label.empty() || label.front() == '-' || label.back() == '-') return CString();
    std::string part;
    if (std::all_of(label.begin(), label.end(), [](char32_t c) { return c < 0x80; })) {
      part.assign(label.begin(), label.end());
    } else {
      if (!PunycodeEncode(label, part)) return CString();
      part = "xn--" + part;
    }
    if (part.size() > 63) return CString();
    ascii += (ascii.empty() ? "" : ".") + part;
  }
  return ascii.size() <= 253 ? CString(ascii) : CString();
}
