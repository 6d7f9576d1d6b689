// The framework's 8-bit string: bytes in the ANSI code page (the locale's code set, see CodePage.h).
#pragma once

#include <compare>
#include <cstdarg>
#include <string>
#include <string_view>

class CString {
public:
  CString() = default;
  CString(const char* text) : m_str(text ? text : "") {}
  CString(const char* text, int length) : m_str(text ? std::string(text, static_cast<size_t>(length)) : std::string()) {}
  CString(std::string text) : m_str(std::move(text)) {}
  CString(std::string_view text) : m_str(text) {}
  CString(char ch, int repeat) : m_str(static_cast<size_t>(repeat > 0 ? repeat : 0), ch) {}

  int GetLength() const { return static_cast<int>(m_str.size()); }
  bool IsEmpty() const { return m_str.empty(); }
  void Empty() { m_str.clear(); }
  const char* GetString() const { return m_str.c_str(); }
  operator const char*() const { return m_str.c_str(); }
  const std::string& str() const { return m_str; }
  std::string_view view() const { return m_str; }

  // Throws std::invalid_argument for an index outside the string.
  char GetAt(int index) const;

  CString& operator+=(const CString& other) { m_str += other.m_str; return *this; }
  CString& operator+=(const char* other) { m_str += other ? other : ""; return *this; }
  CString& operator+=(char ch) { m_str += ch; return *this; }
  friend CString operator+(CString a, const CString& b) { return a += b; }
  friend CString operator+(CString a, const char* b) { return a += b; }
  friend CString operator+(const char* a, const CString& b) { return CString(a) += b; }
  friend CString operator+(CString a, char b) { return a += b; }

  friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
  friend bool operator==(const CString& a, const char* b) { return a.m_str == (b ? b : ""); }
  friend std::strong_ordering operator<=>(const CString& a, const CString& b) { return a.m_str <=> b.m_str; }

  int Compare(const char* other) const;
  // Ignores the letter case of ASCII letters only, as the ANSI code page may be multi-byte.
  int CompareNoCase(const char* other) const;

  int Find(const char* sub, int start = 0) const;
  int Find(char ch, int start = 0) const;
  int ReverseFind(char ch) const;
  CString Left(int count) const;
  CString Right(int count) const;
  CString Mid(int first, int count = -1) const;

  int Replace(const char* oldText, const char* newText);
  int Replace(char oldCh, char newCh);
  int Remove(char ch);
  CString& Trim();
  CString& TrimLeft();
  CString& TrimRight();
  CString& MakeUpper();
  CString& MakeLower();

  void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void FormatV(const char* format, va_list args);
  void AppendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));

private:
  std::string m_str;
};

using LPCSTR = const char*;
