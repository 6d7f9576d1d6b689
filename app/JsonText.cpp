#include "JsonText.h"

#include "decode/SubDlgDecodeResult.h"

#include "outside/CodePage.h"

#include <cstdio>

std::string JsonQuoted(const std::string& bytes) {
  std::string out = "\"";
  for (size_t i = 0; i < bytes.size();) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c >= 0x80) {
      // Copy a whole UTF-8 sequence, or stand in for a byte that does not start one.
      size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
      if (i + length <= bytes.size() && length > 1 && IsValidUTF8(bytes.data() + i, length)) {
        out.append(bytes, i, length);
      } else {
        out += "\\ufffd";
        length = 1;
      }
      i += length;
      continue;
    }
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += static_cast<char>(c);
        }
    }
    ++i;
  }
  return out + "\"";
}

std::string ResultJson(const CSubDlgDecodeResult& result) {
  std::string json = "{\"text\":" + JsonQuoted(result.m_strText.str()) + ",\"symbology\":" + JsonQuoted(result.m_strSymbol.str()) +
                     ",\"points\":[";
  for (int p = 0; p < result.m_arPoints.GetSize(); ++p)
    json += (p ? ",[" : "[") + std::to_string(result.m_arPoints[p].x) + "," + std::to_string(result.m_arPoints[p].y) + "]";
  return json + "]}";
}
