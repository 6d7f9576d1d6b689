// The scanning services a program calls: which page to use, the batch scan, the remembered choice
// and the scanners found.
#include "ScanServices.h"
#include "ScanProgress.h"
#include "outside/Grafik.h"
#include "outside/MessageBox.h"
#include "outside/ProgramSettings.h"
#include "outside/Scanning.h"

#include <mutex>

namespace {

CString Section(const char* program) { return CString("Scannen ") + program; }

std::mutex g_scannersMutex;
std::vector<ScannerInfo> g_scanners;
bool g_scannersKnown = false;

void RememberScanners(const std::vector<ScannerInfo>& scanners) {
  std::lock_guard lock(g_scannersMutex);
  g_scanners = scanners;
  g_scannersKnown = true;
}

void Tell(const std::string& message) {
  if (!message.empty()) AfxMessageBox(message.c_str(), MB_OK | MB_ICONWARNING);
}

} // namespace

bool UseOldScanProgram() { return CLokaleProgrammEinstellung::GetItem().Get("QRCode", "UseOldScanProgram", 0, true) != 0; }

const char* ScanVorlageText(ScanVorlage vorlage) {
  switch (vorlage) {
    case ScanVorlage::Einzug: return "Einzug";
    case ScanVorlage::EinzugBeidseitig: return "Einzug beidseitig";
    case ScanVorlage::Flachbett: break;
  }
  return "Flachbett";
}

ScanAuswahl ScanAuswahl::Lade(const char* program) {
  CLokaleProgrammEinstellung& settings = CLokaleProgrammEinstellung::GetItem();
  ScanAuswahl auswahl;
  auswahl.device = settings.GetText(Section(program), "Geraet", "");
  const int vorlage = settings.Get(Section(program), "Vorlage", 0, true);
  auswahl.vorlage = vorlage >= 0 && vorlage <= 2 ? static_cast<ScanVorlage>(vorlage) : ScanVorlage::Flachbett;
  auswahl.options = settings.GetText(Section(program), "Optionen", "");
  return auswahl;
}

void ScanAuswahl::Sichere(const char* program) const {
  CLokaleProgrammEinstellung& settings = CLokaleProgrammEinstellung::GetItem();
  settings.SetText(Section(program), "Geraet", device);
  settings.Set(Section(program), "Vorlage", static_cast<int>(vorlage));
}

std::vector<ScannerInfo> GetScanners(wxWindow* parent, bool searchAgain) {
  {
    std::lock_guard lock(g_scannersMutex);
    if (g_scannersKnown && !searchAgain) return g_scanners;
  }
  ScanJob job(std::nullopt);
  ScanJob::Outcome outcome = RunScanJob(parent, job);
  if (outcome.cancelled) return {};
  Tell(outcome.message);
  RememberScanners(outcome.scanners);
  return outcome.scanners;
}

std::vector<ScannerInfo> KnownScanners() {
  std::lock_guard lock(g_scannersMutex);
  return g_scanners;
}

// Scans with a choice; the pages' files, the device remembered when another had to stand in.
std::vector<std::string> ScanWithAuswahl(const char* program, const ScanAuswahl& auswahl, int dpi, wxWindow* parent) {
  ScanJob job(ScanRequest{auswahl.device.str(), auswahl.vorlage, dpi, auswahl.options.str()});
  ScanJob::Outcome outcome = RunScanJob(parent, job);
  if (!outcome.scanners.empty()) RememberScanners(outcome.scanners);
  if (!outcome.device.empty() && outcome.device != auswahl.device.str()) {
    ScanAuswahl used = auswahl;
    used.device = outcome.device.c_str();
    used.Sichere(program);
  }
  Tell(outcome.message);
  return std::move(outcome.files);
}

bool CallQRCodeScanBatch(const char* program, CStringArray& files, int dpi, wxWindow* parent) {
  files.RemoveAll();
  for (const std::string& file : ScanWithAuswahl(program, ScanAuswahl::Lade(program), dpi, parent)) files.Add(file.c_str());
  return !files.IsEmpty();
}

HGLOBAL GetHDibFromFile(const char* fileName) {
  CDIBGrafik grafik;
  return grafik.Lade(nullptr, fileName) ? grafik.DetachDib() : nullptr;
}
