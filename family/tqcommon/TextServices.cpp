#include "outside/TextServices.h"

#include "outside/CodePage.h"

#include <cstdarg>
#include <cstring>
#include <strings.h>
#include <vector>

CString GetFormatedString(const char* format, ...) {
  CString result;
  va_list args;
  va_start(args, format);
  result.FormatV(format, args);
  va_end(args);
  return result;
}

CString GetAsUTF8String(const CString& text) {
  // The common case, UTF-8 text on a UTF-8 system, needs no round trip through wide characters.
  if (text.IsEmpty() ||
      (strcasecmp(GetAnsiCodeSetName(), "UTF-8") == 0 && IsValidUTF8(text, static_cast<size_t>(text.GetLength()))))
    return text;
  const int wideLength = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (wideLength <= 0) return CString();
  std::vector<WCHAR> wide(static_cast<size_t>(wideLength));
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), wideLength);
  const int utf8Length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
  if (utf8Length <= 0) return CString();
  std::vector<char> utf8(static_cast<size_t>(utf8Length));
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), -1, utf8.data(), utf8Length, nullptr, nullptr);
  return CString(utf8.data());
}

const char* stristr(const char* text, const char* part, bool ignoreCase) {
  if (!text || !part) return nullptr;
  if (!ignoreCase) return std::strstr(text, part);
  const size_t partLength = std::strlen(part);
  for (const char* p = text; *p; ++p)
    if (strncasecmp(p, part, partLength) == 0) return p;
  return partLength == 0 ? text : nullptr;
}

CString SetNewLineText(const CString& text, const char* newLine) {
  CString result = text;
  result.Replace("\r\n", "\n");
  result.Replace('\r', '\n');
  if (std::strcmp(newLine, "\n") != 0) result.Replace("\n", newLine);
  return result;
}

void BreakLine(const CString& text, CStringArray& lines, const char* separator) {
  lines.RemoveAll();
  const std::string_view all = text.view();
  const std::string_view sep = separator;
  if (sep.empty()) {
    if (!all.empty()) lines.Add(CString(all));
    return;
  }
  size_t start = 0;
  while (start < all.size()) {
    const size_t end = all.find(sep, start);
    lines.Add(CString(all.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start)));
    if (end == std::string_view::npos) break;
    start = end + sep.size();
  }
}
