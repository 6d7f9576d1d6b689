#include "outside/CodePage.h"

#include "Utf8.h"

#include <cerrno>
#include <limits>
#include <strings.h>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <mutex>
#include <string>

namespace {

std::mutex g_ansiMutex;
std::string g_ansiOverride;

// The code set of the user's locale, read without touching the process's global locale. An
// unset locale ("C", plain ASCII) is taken as UTF-8: that is what texts on Linux are in, and
// ASCII would turn every umlaut into a conversion failure.
std::string LocaleCodeSet() {
  std::string name = "UTF-8";
  if (locale_t loc = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr))) {
    const char* codeset = nl_langinfo_l(CODESET, loc);
    if (codeset && *codeset && std::strcmp(codeset, "ANSI_X3.4-1968") != 0) name = codeset;
    freelocale(loc);
  }
  return name;
}

std::string AnsiCodeSet() {
  static const std::string fromLocale = LocaleCodeSet();
  std::lock_guard lock(g_ansiMutex);
  return g_ansiOverride.empty() ? fromLocale : g_ansiOverride;
}

bool IsUtf8Name(const std::string& name) { return strcasecmp(name.c_str(), "UTF-8") == 0 || strcasecmp(name.c_str(), "UTF8") == 0; }

// The iconv name for a Windows code page number, empty when unknown.
std::string CodeSetFor(UINT codePage) {
  if (codePage == CP_ACP) return AnsiCodeSet();
  if (codePage == CP_UTF8) return "UTF-8";
  return "CP" + std::to_string(codePage);
}

class Iconv {
public:
  Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
  ~Iconv() { if (ok()) iconv_close(m_cd); }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
  // Converts one unit of input at a time on failure so a bad character can be replaced.
  size_t Convert(char** in, size_t* inLeft, char** out, size_t* outLeft) { return iconv(m_cd, in, inLeft, out, outLeft); }
  void Reset() { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

private:
  iconv_t m_cd;
};

bool DecodeToWide(const std::string& codeSet, const char* src, size_t len, bool strict, std::wstring& out) {
  if (IsUtf8Name(codeSet)) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(src);
    for (size_t pos = 0; pos < len;) {
      char32_t cp;
      if (winapi::DecodeUtf8(bytes, len, pos, cp)) {
        out += static_cast<wchar_t>(cp);
      } else if (strict) {
        return false;
      } else {
        out += static_cast<wchar_t>(winapi::kReplacementChar);
        ++pos;
      }
    }
    return true;
  }
  Iconv cd("WCHAR_T", codeSet.c_str());
  if (!cd.ok()) return false;
  char* in = const_cast<char*>(src);
  size_t inLeft = len;
  while (inLeft > 0) {
    wchar_t ch[8];
    char* outPtr = reinterpret_cast<char*>(ch);
    size_t outLeft = sizeof(ch);
    const size_t rc = cd.Convert(&in, &inLeft, &outPtr, &outLeft);
    out.append(ch, (sizeof(ch) - outLeft) / sizeof(wchar_t));
    if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
      if (strict) return false;
      out += static_cast<wchar_t>(winapi::kReplacementChar);
      ++in;
      --inLeft;
      cd.Reset();
    }
  }
  return true;
}

bool EncodeFromWide(const std::string& codeSet, const wchar_t* src, size_t len, bool strict, const char* defaultChar,
                    bool& usedDefault, std::string& out) {
  if (IsUtf8Name(codeSet)) {
    for (size_t i = 0; i < len; ++i) {
      char32_t cp = static_cast<char32_t>(src[i]);
      if (!winapi::IsEncodableCodePoint(cp)) {
        if (strict) return false;
        cp = winapi::kReplacementChar;
      }
      winapi::AppendUtf8(out, cp);
    }
    return true;
  }
  Iconv cd(codeSet.c_str(), "WCHAR_T");
  if (!cd.ok()) return false;
  const std::string fallback = (defaultChar && *defaultChar) ? defaultChar : "?";
  for (size_t i = 0; i < len; ++i) {
    wchar_t one = src[i];
    char* in = reinterpret_cast<char*>(&one);
    size_t inLeft = sizeof(one);
    char buf[16];
    char* outPtr = buf;
    size_t outLeft = sizeof(buf);
    if (cd.Convert(&in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
      if (strict) return false;
      out += fallback;
      usedDefault = true;
      cd.Reset();
      continue;
    }
    out.append(buf, sizeof(buf) - outLeft);
  }
  return true;
}

template <class Char>
size_t SourceLength(const Char* src, int sourceLength) {
  if (sourceLength >= 0) return static_cast<size_t>(sourceLength);
  size_t n = 0;
  while (src[n]) ++n;
  return n + 1; // the terminator is converted and counted
}

// Copies a result into the caller's buffer the way the Windows functions do.
template <class Char>
int Deliver(const std::basic_string<Char>& result, Char* dest, int destSize) {
  if (result.empty() || result.size() > static_cast<size_t>(std::numeric_limits<int>::max())) return 0;
  const int needed = static_cast<int>(result.size());
  if (destSize == 0) return needed;
  if (!dest || destSize < needed) return 0;
  std::memcpy(dest, result.data(), result.size() * sizeof(Char));
  return needed;
}

} // namespace

bool IsValidUTF8(const char* text, size_t length) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  for (size_t pos = 0; pos < length;) {
    char32_t cp;
    if (!winapi::DecodeUtf8(bytes, length, pos, cp)) return false;
  }
  return true;
}

const char* GetAnsiCodeSetName() {
  thread_local std::string name;
  name = AnsiCodeSet();
  return name.c_str();
}

void SetAnsiCodeSetName(const char* iconvName) {
  std::lock_guard lock(g_ansiMutex);
  g_ansiOverride = iconvName ? iconvName : "";
}

int MultiByteToWideChar(UINT codePage, DWORD flags, const char* source, int sourceLength, WCHAR* dest, int destSize) {
  if (!source || sourceLength == 0 || sourceLength < -1 || destSize < 0) return 0;
  std::wstring wide;
  if (!DecodeToWide(CodeSetFor(codePage), source, SourceLength(source, sourceLength), flags & MB_ERR_INVALID_CHARS, wide))
    return 0;
  return Deliver(wide, dest, destSize);
}

int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* source, int sourceLength, char* dest, int destSize,
                        const char* defaultChar, BOOL* usedDefaultChar) {
  if (usedDefaultChar) *usedDefaultChar = FALSE;
  if (!source || sourceLength == 0 || sourceLength < -1 || destSize < 0) return 0;
  std::string bytes;
  bool usedDefault = false;
  if (!EncodeFromWide(CodeSetFor(codePage), source, SourceLength(source, sourceLength), flags & WC_ERR_INVALID_CHARS,
                      defaultChar, usedDefault, bytes))
    return 0;
  if (usedDefaultChar) *usedDefaultChar = usedDefault;
  return Deliver(bytes, dest, destSize);
}
