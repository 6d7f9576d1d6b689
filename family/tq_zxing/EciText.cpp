#include "EciText.h"

#include "outside/CodePage.h"

#include <cerrno>
#include <iconv.h>

namespace {

// The character set an ECI number names, as iconv knows it.
const char* CharsetOfEci(int eci) {
  switch (eci) {
    case 0: case 2: return "CP437";
    case 1: case 3: return "ISO-8859-1";
    case 4: return "ISO-8859-2";
    case 5: return "ISO-8859-3";
    case 6: return "ISO-8859-4";
    case 7: return "ISO-8859-5";
    case 8: return "ISO-8859-6";
    case 9: return "ISO-8859-7";
    case 10: return "ISO-8859-8";
    case 11: return "ISO-8859-9";
    case 12: return "ISO-8859-10";
    case 13: return "ISO-8859-11";
    case 15: return "ISO-8859-13";
    case 16: return "ISO-8859-14";
    case 17: return "ISO-8859-15";
    case 18: return "ISO-8859-16";
    case 20: return "SHIFT_JIS";
    case 21: return "CP1250";
    case 22: return "CP1251";
    case 23: return "CP1252";
    case 24: return "CP1256";
    case 25: return "UTF-16BE";
    case 26: return "UTF-8";
    case 27: case 170: return "ASCII";
    case 28: return "BIG5";
    case 29: return "GB18030";
    case 30: return "EUC-KR";
    case 32: return "GB18030";
    default: return nullptr;
  }
}

bool AppendConverted(const std::string& bytes, const char* charset, std::string& out) {
  if (bytes.empty()) return true;
  iconv_t cd = iconv_open("UTF-8", charset);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  const size_t start = out.size();
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  bool ok = true;
  while (ok && inLeft > 0) {
    char buffer[1024];
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, sizeof buffer - outLeft);
    ok = rc != static_cast<size_t>(-1) || errno == E2BIG;
  }
  iconv_close(cd);
  // glibc passes UTF-8 beyond U+10FFFF through unchecked.
  return ok && IsValidUTF8(out.data() + start, out.size() - start);
}

} // namespace

std::optional<std::string> TextFromEciBytes(const std::vector<std::uint8_t>& data) {
  size_t pos = (data.size() >= 3 && data[0] == ']') ? 3 : 0;
  std::string text, segment;
  const char* charset = "ISO-8859-1"; // the default before any designator
  while (pos < data.size()) {
    const char c = static_cast<char>(data[pos]);
    if (c != '\\') {
      segment += c;
      ++pos;
    } else if (pos + 1 < data.size() && data[pos + 1] == '\\') {
      segment += '\\';
      pos += 2;
    } else {
      if (pos + 7 > data.size()) return std::nullopt;
      int eci = 0;
      for (size_t i = pos + 1; i < pos + 7; ++i) {
        if (data[i] < '0' || data[i] > '9') return std::nullopt;
        eci = eci * 10 + (data[i] - '0');
      }
      if (!AppendConverted(segment, charset, text)) return std::nullopt;
      segment.clear();
      if (eci == 899) charset = "ISO-8859-1"; // binary: keep bytes one to one
      else if (!(charset = CharsetOfEci(eci))) return std::nullopt;
      pos += 7;
    }
  }
  if (!AppendConverted(segment, charset, text)) return std::nullopt;
  return text;
}
