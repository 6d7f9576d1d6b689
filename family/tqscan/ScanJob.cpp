#include "ScanJob.h"

#include "outside/DibServices.h"
#include "outside/GlobalMemory.h"
#include "outside/ScanPict.h"
#include "outside/TempFiles.h"

#include <algorithm>
#include <cstdio>

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

ScanJob::ScanJob(std::optional<ScanRequest> request) : m_request(std::move(request)) {}

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
  m_cancel = true;
  std::lock_guard lock(m_scannerMutex);
  if (m_pScanner) m_pScanner->Cancel();
}

ScanJob::Outcome ScanJob::TakeOutcome() {
  Outcome outcome = std::move(m_outcome);
  m_outcome = {};
  return outcome;
}

void ScanJob::Run() {
  {
    SaneSession session;
    if (session.Status() != SANE_STATUS_GOOD) {
      m_outcome.message = ScanFehlerText(session.Status(), 1);
    } else if (!m_request) {
      FindScanners();
    } else {
      SaneScanner scanner;
      if (OpenDevice(scanner)) {
        {
          std::lock_guard lock(m_scannerMutex);
          m_pScanner = &scanner;
        }
        ScanPages(scanner);
        std::lock_guard lock(m_scannerMutex);
        m_pScanner = nullptr;
      }
    }
  }
  if (m_cancel) {
    RemoveFiles();
    m_outcome.cancelled = true;
    m_outcome.message.clear();
  }
  m_phase = Phase::Fertig;
}

bool ScanJob::FindScanners() {
  m_phase = Phase::Suche;
  const SANE_Status status = ListScanners(m_outcome.scanners);
  if (m_cancel) return false;
  if (status != SANE_STATUS_GOOD) m_outcome.message = ScanFehlerText(status, 1);
  else if (m_outcome.scanners.empty()) m_outcome.message = "Es wurde kein Scanner gefunden.";
  return m_outcome.message.empty();
}

// The remembered device first; when it is gone (or none is remembered), the first one found.
bool ScanJob::OpenDevice(SaneScanner& scanner) {
  std::string device = m_request->device;
  SANE_Status status = device.empty() ? SANE_STATUS_INVAL : scanner.Open(device);
  if (status == SANE_STATUS_DEVICE_BUSY || status == SANE_STATUS_ACCESS_DENIED) {
    m_outcome.message = ScanFehlerText(status, 1);
    return false;
  }
  if (status != SANE_STATUS_GOOD) {
    if (!FindScanners()) return false;
    const auto& found = m_outcome.scanners;
    const auto same = std::find_if(found.begin(), found.end(), [&](const ScannerInfo& s) { return s.name.str() == device; });
    if (same == found.end()) {
      device = found.front().name.str();
      // A device of its own kind: its source may not exist there.
      if (!found.front().feeder && !found.front().duplex) m_request->vorlage = ScanVorlage::Flachbett;
    }
    status = scanner.Open(device);
    if (status != SANE_STATUS_GOOD) {
      m_outcome.message = ScanFehlerText(status, 1);
      return false;
    }
  }
  m_outcome.device = device;
  return true;
}

void ScanJob::ScanPages(SaneScanner& scanner) {
  m_phase = Phase::Scannen;
  SANE_Status status = scanner.Configure(*m_request);
  if (status != SANE_STATUS_GOOD) {
    m_outcome.message = ScanFehlerText(status, 1);
    return;
  }
  const bool feeder = m_request->vorlage != ScanVorlage::Flachbett;
  for (int page = 1;; ++page) {
    m_page = page;
    m_percent = -1;
    RasterImage image;
    status = scanner.ReadPage(image, m_cancel, [this](int percent) { m_percent = percent; });
    if (status == SANE_STATUS_GOOD) {
      if (!StorePage(image)) return;
      if (!feeder) return;
      continue;
    }
    if (status != SANE_STATUS_CANCELLED) m_outcome.message = ScanFehlerText(status, page);
    return;
  }
}

bool ScanJob::StorePage(const RasterImage& page) {
  char folder[MAX_PATH];
  char file[MAX_PATH];
  HGLOBAL dib = page.format == PixelFormat::Gray8 ? MakeDib8Gray(page.width, page.height, page.pixels.data())
                                                  : MakeDib24(page.width, page.height, page.pixels.data());
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
