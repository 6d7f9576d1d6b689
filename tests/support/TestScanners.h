// SANE's own devices for scanner tests: "pnm" scans a picture file through the real SANE calls,
// "test" gives feeder batches, slow reads and every fault status.
#pragma once

#include "GrayImage.h"

#include <string>

enum class ScanVorlage;

// Points SANE_CONFIG_DIR at a folder of the test program whose dll.conf names these backends, one
// per line (none: no scanner at all); returns the folder.
std::string UseTestScanners(const std::string& backends = "pnm\ntest\n");
// A picture as a PGM file, for the pnm device's "filename" option.
bool SavePgm(const GrayImage& image, const std::string& path);
// A page at dpi with the code of text on it, as a PGM file; the code about 25 mm wide.
std::string CodePage(const std::string& text, int dpi, const std::string& path);
// The scanned page files that are still in the private temporary folder; with "TQD", the pages of
// split multi-page files.
int ScannedFilesLeft(const char* prefix = "TQS");
// What "von Scanner" in the program "QRCode" scans with: device, source and extra SANE options.
void UseScanner(const char* device, ScanVorlage vorlage, const std::string& options);
