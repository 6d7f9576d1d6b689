// A settings (and data) folder of the test program's own.
#include "TestConfigFolder.h"

#include <cstdlib>
#include <filesystem>
#include <string>

const char* UseTemporaryConfigFolder() {
  static std::string folder;
  if (!folder.empty()) return folder.c_str();
  char pattern[] = "/tmp/codewerk-test-config-XXXXXX";
  if (!mkdtemp(pattern)) return nullptr;
  folder = pattern;
  setenv("XDG_CONFIG_HOME", pattern, 1);
  setenv("XDG_DATA_HOME", pattern, 1); // the history of reads, too
  std::atexit([] { std::filesystem::remove_all(folder); });
  return folder.c_str();
}

