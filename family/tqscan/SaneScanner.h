// SANE, one device at a time: finding the scanners, setting a device up for a scan, reading
// pages. Nothing here shows a window; everything runs on the scanning worker.
#pragma once

#include "ScanPage.h"
#include "outside/Scanning.h"

#include <sane/sane.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// SANE is initialised for one piece of work at a time in a process: its backends are not made
// for two threads at once.
class SaneSession {
public:
  SaneSession();
  ~SaneSession();
  SaneSession(const SaneSession&) = delete;
  SaneSession& operator=(const SaneSession&) = delete;
  SANE_Status Status() const { return m_status; }

private:
  std::unique_lock<std::timed_mutex> m_lock;
  SANE_Status m_status;
};

struct ScanRequest {
  std::string device;
  ScanVorlage vorlage = ScanVorlage::Flachbett;
  int dpi = 0;         // 0: the device's own
  std::string options; // "name=value;…", set last
};

class SaneScanner {
public:
  SaneScanner() = default;
  ~SaneScanner();
  SaneScanner(const SaneScanner&) = delete;
  SaneScanner& operator=(const SaneScanner&) = delete;

  SANE_Status Open(const std::string& name);
  // The sources the open device offers.
  void DescribeSources(ScannerInfo& info) const;
  // Source, grey, resolution, the whole area, then the extra options.
  SANE_Status Configure(const ScanRequest& request);
  // One page. GOOD: page holds it; NO_DOCS: the feeder is empty; CANCELLED once cancel is set.
  // After a failure the scan is left for closing the device to end.
  SANE_Status ReadPage(RasterImage& page, const std::atomic<bool>& cancel, const std::function<void(int)>& percent);
  // From any thread, after cancel was set: breaks off a read in progress (SANE allows this).
  // False, without waiting, while the worker holds the handle: try again.
  bool Cancel();
  // A number option's value as the device holds it (NaN when there is none).
  double GetNumber(const char* name) const;

private:
  const SANE_Option_Descriptor* Find(const char* name, SANE_Int& index) const;
  SANE_Status SetNumber(const char* name, double value);
  SANE_Status SetString(const char* name, const std::string& value);
  SANE_Status SetFromText(const std::string& name, const std::string& value);
  SANE_Status SetEdge(const char* name, bool maximum);
  std::vector<std::string> StringChoices(const char* name) const;
  SANE_Status Read(SANE_Byte* buffer, SANE_Int size, SANE_Int& length, const std::atomic<bool>& cancel);
  SANE_Status ReadFrames(ScanPageAssembler& assembler, const std::atomic<bool>& cancel,
                         const std::function<void(int)>& percent);

  SANE_Handle m_handle = nullptr;
  bool m_reading = false; // inside sane_read, where Cancel may break in
  mutable std::mutex m_handleMutex; // Cancel from another thread never meets a closing handle
};

// Every device SANE finds, each opened once to learn its sources (busy ones offer the flatbed).
SANE_Status ListScanners(std::vector<ScannerInfo>& scanners);

// Which kind of source a SANE source name is; -1 for none of ours (a slide adapter).
int ClassifySource(const std::string& name);
