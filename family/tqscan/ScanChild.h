// The SANE side of a scan job, run in a child process of its own: drivers that kill their reader
// thread on a cancel can leave the C library's locks held, and then hang in the next call. Such a
// hang takes only the child with it; the job kills it and scanning stays possible.
#pragma once

#include "SaneScanner.h"

#include <optional>
#include <string>

// In the child: looks for scanners (no request) or scans, reporting over socket (see
// ScanChannel.h). Any byte from the job, or the job going away, cancels.
void RunScanChild(const std::optional<ScanRequest>& request, int socket);

// The user's words for why a scan failed; page is the page it failed on (from 1).
std::string ScanFehlerText(SANE_Status status, int page);
