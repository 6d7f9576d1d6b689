#include "ScanChannel.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>

namespace ScanChannel {

namespace {

// Pages of a few hundred megabytes are the most a scan can give (the assembler's cap).
constexpr std::uint32_t kMaxPayload = 1u << 30;

bool SendAll(int socket, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t sent = send(socket, bytes, size, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes += sent;
    size -= static_cast<std::size_t>(sent);
  }
  return true;
}

bool ReceiveAll(int socket, void* data, std::size_t size) {
  auto* bytes = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t got = recv(socket, bytes, size, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    bytes += got;
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

} // namespace

bool Send(int socket, Kind kind, const void* data, std::size_t size) {
  if (size > kMaxPayload) return false;
  char head[5] = {kind};
  const auto length = static_cast<std::uint32_t>(size);
  std::memcpy(head + 1, &length, sizeof length);
  return SendAll(socket, head, sizeof head) && SendAll(socket, data, size);
}

bool Send(int socket, Kind kind, const std::string& text) { return Send(socket, kind, text.data(), text.size()); }

bool SendNumber(int socket, Kind kind, std::int32_t number) { return Send(socket, kind, &number, sizeof number); }

bool Receive(int socket, char& kind, std::string& payload) {
  char head[5];
  if (!ReceiveAll(socket, head, sizeof head)) return false;
  std::uint32_t length = 0;
  std::memcpy(&length, head + 1, sizeof length);
  if (length > kMaxPayload) return false;
  kind = head[0];
  payload.resize(length);
  return ReceiveAll(socket, payload.data(), length);
}

std::int32_t NumberIn(const std::string& payload, std::size_t at) {
  std::int32_t number = 0;
  if (payload.size() >= at + sizeof number) std::memcpy(&number, payload.data() + at, sizeof number);
  return number;
}

} // namespace ScanChannel
