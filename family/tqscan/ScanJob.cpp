#include "ScanJob.h"

#include "ScanChannel.h"
#include "ScanChild.h"
#include "outside/DibServices.h"
#include "outside/GlobalMemory.h"
#include "outside/ScanPict.h"
#include "outside/TempFiles.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <cstdio>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// In the forked child: only the socket stays open, the standard streams go nowhere (a chatty
// driver must not write into the program's output), and the child dies with the program.
[[noreturn]] void RunInChild(int socket, const std::optional<ScanRequest>& request, pid_t parent) {
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent || dup2(socket, 3) < 0) _exit(1);
  const int nowhere = open("/dev/null", O_RDWR);
  if (nowhere >= 0) dup2(nowhere, 0), dup2(nowhere, 1);
  close_range(4, ~0U, 0);
  try {
    RunScanChild(request, 3);
  } catch (...) {
    _exit(1); // the job hears the socket close and says the driver failed
  }
  _exit(0); // none of the program's clean-up runs here
}

} // namespace

ScanJob::ScanJob(std::optional<ScanRequest> request, std::chrono::milliseconds silentFor)
    : m_request(std::move(request)), m_silentFor(silentFor) {}

ScanJob::~ScanJob() {
  Cancel();
  if (m_thread.joinable()) m_thread.join();
  RemoveFiles(); // pages nobody took
}

void ScanJob::Start() {
  try {
    m_thread = std::thread([this] { Run(); });
  } catch (const std::system_error&) {
    m_outcome.message = "Fehler beim Scannen: es konnte kein Arbeitsfaden gestartet werden.";
    m_phase = Phase::Fertig;
  }
}

void ScanJob::Cancel() {
  if (!m_cancel) m_cancelledAt = std::chrono::steady_clock::now(); // the time first: the worker reads it once it sees the flag
  m_cancel = true;
  std::lock_guard lock(m_socketMutex);
  if (m_socket >= 0) send(m_socket, "c", 1, MSG_NOSIGNAL | MSG_DONTWAIT);
}

ScanJob::Outcome ScanJob::TakeOutcome() {
  Outcome outcome = std::move(m_outcome);
  m_outcome = {};
  return outcome;
}

void ScanJob::Run() {
  if (StartChild()) {
    const bool saidAll = Listen();
    {
      std::lock_guard lock(m_socketMutex);
      close(m_socket);
      m_socket = -1;
    }
    if (m_child > 0) kill(m_child, SIGKILL); // gone already, unless it hung after its last word; never 0 or -1, the group or everyone
    int status = 0;
    while (waitpid(m_child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!saidAll && !m_cancel && m_outcome.message.empty())
      m_outcome.message = "Der Scannertreiber ist abgestürzt; die Seiten bis dahin sind erhalten.";
  }
  if (m_cancel) {
    RemoveFiles();
    m_outcome.cancelled = true;
    m_outcome.message.clear();
  }
  m_phase = Phase::Fertig;
}

bool ScanJob::StartChild() {
  int pair[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) {
    m_outcome.message = "Fehler beim Scannen: es konnte keine Verbindung zum Scanner-Prozess angelegt werden.";
    return false;
  }
  const pid_t parent = getpid();
  m_child = fork();
  if (m_child == 0) RunInChild(pair[1], m_request, parent);
  close(pair[1]);
  if (m_child < 0) {
    close(pair[0]);
    m_outcome.message = "Fehler beim Scannen: es konnte kein Scanner-Prozess gestartet werden.";
    return false;
  }
  std::lock_guard lock(m_socketMutex);
  m_socket = pair[0];
  if (m_cancel) send(m_socket, "c", 1, MSG_NOSIGNAL | MSG_DONTWAIT);
  return true;
}

// Until the child ends. One that has not ended kStopAfter after a cancel, or after it said all
// it had to say, is killed: some drivers hang when they stop. One silent for too long is killed
// too: drivers that cancel their own reader threads can hang at any page.
bool ScanJob::Listen() {
  pollfd ready{m_socket, POLLIN, 0};
  std::chrono::steady_clock::time_point saidAll{}, heard = std::chrono::steady_clock::now();
  for (;;) {
    const auto now = std::chrono::steady_clock::now();
    const bool done = saidAll != decltype(saidAll){};
    if (m_cancel && now - m_cancelledAt.load() >= kStopAfter) return done;
    if (done && now - saidAll >= kStopAfter) return true;
    if (!done && !m_cancel && now - heard >= m_silentFor) {
      if (m_outcome.message.empty()) m_outcome.message = kSilentMessage;
      return true;
    }
    const int n = poll(&ready, 1, 50);
    if (n == 0 || (n < 0 && errno == EINTR)) continue;
    char kind = 0;
    std::string payload;
    if (n < 0 || !ScanChannel::Receive(m_socket, kind, payload)) return done;
    heard = now;
    if (!Take(kind, payload)) return true; // we stopped it: nothing more is missing
    if (kind == ScanChannel::kDone) saidAll = now;
  }
}

// False when no more pages can be kept: the child is stopped, the pages so far stay.
bool ScanJob::Take(char kind, const std::string& payload) {
  switch (kind) {
    case ScanChannel::kPhase: m_phase = payload == std::string(1, '\1') ? Phase::Scannen : Phase::Suche; break;
    case ScanChannel::kPage: m_page = ScanChannel::NumberIn(payload), m_percent = -1; break;
    case ScanChannel::kPercent: m_percent = ScanChannel::NumberIn(payload); break;
    case ScanChannel::kDevice: m_outcome.device = payload; break;
    case ScanChannel::kMessage: m_outcome.message = payload; break;
    case ScanChannel::kImage: return StorePage(payload);
    case ScanChannel::kScanner: {
      const std::size_t name = payload.find('\0'), label = payload.find('\0', name + 1);
      if (label == std::string::npos || payload.size() < label + 4) break;
      ScannerInfo info;
      info.name = payload.substr(0, name).c_str();
      info.label = payload.substr(name + 1, label - name - 1).c_str();
      info.flatbed = payload[label + 1], info.feeder = payload[label + 2], info.duplex = payload[label + 3];
      m_outcome.scanners.push_back(info);
      break;
    }
  }
  return true;
}

bool ScanJob::StorePage(const std::string& image) {
  const int width = ScanChannel::NumberIn(image, 0), height = ScanChannel::NumberIn(image, 4);
  const int bytesPerPixel = image.size() > 8 ? image[8] : 0;
  const bool whole = width > 0 && height > 0 && (bytesPerPixel == 1 || bytesPerPixel == 3) &&
                     image.size() == 9 + std::size_t(width) * height * bytesPerPixel;
  const auto* pixels = reinterpret_cast<const std::uint8_t*>(image.data() + 9);
  HGLOBAL dib = !whole ? nullptr : bytesPerPixel == 1 ? MakeDib8Gray(width, height, pixels) : MakeDib24(width, height, pixels);
  char folder[MAX_PATH];
  char file[MAX_PATH];
  const DWORD length = GetTempPathA(sizeof folder, folder);
  const bool named = dib && length > 0 && length < sizeof folder && GetTempFileNameA(folder, "TQScanner", 0, file, ".bmp") != 0;
  const bool written = named && WriteDIB(file, dib);
  if (dib) GlobalFree(dib);
  if (written) {
    m_outcome.files.emplace_back(file);
    return true;
  }
  if (named) std::remove(file);
  m_outcome.message = "Die gescannte Seite konnte nicht zwischengespeichert werden (ist der Datenträger voll?).";
  return false;
}

void ScanJob::RemoveFiles() {
  for (const std::string& file : m_outcome.files) std::remove(file.c_str());
  m_outcome.files.clear();
}
