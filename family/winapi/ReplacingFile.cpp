#include "outside/ReplacingFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The process's umask, read without changing it (umask() would change it for every thread).
mode_t CurrentUmask() {
  if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
    char line[256];
    unsigned mask = 0;
    while (std::fgets(line, sizeof line, status))
      if (std::sscanf(line, "Umask: %o", &mask) == 1) {
        std::fclose(status);
        return static_cast<mode_t>(mask);
      }
    std::fclose(status);
  }
  return 022;
}

} // namespace

ReplacingFile::ReplacingFile(const std::string& path) : m_path(path) {
  m_spare = path + ".XXXXXX";
  m_fd = mkstemp(m_spare.data());
  if (m_fd < 0) {
    m_spare.clear();
    Fail(errno);
    return;
  }
  // The file keeps its permissions; a new one gets those a plain new file would.
  struct stat existing;
  fchmod(m_fd, ::stat(path.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0666 & ~CurrentUmask());
}

ReplacingFile::~ReplacingFile() {
  if (m_fd >= 0) close(m_fd);
  if (!m_committed && !m_spare.empty()) unlink(m_spare.c_str());
}

void ReplacingFile::Fail(int error) {
  if (!m_error) m_error = error ? error : EIO;
}

bool ReplacingFile::Write(const void* data, std::size_t size) {
  for (std::size_t done = 0; !m_error && done < size;) {
    const ssize_t n = ::write(m_fd, static_cast<const char*>(data) + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Fail(n < 0 ? errno : ENOSPC);
    else done += static_cast<std::size_t>(n);
  }
  return !m_error;
}

bool ReplacingFile::Commit(bool durable) {
  if (m_error) return false;
  if (durable && fsync(m_fd) != 0) Fail(errno);
  if (close(m_fd) != 0) Fail(errno);
  m_fd = -1;
  if (!m_error && std::rename(m_spare.c_str(), m_path.c_str()) != 0) Fail(errno);
  m_committed = !m_error;
  return m_committed;
}
