// libFuzzer target: any bytes as a settings file. Read from text and from disk, the program's
// settings saved into it, and the result written out and read back: every value must survive.
#include "outside/Profile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <climits>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

// Names the text might use: what stands in brackets and what stands before "=". Loose on purpose,
// the reader decides which of them are real; capped so a long file stays quick.
std::pair<std::vector<std::string>, std::vector<std::string>> CandidateNames(std::string_view text) {
  std::vector<std::string> sections{"A", "WC", "SC", "DEC"}, keys{"Enc", "Dec", "cx", "cy", "dpi", "QR"};
  while (!text.empty()) {
    const std::string_view line = text.substr(0, text.find('\n'));
    text.remove_prefix(std::min(text.size(), line.size() + 1));
    const auto open = line.find('['), close = line.rfind(']');
    if (open != std::string_view::npos && close != std::string_view::npos && open < close && sections.size() < 10)
      sections.emplace_back(line.substr(open + 1, close - open - 1));
    const auto eq = line.find('=');
    if (eq != std::string_view::npos && keys.size() < 16) keys.emplace_back(line.substr(0, eq));
  }
  for (auto* names : {&sections, &keys})
    for (std::string& name : *names) {
      const auto first = name.find_first_not_of(" \t\r");
      name = first == std::string::npos ? std::string() : name.substr(first, name.find_last_not_of(" \t\r") - first + 1);
    }
  return {sections, keys};
}

struct Reading {
  bool found;
  CString text;
  int asInt, asIntOtherDefault;
  LONG asLong;
  bool operator==(const Reading&) const = default;
};

Reading Read(PROFILEHANDLE& profile, const std::string& section, const std::string& key) {
  Reading r{};
  r.found = profile.GetString(section.c_str(), key.c_str(), r.text);
  GetPrivateProfileIntA(section.c_str(), key.c_str(), 7, r.asInt, &profile);
  GetPrivateProfileIntA(section.c_str(), key.c_str(), -7, r.asIntOtherDefault, &profile);
  GetPrivateProfileLong(section.c_str(), key.c_str(), 7, r.asLong, &profile);
  return r;
}

// ReadFile takes a path; a memory file spares the disk a write per input.
std::string MemoryFilePath(const std::uint8_t* data, std::size_t size) {
  static const int fd = memfd_create("settings.ini", 0);
  Check(fd >= 0 && ftruncate(fd, 0) == 0);
  Check(pwrite(fd, data, size, 0) == static_cast<ssize_t>(size));
  return "/proc/self/fd/" + std::to_string(fd);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  PROFILEHANDLE profile, fromDisk;
  profile.FromText(CString(input));
  Check(fromDisk.ReadFile(MemoryFilePath(data, size).c_str()));
  Check(fromDisk.ToText() == profile.ToText());

  // What the program saves over a file someone else may have edited.
  const int saved[] = {INT_MIN, -1, 0, 1, INT_MAX, static_cast<int>(size * 2654435761u)};
  WritePrivateProfileInt("A", "Enc", 1, saved[0], &profile);
  WritePrivateProfileInt("A", "Dec", 1, saved[size % 6], &profile);
  WritePrivateProfileLong("WC", "cx", 0, saved[4], &profile);
  WritePrivateProfileLong("WC", "cy", 0, saved[5], &profile);
  WritePrivateProfileLong("SC", "dpi", 0, saved[(size + 3) % 6], &profile);
  WritePrivateProfileInt("DEC", "QR", 1, saved[2], &profile);

  PROFILEHANDLE reread;
  reread.FromText(profile.ToText());
  const auto [sections, keys] = CandidateNames(input);
  for (const std::string& section : sections)
    for (const std::string& key : keys) Check(Read(reread, section, key) == Read(profile, section, key));
  LONG cx = 0;
  GetPrivateProfileLong("wc", "CX", 0, cx, &reread);
  int enc = 0;
  GetPrivateProfileIntA("A", "Enc", 0, enc, &reread);
  Check(cx == saved[4] && enc == saved[0]);
  return 0;
}
