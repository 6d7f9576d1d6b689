// Pressing "von Scanner" until the codes are reported, for one 300 dpi A4 page through SANE's pnm
// device, against `scanimage` writing the same page and `zbarimg` reading it (whole processes).
// Both sides take turns. Afterwards 100 scans, cancels and faults, and the scan files they leave.
#include "RatioReporter.h"

#include "TestScanners.h"
#include "config/QRCodeKonfiguration.h"
#include "outside/MessageBox.h"
#include "outside/ProgramSettings.h"
#include "outside/Scanning.h"
#include "shell/QRCodeDlg.h"
#include "sources/SubDlgDecode_Scanner.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/init.h>
#include <wx/timer.h>

#include <chrono>
#include <map>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// argv, no shell; true when the program ran and exited with 0.
bool Run(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    freopen("/dev/null", "w", stdout);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}


struct ScannerTab {
  CQRCodeDlg dialog;
  CSubDlgDecode_ScannerBase* page = nullptr;
  int reported = 0;

  ScannerTab() {
    CLokaleProgrammEinstellung::GetItem().SetText("QRCode", "LastDecodeSource", "Scanner");
    dialog.CreateFromTemplate();
    dialog.OnInitDialog();
    dialog.Show();
    dialog.GetTabCtrl().SetSelection(1);
    auto& decode = *dynamic_cast<CSubDlgDecode*>(dialog.GetTabCtrl().m_arSubDlg[1]);
    decode.m_fnOnDecoded = [this](const CDecodeResultArray* results, const CDTemplateArray<CDecodeGrafikResult>*) {
      reported += results->GetSize();
      return true;
    };
    page = dynamic_cast<CSubDlgDecode_ScannerBase*>(decode.m_wndTabCtrl.m_arSubDlg[decode.m_wndTabCtrl.GetSelection()]);
  }

  void PressVonScanner() {
    wxCommandEvent click(wxEVT_BUTTON, 1008);
    click.SetEventObject(page->FindWindow(1008));
    page->FindWindow(1008)->GetEventHandler()->ProcessEvent(click);
  }
};

void Paired(benchmark::State& state, const std::string* pnmFile) {
  UseScanner("pnm:0", ScanVorlage::Flachbett, "filename=" + *pnmFile);
  ScannerTab tab;
  if (!tab.page) return state.SkipWithError("no scanner tab");
  const std::string scanned = *pnmFile + ".scanimage.pnm";
  double ours = 0, raw = 0;
  for (auto _ : state) {
    Clock::time_point start = Clock::now();
    tab.PressVonScanner();
    const double press = MillisecondsSince(start);
    start = Clock::now();
    if (!Run({"scanimage", "-d", "pnm:0", "--filename", *pnmFile, "--format=pnm", "-o", scanned}) ||
        !Run({"zbarimg", "-q", scanned}))
      state.SkipWithError("scanimage or zbarimg failed");
    raw += MillisecondsSince(start);
    ours += press;
    state.SetIterationTime(press / 1000);
  }
  std::remove(scanned.c_str());
  if (tab.reported != static_cast<int>(state.iterations())) state.SkipWithError("a press missed the code");
  state.counters["ours"] = benchmark::Counter(ours, benchmark::Counter::kAvgIterations);
  state.counters["raw"] = benchmark::Counter(raw, benchmark::Counter::kAvgIterations);
  state.counters["ratio"] = raw > 0 ? ours / raw : 0;
}

// A third each: a page read, a jammed feeder, a slow feeder cancelled in the progress box.
// Prints what the user was told, how often.
int FilesLeftAfterHundredScans(const std::string& pnmFile) {
  auto tab = std::make_unique<ScannerTab>();
  wxTimer cancel;
  cancel.Bind(wxEVT_TIMER, [](wxTimerEvent&) {
    wxWindow* box = wxWindow::FindWindowByName(kScanProgressName);
    if (!box || !box->IsShown()) return;
    wxCommandEvent click(wxEVT_BUTTON, wxID_CANCEL);
    click.SetEventObject(box->FindWindow(wxID_CANCEL));
    box->FindWindow(wxID_CANCEL)->GetEventHandler()->ProcessEvent(click);
  });
  cancel.Start(50);
  for (int i = 0; i < 100; ++i) {
    if (i < 34) UseScanner("pnm:0", ScanVorlage::Flachbett, "filename=" + pnmFile);
    else if (i < 67) UseScanner("test:0", ScanVorlage::Einzug, "read-return-value=SANE_STATUS_JAMMED");
    else // last: a cancel can leave SANE's test reader hung, and then every later scan is refused
      UseScanner("test:0", ScanVorlage::Einzug, "read-limit=yes;read-limit-size=1000;read-delay=yes;read-delay-duration=200000");
    tab->PressVonScanner();
  }
  tab.reset(); // the import page keeps one reserved name while it lives
  return ScannedFilesLeft();
}

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  // The scanner choice and options written here must not become the user's.
  const std::string settings = UseTestScanners() + "/config";
  setenv("XDG_CONFIG_HOME", settings.c_str(), 1);
  wxApp::SetInstance(new wxApp);
  if (!wxEntryStart(argc, argv)) return 2;
  SetMessageBoxHandler([](const CString&, UINT) { return IDOK; });
  static const std::string pnmFile = CodePage("Lieferschein 4711", 300, UseTestScanners() + "/page.pgm");
  GetQRCodeKonfiguration().m_nScanDpi = 300;
  benchmark::RegisterBenchmark("von Scanner, A4 300 dpi: paired", Paired, &pnmFile)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::vector<std::string> messages;
  SetMessageBoxHandler([&](const CString& text, UINT) { return messages.push_back(text.str()), IDOK; });
  std::printf("scan files left after 100 scans, cancels and faults: %d\n", FilesLeftAfterHundredScans(pnmFile));
  std::map<std::string, int> told;
  for (const std::string& message : messages) ++told[message];
  for (const auto& [message, times] : told) std::printf("  told %d times: %s\n", times, message.c_str());
  wxEntryCleanup();
  return 0;
}
