// Runs a scanning job to its end behind a progress box: shown once the job takes longer than a
// blink, naming the page, with "Abbrechen"; every other window of the program waits meanwhile.
#pragma once

#include "ScanJob.h"

class wxWindow;

ScanJob::Outcome RunScanJob(wxWindow* parent, ScanJob& job);
