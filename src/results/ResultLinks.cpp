#include "results/ResultLinks.h"

#include "outside/TextServices.h"

const char* const kIsbnSearchAddress = "http://www.amazon.de/isbn-suche/s?keywords=";

namespace {

bool IsBookSymbology(const CString& symbol) {
  // Exactly these names, in this letter case: what the two decoders call EAN-13 and ISBN-13.
  return symbol == "EAN_13" || symbol == "EAN-13" || symbol == "ISBN-13";
}

CString QueryValue(const CString& text) {
  static const char* hex = "0123456789ABCDEF";
  CString value;
  for (unsigned char c : text.view()) {
    if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
      value += static_cast<char>(c);
    } else {
      value += '%';
      value += hex[c >> 4];
      value += hex[c & 15];
    }
  }
  return value;
}

} // namespace

bool GetLinkForLine(const CString& line, const CString& symbol, CString& label, CString& address) {
  if (IsBookSymbology(symbol)) {
    label = "ISBN " + line + " bei Amazon";
    address = kIsbnSearchAddress + QueryValue(line);
    return true;
  }
  if (stristr(line, "http://", true) || stristr(line, "www.", true)) {
    label = line;
    address = line;
    return true;
  }
  return false;
}
