#include "results/ResultLinks.h"

#include "outside/DesktopActions.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <strings.h>

const char* const kIsbnSearchAddress = "https://www.amazon.de/isbn-suche/s?keywords=";

namespace {

bool IsBookSymbology(const CString& symbol) {
  // Exactly these names, in this letter case: what the two decoders call EAN-13 and ISBN-13.
  return symbol == "EAN_13" || symbol == "EAN-13" || symbol == "ISBN-13";
}

const char* const kSchemes[] = {"https://", "http://", "www.", "mailto:", "tel:"};

// Letters, digits and the joints of host names and addresses: a scheme right after one of them is
// part of another word ("Hotel:", "my.www.x.de").
bool IsWordByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return std::isalnum(b) || (b && std::strchr(".-_@/+%", b));
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// Without what closes a sentence or a bracket the address did not open.
std::string_view WithoutTrailingPunctuation(std::string_view word) {
  static const char* const closingMarks[] = {"\u201D", "\u201C", "\u2019", "\u2018", "\u00BB", "\u00AB", "\u203A"};
  for (bool changed = true; changed && !word.empty();) {
    changed = false;
    const char last = word.back();
    const auto count = [word](char c) { return std::count(word.begin(), word.end(), c); };
    if (std::strchr(".,;:!?'\"", last) || (last == ')' && count(')') > count('(')) ||
        (last == ']' && count(']') > count('[')) || (last == '}' && count('}') > count('{')) ||
        (last == '>' && count('>') > count('<'))) {
      word.remove_suffix(1);
      changed = true;
    }
    for (const char* mark : closingMarks)
      if (EndsWith(word, mark)) {
        word.remove_suffix(std::strlen(mark));
        changed = true;
      }
  }
  return word;
}

} // namespace

bool IsBookNumber(const CString& line, const CString& symbol) {
  const std::string_view digits = line.view();
  return IsBookSymbology(symbol) && digits.size() == 13 &&
         std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
         (digits.substr(0, 3) == "978" || digits.substr(0, 3) == "979");
}

bool GetLinkForLine(const CString& line, const CString& symbol, CString& label, CString& address) {
  if (IsBookNumber(line, symbol)) {
    label = "ISBN " + line + " bei Amazon";
    address = kIsbnSearchAddress + line;
    return true;
  }
  const std::string_view text = line.view();
  for (size_t i = 0; i < text.size(); ++i) {
    if (i > 0 && IsWordByte(text[i - 1])) continue;
    for (const char* scheme : kSchemes) {
      if (strncasecmp(text.data() + i, scheme, std::strlen(scheme)) != 0) continue;
      const std::string_view word = text.substr(i, text.find_first_of(" \t", i) - i);
      const CString found = DesktopAddressFor(CString(WithoutTrailingPunctuation(word)));
      if (found.IsEmpty()) break; // maybe a later word is one
      label = line;
      address = found;
      return true;
    }
  }
  return false;
}
