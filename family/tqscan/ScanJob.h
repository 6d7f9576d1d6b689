// Finding scanners and scanning on a worker thread, so the window stays alive and "Abbrechen"
// reaches the device. Each page is written to a "TQScanner" bitmap file in the private temporary
// folder as soon as it is read; pages not handed over go with the job.
#pragma once

#include "SaneScanner.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class ScanJob {
public:
  enum class Phase { Suche, Scannen, Fertig };

  struct Outcome {
    std::vector<std::string> files;    // the pages, in order; empty after a cancel
    std::vector<ScannerInfo> scanners; // when the job had to look for them
    std::string device;                // the device scanned with
    std::string message;               // a fault for the user, empty when none
    bool cancelled = false;
  };

  // Without a request the job only looks for scanners.
  explicit ScanJob(std::optional<ScanRequest> request);
  ~ScanJob();
  ScanJob(const ScanJob&) = delete;
  ScanJob& operator=(const ScanJob&) = delete;

  void Start();
  bool Done() const { return m_phase == Phase::Fertig; }
  void Cancel();
  bool Cancelling() const { return m_cancel; }
  Phase GetPhase() const { return m_phase; }
  int GetPage() const { return m_page; }
  int GetPercent() const { return m_percent; } // of the current page, -1 when its length is unknown
  // Once done: what happened; the files are the caller's from now on.
  Outcome TakeOutcome();

private:
  void Run();
  bool FindScanners();
  bool OpenDevice(SaneScanner& scanner);
  void ScanPages(SaneScanner& scanner);
  bool StorePage(const RasterImage& page);
  void RemoveFiles();

  std::optional<ScanRequest> m_request;
  Outcome m_outcome;
  std::atomic<Phase> m_phase{Phase::Suche};
  std::atomic<int> m_page{0};
  std::atomic<int> m_percent{-1};
  std::atomic<bool> m_cancel{false};
  std::mutex m_scannerMutex;
  SaneScanner* m_pScanner = nullptr; // while a device is open, for Cancel
  std::thread m_thread;
};

// The user's words for why a scan failed; page is the page it failed on (from 1).
std::string ScanFehlerText(SANE_Status status, int page);
