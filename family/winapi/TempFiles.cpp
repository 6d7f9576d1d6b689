#include "outside/TempFiles.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr const char* kFolderPrefix = "codewerk-";

std::string ParentFolder() {
  const char* folder = std::getenv("TMPDIR");
  std::string path = folder && *folder ? folder : "/tmp";
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// Unlinks every entry of an open folder with plain system calls (getdents64 instead of readdir,
// which may allocate), so a signal handler can use it. Entries are files: nothing here makes folders.
void UnlinkEntries(int folder) {
  alignas(8) char buffer[4096];
  for (int pass = 0; pass < 64; ++pass) {
    bool removed = false;
    if (lseek(folder, 0, SEEK_SET) != 0) return;
    for (;;) {
      const long n = syscall(SYS_getdents64, folder, buffer, sizeof buffer);
      if (n <= 0) break;
      for (long at = 0; at < n;) {
        const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
        at += entry->d_reclen;
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        removed |= unlinkat(folder, name, 0) == 0;
      }
    }
    if (!removed) return;
  }
}

void RemoveFolder(const char* path) {
  const int folder = open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (folder < 0) return;
  UnlinkEntries(folder);
  close(folder);
  rmdir(path);
}

// The folder as the signal handler sees it: written once before it is published.
char g_signalPath[PATH_MAX];
std::atomic<pid_t> g_signalOwner{0};

struct PrivateFolder {
  std::mutex mutex;
  pid_t owner = 0; // a forked child makes its own
  std::string path; // with the closing slash
};

PrivateFolder& Folder() {
  static PrivateFolder* folder = new PrivateFolder; // outlives every static that still removes files
  return *folder;
}

void RemoveAtExit() {
  PrivateFolder& folder = Folder();
  std::lock_guard lock(folder.mutex);
  if (folder.owner != getpid() || folder.path.empty()) return;
  g_signalOwner = 0;
  RemoveFolder(folder.path.c_str());
  folder.path.clear();
}

bool MakeFolder(PrivateFolder& folder) {
  // Sweeping here, not at load, spares processes that never write a temporary file a look
  // through the whole of /tmp.
  if (folder.owner != getpid()) SweepAbandonedTempFolders();
  std::string pattern = ParentFolder() + "/" + kFolderPrefix + std::to_string(getpid()) + "-XXXXXX";
  if (!mkdtemp(pattern.data())) return false; // mode 0700
  const bool firstInProcess = folder.owner == 0;
  folder.owner = getpid();
  folder.path = pattern + "/";
  if (pattern.size() < sizeof g_signalPath) {
    std::memcpy(g_signalPath, pattern.c_str(), pattern.size() + 1);
    g_signalOwner = folder.owner;
  }
  if (firstInProcess) std::atexit(RemoveAtExit);
  return true;
}

// Start of a running process in seconds since the epoch, or -1 when /proc cannot tell.
long long ProcessStart(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return -1;
  const auto close = line.rfind(')'); // the command name may hold blanks and parentheses
  if (close == std::string::npos) return -1;
  unsigned long long ticks = 0;
  // Fields after the name: state is field 3, the start time field 22.
  const char* p = line.c_str() + close + 1;
  for (int field = 3; field < 22 && *p; ++field) {
    while (*p == ' ') ++p;
    while (*p && *p != ' ') ++p;
  }
  if (std::sscanf(p, " %llu", &ticks) != 1) return -1;
  std::ifstream system("/proc/stat");
  for (std::string key; system >> key;)
    if (key == "btime") {
      long long boot = 0;
      system >> boot;
      return boot + static_cast<long long>(ticks / static_cast<unsigned long long>(sysconf(_SC_CLK_TCK)));
    }
  return -1;
}

// Whether the process that made a folder still runs. A process with a reused number started after
// the folder was last changed, which its maker cannot have.
bool MakerRuns(pid_t pid, const struct stat& folder) {
  if (kill(pid, 0) != 0 && errno == ESRCH) return false;
  const long long start = ProcessStart(pid);
  return start < 0 || start <= static_cast<long long>(folder.st_mtime) + 1;
}

pid_t MakerOf(const char* name) {
  const std::size_t prefix = std::strlen(kFolderPrefix);
  if (std::strncmp(name, kFolderPrefix, prefix) != 0) return 0;
  char* end = nullptr;
  const long pid = std::strtol(name + prefix, &end, 10);
  if (end == name + prefix || *end != '-' || std::strlen(end + 1) != 6 || pid <= 0 || pid > INT_MAX) return 0;
  return static_cast<pid_t>(pid);
}

// A folder cleaned away from under the process (by a tmp reaper, say) is made anew.
bool StillThere(const PrivateFolder& folder) {
  struct stat st;
  return lstat(folder.path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid() &&
         (st.st_mode & 0777) == 0700;
}

} // namespace

DWORD GetTempPathA(DWORD bufferLength, char* buffer) {
  PrivateFolder& folder = Folder();
  std::lock_guard lock(folder.mutex);
  if ((folder.owner != getpid() || !StillThere(folder)) && !MakeFolder(folder)) return 0;
  const std::string& path = folder.path;
  if (!buffer || bufferLength <= path.size()) return static_cast<DWORD>(path.size() + 1);
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return static_cast<DWORD>(path.size());
}

UINT GetTempFileNameA(const char* path, const char* prefix, UINT unique, char* tempFileName, const char* extension) {
  if (!path || !tempFileName) return 0;
  std::string folder = path;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  const std::string start = std::string(prefix ? prefix : "").substr(0, 3);
  auto nameFor = [&](UINT number) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", number & 0xFFFF);
    return folder + start + hex + (extension ? extension : "");
  };
  auto give = [&](const std::string& name, UINT number) -> UINT {
    std::memcpy(tempFileName, name.c_str(), name.size() + 1);
    return number;
  };
  if (unique != 0) {
    const std::string name = nameFor(unique);
    return name.size() < MAX_PATH ? give(name, unique) : 0;
  }
  // Every number is tried once from a random start, so a name is found while one is free.
  static thread_local std::minstd_rand random(std::random_device{}());
  const UINT first = static_cast<UINT>(random() % 0xFFFF);
  for (UINT step = 0; step < 0xFFFF; ++step) {
    const UINT number = 1 + (first + step) % 0xFFFF;
    const std::string name = nameFor(number);
    if (name.size() >= MAX_PATH) return 0;
    const int fd = open(name.c_str(), O_CREAT | O_EXCL | O_NOFOLLOW | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
      close(fd);
      return give(name, number);
    }
    if (errno != EEXIST) return 0;
  }
  return 0;
}

void RemoveTempFolderOnSignal() {
  if (g_signalOwner.load() != getpid()) return;
  RemoveFolder(g_signalPath);
}

int SweepAbandonedTempFolders(const char* parent) {
  const std::string parentPath = parent ? parent : ParentFolder();
  const int parentFd = open(parentPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* listing = parentFd >= 0 ? fdopendir(parentFd) : nullptr;
  if (!listing) {
    if (parentFd >= 0) close(parentFd);
    return 0;
  }
  int swept = 0;
  while (const dirent* entry = readdir(listing)) {
    const pid_t maker = MakerOf(entry->d_name);
    struct stat st;
    if (maker == 0 || maker == getpid() || fstatat(parentFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISDIR(st.st_mode) || st.st_uid != getuid() || MakerRuns(maker, st))
      continue;
    const int folder = openat(parentFd, entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0) continue;
    UnlinkEntries(folder);
    close(folder);
    swept += unlinkat(parentFd, entry->d_name, AT_REMOVEDIR) == 0;
  }
  closedir(listing);
  return swept;
}
