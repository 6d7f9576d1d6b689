#include "outside/WindowMessages.h"

#include <map>
#include <mutex>
#include <string>
#include <strings.h>

namespace {

struct IgnoreCase {
  bool operator()(const std::string& a, const std::string& b) const { return strcasecmp(a.c_str(), b.c_str()) < 0; }
};

} // namespace

UINT RegisterWindowMessageA(const char* name) {
  static std::mutex mutex;
  static std::map<std::string, UINT, IgnoreCase> registered;
  if (!name || !*name) return 0;
  std::lock_guard lock(mutex);
  const auto [it, added] = registered.try_emplace(name, static_cast<UINT>(0xC000 + registered.size()));
  return it->second;
}
