#include "outside/Profile.h"

#include "outside/ReplacingFile.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <string>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t kMaxProfileBytes = 4 * 1024 * 1024; // settings files are small; refuse anything absurd

struct Line {
  enum Kind { Section, Key, Other } kind;
  std::string name;  // section or key name, trimmed
  std::string value; // trimmed value of a key
  std::string raw;   // the line as read, for lines kept verbatim
};

std::string Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return std::string(text.substr(first, last - first + 1));
}

bool SameName(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b ? b : "") == 0; }

Line ParseLine(std::string_view raw) {
  const std::string trimmed = Trim(raw);
  if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']')
    return {Line::Section, Trim(std::string_view(trimmed).substr(1, trimmed.size() - 2)), {}, std::string(raw)};
  const auto eq = trimmed.find('=');
  if (!trimmed.empty() && trimmed[0] != ';' && trimmed[0] != '#' && eq != std::string::npos && eq > 0)
    return {Line::Key, Trim(std::string_view(trimmed).substr(0, eq)), Trim(std::string_view(trimmed).substr(eq + 1)),
            std::string(raw)};
  return {Line::Other, {}, {}, std::string(raw)};
}

template <class Int>
bool ParseWhole(const CString& text, Int& out) {
  std::string s = Trim(text.view());
  if (!s.empty() && s[0] == '+') s.erase(0, 1);
  long long wide = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), wide);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return false;
  if (wide < std::numeric_limits<Int>::min() || wide > std::numeric_limits<Int>::max()) return false;
  out = static_cast<Int>(wide);
  return true;
}

CString ErrorText(const char* what, const char* path, int error) {
  CString text;
  text.Format("%s \"%s\": %s", what, path, std::strerror(error));
  return text;
}

} // namespace

struct PROFILEHANDLE::Data {
  std::vector<Line> lines;
  CString lastError;

  // Index of the section's header line, or lines.size() when absent.
  size_t FindSection(const char* section) const {
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i].kind == Line::Section && SameName(lines[i].name, section)) return i;
    return lines.size();
  }
  // Index of the key's line inside the section starting at header, or lines.size().
  size_t FindKey(size_t header, const char* key) const {
    for (size_t i = header + 1; i < lines.size() && lines[i].kind != Line::Section; ++i)
      if (lines[i].kind == Line::Key && SameName(lines[i].name, key)) return i;
    return lines.size();
  }
};

PROFILEHANDLE::PROFILEHANDLE(int) : m_data(std::make_unique<Data>()) {}
PROFILEHANDLE::~PROFILEHANDLE() = default;

const CString& PROFILEHANDLE::GetLastError() const { return m_data->lastError; }

bool PROFILEHANDLE::GetString(const char* section, const char* key, CString& value) const {
  const size_t header = m_data->FindSection(section);
  if (header == m_data->lines.size()) return false;
  const size_t at = m_data->FindKey(header, key);
  if (at == m_data->lines.size()) return false;
  value = m_data->lines[at].value;
  return true;
}

void PROFILEHANDLE::SetString(const char* section, const char* key, const char* value) {
  auto& lines = m_data->lines;
  size_t header = m_data->FindSection(section);
  if (header == lines.size()) {
    if (!lines.empty() && !Trim(lines.back().raw).empty()) lines.push_back({Line::Other, {}, {}, {}});
    lines.push_back({Line::Section, section, {}, std::string("[") + section + "]"});
    header = lines.size() - 1;
  }
  const size_t at = m_data->FindKey(header, key);
  const std::string raw = std::string(key) + "=" + value;
  if (at < lines.size()) {
    lines[at] = {Line::Key, key, value, raw};
    return;
  }
  // After the section's last key, so blank lines and comments that close the section stay below it.
  size_t insert = header + 1;
  for (size_t i = header + 1; i < lines.size() && lines[i].kind != Line::Section; ++i)
    if (lines[i].kind == Line::Key) insert = i + 1;
  lines.insert(lines.begin() + static_cast<long>(insert), Line{Line::Key, key, value, raw});
}

void PROFILEHANDLE::RemoveKey(const char* section, const char* key) {
  const size_t header = m_data->FindSection(section);
  if (header == m_data->lines.size()) return;
  const size_t at = m_data->FindKey(header, key);
  if (at < m_data->lines.size()) m_data->lines.erase(m_data->lines.begin() + static_cast<long>(at));
}

CString PROFILEHANDLE::ToText() const {
  std::string text;
  for (const Line& line : m_data->lines) {
    text += line.raw;
    text += '\n';
  }
  return CString(std::move(text));
}

void PROFILEHANDLE::FromText(const CString& text) {
  m_data->lines.clear();
  std::string_view rest = text.view();
  while (!rest.empty()) {
    const auto end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    m_data->lines.push_back(ParseLine(line));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }
}

bool PROFILEHANDLE::ReadFile(const char* path) {
  m_data->lines.clear();
  m_data->lastError.Empty();
  std::FILE* file = std::fopen(path, "rb");
  if (!file) {
    if (errno == ENOENT) return true;
    m_data->lastError = ErrorText("Die Einstellungsdatei kann nicht gelesen werden:", path, errno);
    return false;
  }
  std::string content;
  char buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0 && content.size() <= kMaxProfileBytes)
    content.append(buffer, got);
  const int readError = std::ferror(file) ? errno : 0;
  std::fclose(file);
  if (readError) {
    m_data->lastError = ErrorText("Die Einstellungsdatei kann nicht gelesen werden:", path, readError);
    return false;
  }
  if (content.size() > kMaxProfileBytes) {
    m_data->lastError.Format("Die Einstellungsdatei \"%s\" ist zu groß.", path);
    return false;
  }
  FromText(CString(std::move(content)));
  return true;
}

bool PROFILEHANDLE::WriteFile(const char* path) const {
  m_data->lastError.Empty();
  const std::filesystem::path target(path);
  std::error_code ec;
  if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);
  const CString text = ToText();
  ReplacingFile file(path);
  if (file.Write(text.GetString(), static_cast<size_t>(text.GetLength())) && file.Commit(true)) return true;
  m_data->lastError = ErrorText("Die Einstellungsdatei kann nicht gespeichert werden:", path, file.Error());
  return false;
}

void GetPrivateProfileIntA(const char* section, const char* key, int defaultValue, int& value, PROFILEHANDLE* profile) {
  CString text;
  if (!profile || !profile->GetString(section, key, text) || !ParseWhole(text, value)) value = defaultValue;
}

void GetPrivateProfileLong(const char* section, const char* key, LONG defaultValue, LONG& value, PROFILEHANDLE* profile) {
  CString text;
  if (!profile || !profile->GetString(section, key, text) || !ParseWhole(text, value)) value = defaultValue;
}

void WritePrivateProfileInt(const char* section, const char* key, int, int value, PROFILEHANDLE* profile) {
  if (profile) profile->SetString(section, key, std::to_string(value).c_str());
}

void WritePrivateProfileLong(const char* section, const char* key, LONG, LONG value, PROFILEHANDLE* profile) {
  if (profile) profile->SetString(section, key, std::to_string(value).c_str());
}
