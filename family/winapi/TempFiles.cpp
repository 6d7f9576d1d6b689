#include "outside/TempFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <string>
#include <unistd.h>

DWORD GetTempPathA(DWORD bufferLength, char* buffer) {
  const char* folder = std::getenv("TMPDIR");
  std::string path = folder && *folder ? folder : "/tmp";
  if (path.back() != '/') path += '/';
  if (!buffer || bufferLength <= path.size()) return static_cast<DWORD>(path.size() + 1);
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return static_cast<DWORD>(path.size());
}

UINT GetTempFileNameA(const char* path, const char* prefix, UINT unique, char* tempFileName) {
  if (!path || !tempFileName) return 0;
  std::string folder = path;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  const std::string start = std::string(prefix ? prefix : "").substr(0, 3);
  auto nameFor = [&](UINT number) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", number & 0xFFFF);
    return folder + start + hex + ".tmp";
  };
  if (unique != 0) {
    const std::string name = nameFor(unique);
    if (name.size() >= MAX_PATH) return 0;
    std::memcpy(tempFileName, name.c_str(), name.size() + 1);
    return unique;
  }
  static thread_local std::minstd_rand random(std::random_device{}());
  for (int attempt = 0; attempt < 0x10000; ++attempt) {
    const UINT number = 1 + random() % 0xFFFF;
    const std::string name = nameFor(number);
    if (name.size() >= MAX_PATH) return 0;
    const int fd = ::open(name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
      ::close(fd);
      std::memcpy(tempFileName, name.c_str(), name.size() + 1);
      return number;
    }
    if (errno != EEXIST) return 0;
  }
  return 0;
}
