#include "outside/Profile.h"

#include "outside/CodePage.h"
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

// A line that is neither a section, a setting, a comment nor blank: the file is not ours.
bool IsGarbage(const Line& line) {
  const std::string trimmed = Trim(line.raw);
  return line.kind == Line::Other && !trimmed.empty() && trimmed[0] != ';' && trimmed[0] != '#';
}

std::string ReasonOf(int error) {
  switch (error) {
    case EACCES: return "keine Berechtigung zum Lesen";
    case EISDIR: return "ein Ordner";
    default: return std::strerror(error);
  }
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
  std::string lastReason;

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
  m_data->lastReason.clear();
  // Non-blocking, so that a pipe in the file's place is refused instead of waited on.
  const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT || Refuse(path, ReasonOf(errno), std::strerror(errno));
  struct stat st;
  std::string content;
  const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  if (regular && static_cast<unsigned long long>(st.st_size) <= kMaxProfileBytes) {
    char buffer[65536];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) != 0;) {
      if (got < 0 && errno == EINTR) continue;
      if (got < 0 || content.size() + static_cast<size_t>(got) > kMaxProfileBytes) break;
      content.append(buffer, static_cast<size_t>(got));
    }
  }
  const int readError = errno;
  ::close(fd);
  if (!regular) return Refuse(path, "keine gewöhnliche Datei", "it is not a regular file");
  if (static_cast<unsigned long long>(st.st_size) > kMaxProfileBytes || content.size() != static_cast<size_t>(st.st_size))
    return content.size() > kMaxProfileBytes || static_cast<unsigned long long>(st.st_size) > kMaxProfileBytes
               ? Refuse(path, "zu groß", "it is too large")
               : Refuse(path, ReasonOf(readError), std::strerror(readError));
  if (content.find('\0') != std::string::npos || !IsValidUTF8(content.data(), content.size()))
    return Refuse(path, "sie enthält keinen Text", "it holds no text");
  FromText(CString(std::move(content)));
  for (size_t i = 0; i < m_data->lines.size(); ++i)
    if (IsGarbage(m_data->lines[i]))
      return Refuse(path, "Zeile " + std::to_string(i + 1) + " ist keine Einstellung",
                    "line " + std::to_string(i + 1) + " is no setting");
  return true;
}

bool PROFILEHANDLE::Refuse(const char* path, const std::string& german, const std::string& english) {
  m_data->lines.clear();
  m_data->lastReason = english;
  m_data->lastError.Format("Die Einstellungsdatei „%s“ kann nicht gelesen werden (%s).", path, german.c_str());
  return false;
}

const std::string& PROFILEHANDLE::GetLastReason() const { return m_data->lastReason; }

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
