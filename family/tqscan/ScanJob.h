// Finding scanners and scanning on a worker thread, so the window stays alive and "Abbrechen"
// reaches the device. SANE itself runs in a child process (see ScanChild.h); each page it sends
// is written to a "TQScanner" bitmap file in the private temporary folder at once; pages not
// handed over go with the job.
#pragma once

#include "SaneScanner.h"

#include <atomic>
#include <chrono>
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

  // Without a request the job only looks for scanners. A driver that says nothing for silentFor
  // is taken for hung: it is stopped and the pages so far are kept.
  explicit ScanJob(std::optional<ScanRequest> request, std::chrono::milliseconds silentFor = kSilentFor);
  ~ScanJob();
  ScanJob(const ScanJob&) = delete;
  ScanJob& operator=(const ScanJob&) = delete;

  void Start();
  bool Done() const { return m_phase == Phase::Fertig; }
  // A driver that has not stopped kStopAfter after this is stopped by force.
  void Cancel();
  bool Cancelling() const { return m_cancel; }
  Phase GetPhase() const { return m_phase; }
  int GetPage() const { return m_page; }
  int GetPercent() const { return m_percent; } // of the current page, -1 when its length is unknown
  // Once done: what happened; the files are the caller's from now on.
  Outcome TakeOutcome();

  static constexpr std::chrono::milliseconds kStopAfter{700};
  // Long enough for a lamp to warm up or a network scanner to be found.
  static constexpr std::chrono::milliseconds kSilentFor{120'000};
  static constexpr const char* kSilentMessage = "Der Scanner antwortet nicht mehr; die Seiten bis dahin sind erhalten.";

private:
  void Run();
  bool StartChild();
  bool Listen(); // true when the child said all it had to say
  bool Take(char kind, const std::string& payload);
  bool StorePage(const std::string& image);
  void RemoveFiles();

  std::optional<ScanRequest> m_request;
  std::chrono::milliseconds m_silentFor;
  Outcome m_outcome;
  std::atomic<Phase> m_phase{Phase::Suche};
  std::atomic<int> m_page{0};
  std::atomic<int> m_percent{-1};
  std::atomic<bool> m_cancel{false};
  std::atomic<std::chrono::steady_clock::time_point> m_cancelledAt{};
  std::mutex m_socketMutex; // Cancel writes while the worker may be closing
  int m_socket = -1;        // ours of the pair; the child has the other
  pid_t m_child = -1;
  std::thread m_thread;
};
