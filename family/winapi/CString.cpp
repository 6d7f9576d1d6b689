#include "outside/CString.h"

#include "outside/CArray.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

char AsciiLower(char ch) { return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch; }
char AsciiUpper(char ch) { return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch; }
bool IsBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\v' || ch == '\f'; }

int Sign(int v) { return (v > 0) - (v < 0); }

} // namespace

char CString::GetAt(int index) const {
  if (index < 0 || index >= GetLength()) ThrowInvalidArgument("CString::GetAt: index outside the string");
  return m_str[static_cast<size_t>(index)];
}

int CString::Compare(const char* other) const { return Sign(m_str.compare(other ? other : "")); }

int CString::CompareNoCase(const char* other) const {
  const char* a = m_str.c_str();
  const char* b = other ? other : "";
  for (;; ++a, ++b) {
    const unsigned char ca = static_cast<unsigned char>(AsciiLower(*a));
    const unsigned char cb = static_cast<unsigned char>(AsciiLower(*b));
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) return 0;
  }
}

int CString::Find(const char* sub, int start) const {
  if (start < 0 || start > GetLength()) return -1;
  const auto pos = m_str.find(sub ? sub : "", static_cast<size_t>(start));
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(char ch, int start) const {
  if (start < 0 || start > GetLength()) return -1;
  const auto pos = m_str.find(ch, static_cast<size_t>(start));
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const {
  const auto pos = m_str.rfind(ch);
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString CString::Left(int count) const { return CString(m_str.substr(0, static_cast<size_t>(std::clamp(count, 0, GetLength())))); }

CString CString::Right(int count) const {
  const int n = std::clamp(count, 0, GetLength());
  return CString(m_str.substr(static_cast<size_t>(GetLength() - n)));
}

CString CString::Mid(int first, int count) const {
  first = std::clamp(first, 0, GetLength());
  const int rest = GetLength() - first;
  const int n = count < 0 ? rest : std::min(count, rest);
  return CString(m_str.substr(static_cast<size_t>(first), static_cast<size_t>(n)));
}

int CString::Replace(const char* oldText, const char* newText) {
  const std::string_view from = oldText ? oldText : "";
  const std::string_view to = newText ? newText : "";
  if (from.empty()) return 0;
  std::string result;
  int count = 0;
  size_t pos = 0;
  for (size_t hit; (hit = m_str.find(from, pos)) != std::string::npos; pos = hit + from.size(), ++count) {
    result.append(m_str, pos, hit - pos);
    result.append(to);
  }
  if (count == 0) return 0;
  result.append(m_str, pos);
  m_str.swap(result);
  return count;
}

int CString::Replace(char oldCh, char newCh) {
  int count = 0;
  for (char& ch : m_str)
    if (ch == oldCh) { ch = newCh; ++count; }
  return count;
}

int CString::Remove(char ch) {
  const auto before = m_str.size();
  std::erase(m_str, ch);
  return static_cast<int>(before - m_str.size());
}

CString& CString::TrimLeft() {
  const auto first = std::find_if_not(m_str.begin(), m_str.end(), IsBlank);
  m_str.erase(m_str.begin(), first);
  return *this;
}

CString& CString::TrimRight() {
  while (!m_str.empty() && IsBlank(m_str.back())) m_str.pop_back();
  return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }

CString& CString::MakeUpper() {
  std::transform(m_str.begin(), m_str.end(), m_str.begin(), AsciiUpper);
  return *this;
}

CString& CString::MakeLower() {
  std::transform(m_str.begin(), m_str.end(), m_str.begin(), AsciiLower);
  return *this;
}

void CString::FormatV(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (needed < 0) {
    m_str.clear();
    return;
  }
  std::vector<char> buffer(static_cast<size_t>(needed) + 1);
  std::vsnprintf(buffer.data(), buffer.size(), format, args);
  m_str.assign(buffer.data(), static_cast<size_t>(needed));
}

void CString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}

void CString::AppendFormat(const char* format, ...) {
  CString tail;
  va_list args;
  va_start(args, format);
  tail.FormatV(format, args);
  va_end(args);
  m_str += tail.m_str;
}
