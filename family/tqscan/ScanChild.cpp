#include "ScanChild.h"

#include "ScanChannel.h"

#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

std::string ScanFehlerText(SANE_Status status, int page) {
  switch (status) {
    case SANE_STATUS_DEVICE_BUSY: return "Der Scanner wird gerade benutzt.";
    case SANE_STATUS_JAMMED: return "Papierstau im Einzug.";
    case SANE_STATUS_COVER_OPEN: return "Die Abdeckung des Scanners ist offen.";
    case SANE_STATUS_NO_DOCS:
      if (page <= 1) return "Im Einzug liegt kein Papier.";
      return ""; // the feeder is simply empty now
    case SANE_STATUS_IO_ERROR: return "Der Scanner meldet einen Ein-/Ausgabefehler.";
    case SANE_STATUS_ACCESS_DENIED: return "Kein Zugriff auf den Scanner.";
    case SANE_STATUS_NO_MEM: return "Dem Scanner fehlt Speicher.";
    default: return std::string("Fehler beim Scannen: ") + sane_strstatus(status);
  }
}

namespace {

class ChildScan {
public:
  ChildScan(std::optional<ScanRequest> request, int socket) : m_request(std::move(request)), m_socket(socket) {}

  void Run() {
    std::thread(&ChildScan::WaitForCancel, this).detach(); // the process ends with _exit
    SaneSession session;
    SaneScanner device;
    Work(session, device);
    ScanChannel::Send(m_socket, ScanChannel::kDone, nullptr, 0);
  } // the device closes and SANE ends after the job has all it needs

private:
  void Work(const SaneSession& session, SaneScanner& device) {
    if (session.Status() != SANE_STATUS_GOOD) return Tell(ScanFehlerText(session.Status(), 1));
    if (!m_request) {
      FindScanners();
      return;
    }
    if (!OpenDevice(device)) return;
    {
      std::lock_guard lock(m_scannerMutex);
      m_scanner = &device;
    }
    if (!m_cancel) ScanPages(device); // a cancel during opening found no scanner to stop
    std::lock_guard lock(m_scannerMutex);
    m_scanner = nullptr;
  }

  void WaitForCancel() {
    char byte;
    recv(m_socket, &byte, 1, 0); // a byte or the end: both mean stop
    m_cancel = true;
    for (;;) { // the reader may hold the handle just before it starts to read
      {
        std::lock_guard lock(m_scannerMutex);
        if (!m_scanner || m_scanner->Cancel()) return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

  void Tell(const std::string& message) {
    if (!message.empty()) ScanChannel::Send(m_socket, ScanChannel::kMessage, message);
  }

  void SendPhase(char phase) { ScanChannel::Send(m_socket, ScanChannel::kPhase, &phase, 1); }

  bool FindScanners() {
    SendPhase(0);
    const SANE_Status status = ListScanners(m_found);
    if (m_cancel) return false;
    for (const ScannerInfo& info : m_found) {
      std::string bytes = info.name.str() + '\0' + info.label.str() + '\0';
      bytes += {char(info.flatbed), char(info.feeder), char(info.duplex)};
      ScanChannel::Send(m_socket, ScanChannel::kScanner, bytes);
    }
    if (status != SANE_STATUS_GOOD) Tell(ScanFehlerText(status, 1));
    else if (m_found.empty()) Tell("Es wurde kein Scanner gefunden.");
    return status == SANE_STATUS_GOOD && !m_found.empty();
  }

  // The remembered device first; when it is gone (or none is remembered), the first one found.
  bool OpenDevice(SaneScanner& opened) {
    std::string device = m_request->device;
    SANE_Status status = device.empty() ? SANE_STATUS_INVAL : opened.Open(device);
    if (status == SANE_STATUS_DEVICE_BUSY || status == SANE_STATUS_ACCESS_DENIED) {
      Tell(ScanFehlerText(status, 1));
      return false;
    }
    if (status != SANE_STATUS_GOOD) {
      if (!FindScanners()) return false;
      const auto same = std::find_if(m_found.begin(), m_found.end(), [&](const ScannerInfo& s) { return s.name.str() == device; });
      if (same == m_found.end()) {
        device = m_found.front().name.str();
        // A device of its own kind: its source may not exist there.
        if (!m_found.front().feeder && !m_found.front().duplex) m_request->vorlage = ScanVorlage::Flachbett;
      }
      status = opened.Open(device);
      if (status != SANE_STATUS_GOOD) {
        Tell(ScanFehlerText(status, 1));
        return false;
      }
    }
    ScanChannel::Send(m_socket, ScanChannel::kDevice, device);
    return true;
  }

  void ScanPages(SaneScanner& opened) {
    SendPhase(1);
    SANE_Status status = opened.Configure(*m_request);
    if (status != SANE_STATUS_GOOD) return Tell(ScanFehlerText(status, 1));
    const bool feeder = m_request->vorlage != ScanVorlage::Flachbett;
    for (int number = 1;; ++number) {
      ScanChannel::SendNumber(m_socket, ScanChannel::kPage, number);
      RasterImage image;
      int told = -1;
      auto toldAt = std::chrono::steady_clock::now();
      status = opened.ReadPage(image, m_cancel, [&](int percent) {
        const auto now = std::chrono::steady_clock::now();
        if (percent == told && now - toldAt < ScanChannel::kReportEvery) return;
        ScanChannel::SendNumber(m_socket, ScanChannel::kPercent, told = percent), toldAt = now;
      });
      if (status != SANE_STATUS_GOOD) {
        if (status != SANE_STATUS_CANCELLED) Tell(ScanFehlerText(status, number));
        return;
      }
      if (!SendImage(image) || !feeder) return;
    }
  }

  bool SendImage(const RasterImage& image) {
    std::string bytes(9, '\0');
    const std::int32_t size[2] = {image.width, image.height};
    std::copy_n(reinterpret_cast<const char*>(size), sizeof size, bytes.begin());
    bytes[8] = static_cast<char>(image.BytesPerPixel());
    bytes.append(reinterpret_cast<const char*>(image.pixels.data()), image.pixels.size());
    return ScanChannel::Send(m_socket, ScanChannel::kImage, bytes);
  }

  std::optional<ScanRequest> m_request;
  int m_socket;
  std::vector<ScannerInfo> m_found;
  std::atomic<bool> m_cancel{false};
  std::mutex m_scannerMutex;
  SaneScanner* m_scanner = nullptr;
};

} // namespace

void RunScanChild(const std::optional<ScanRequest>& request, int socket) {
  ChildScan(request, socket).Run();
}
