// Inside the scanning services: one scan with a given choice, for the batch and the import.
#pragma once

#include "outside/Scanning.h"

#include <string>
#include <vector>

// Scans behind the progress box; tells the user about a fault; the pages' files, in order.
std::vector<std::string> ScanWithAuswahl(const char* program, const ScanAuswahl& auswahl, int dpi, wxWindow* parent);
