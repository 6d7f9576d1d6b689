#include "FrameFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <stdio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Put16(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t* at, std::uint32_t value) {
  Put16(at, value);
  Put16(at + 2, value >> 16);
}

// File header and BITMAPINFOHEADER of a bottom-up 24-bit picture.
std::vector<std::uint8_t> BmpHeader(int width, int height, std::uint32_t imageBytes) {
  std::vector<std::uint8_t> header(54, 0);
  header[0] = 'B';
  header[1] = 'M';
  Put32(&header[2], 54 + imageBytes);
  Put32(&header[10], 54);
  Put32(&header[14], 40);
  Put32(&header[18], static_cast<std::uint32_t>(width));
  Put32(&header[22], static_cast<std::uint32_t>(height));
  Put16(&header[26], 1);
  Put16(&header[28], 24);
  Put32(&header[34], imageBytes);
  Put32(&header[38], 2835); // 72 dpi
  Put32(&header[42], 2835);
  return header;
}

// The header and the rows bottom-up, each padded to four bytes, gathered straight from the frame
// (a copy of it costs as much as the write itself).
bool WriteAll(int fd, std::vector<iovec>& parts) {
  const int most = static_cast<int>(std::min<long>(sysconf(_SC_IOV_MAX) > 0 ? sysconf(_SC_IOV_MAX) : 16, 1024));
  for (size_t first = 0; first < parts.size();) {
    const int count = static_cast<int>(std::min<size_t>(parts.size() - first, static_cast<size_t>(most)));
    ssize_t n = writev(fd, &parts[first], count);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    for (; first < parts.size() && static_cast<size_t>(n) >= parts[first].iov_len; ++first) n -= static_cast<ssize_t>(parts[first].iov_len);
    if (n > 0) { // a short write inside one part: go on from where it stopped
      parts[first].iov_base = static_cast<std::uint8_t*>(parts[first].iov_base) + n;
      parts[first].iov_len -= static_cast<size_t>(n);
    }
  }
  return true;
}

bool WriteBmp(int fd, const BgrFrame& frame, size_t rowBytes, size_t imageBytes) {
  static const std::uint8_t padding[3] = {};
  std::vector<std::uint8_t> header = BmpHeader(frame.width, frame.height, static_cast<std::uint32_t>(imageBytes));
  const size_t used = static_cast<size_t>(frame.width) * 3;
  thread_local std::vector<iovec> parts;
  parts.clear();
  parts.push_back({header.data(), header.size()});
  for (int y = frame.height - 1; y >= 0; --y) {
    parts.push_back({const_cast<std::uint8_t*>(frame.pixels) + static_cast<size_t>(y) * frame.stride, used});
    if (rowBytes > used) parts.push_back({const_cast<std::uint8_t*>(padding), rowBytes - used});
  }
  if (!WriteAll(fd, parts)) return false;
  // A spare of another size (the camera switched resolution) keeps no stale tail.
  struct stat st;
  const off_t size = static_cast<off_t>(header.size() + imageBytes);
  return fstat(fd, &st) == 0 && (st.st_size == size || ftruncate(fd, size) == 0);
}

} // namespace

bool WriteFrameAsBmp(const BgrFrame& frame, const char* fileName) {
  if (!frame.pixels || frame.width <= 0 || frame.height <= 0 || frame.stride < frame.width * 3 || !fileName) return false;
  const size_t rowBytes = (static_cast<size_t>(frame.width) * 3 + 3) & ~size_t{3};
  const size_t imageBytes = rowBytes * static_cast<size_t>(frame.height);
  if (imageBytes > 0xFFFFFFFFu - 54) return false;
  // The spare file is overwritten in place (its pages are reused: fresh ones cost more than the
  // copy), then swapped with the picture in one step; the old picture becomes the next spare.
  const std::string spare = SpareFileName(fileName);
  const int fd = open(spare.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool ok = WriteBmp(fd, frame, rowBytes, imageBytes);
  ok = close(fd) == 0 && ok;
  if (ok && renameat2(AT_FDCWD, spare.c_str(), AT_FDCWD, fileName, RENAME_EXCHANGE) == 0) return true;
  if (ok && std::rename(spare.c_str(), fileName) == 0) return true; // no picture yet, or no swapping here
  std::remove(spare.c_str());
  return false;
}

std::string SpareFileName(const char* fileName) { return std::string(fileName) + ".part"; }
