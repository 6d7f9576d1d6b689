// The windows as a program runs them: the command line loads this library only to show them.
#include "CodewerkExport.h"
#include "results/QRCodeEinlesen.h"
#include "shell/QRCodeDlg.h"

#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <memory>

namespace {

class CodewerkApp : public wxApp {
public:
  explicit CodewerkApp(std::function<int()> body) : m_body(std::move(body)) {}
  bool OnInit() override {
    SetAppDisplayName("TQ QR Code");
    wxInitAllImageHandlers();
    return true;
  }
  int OnRun() override { return m_body(); }

private:
  std::function<int()> m_body;
};

const char* const kNoDisplay =
    "codewerk: there is no display to show the dialog on (DISPLAY and WAYLAND_DISPLAY are not set,\n"
    "or the display cannot be opened). Run it in a desktop session, or on a virtual display with\n"
    "  xvfb-run -a codewerk\n"
    "The headless commands need no display:\n"
    "  codewerk encode TEXT -o FILE.bmp\n"
    "  codewerk decode FILE...\n";

// noDisplay: what to return when no window can be shown.
int RunWithApp(int argc, char** argv, int noDisplay, std::function<int()> body) {
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
    std::cerr << kNoDisplay;
    return noDisplay;
  }
  wxApp::SetInstance(new CodewerkApp(std::move(body)));
  if (!wxEntryStart(argc, argv)) {
    std::cerr << kNoDisplay;
    return noDisplay;
  }
  int rc = noDisplay;
  if (wxTheApp->CallOnInit()) rc = wxTheApp->OnRun();
  wxTheApp->OnExit();
  wxEntryCleanup();
  return rc;
}

} // namespace

extern "C" CODEWERK_EXPORT int CodewerkRunMainDialog(int argc, char** argv) {
  return RunWithApp(argc, argv, 1, [] {
    CQRCodeDlg dialog;
    dialog.DoModal();
    return 0;
  });
}

// The read-in dialog for "codewerk read": source names the only tab (null: the configured ones);
// each result of the first read that found codes goes to report. 0 read, 1 closed, 2 no display.
extern "C" CODEWERK_EXPORT int CodewerkRunRead(int argc, char** argv, const char* source,
                                               void (*report)(const CSubDlgDecodeResult& result, void* context),
                                               void* context) {
  return RunWithApp(argc, argv, 2, [&] {
    std::unique_ptr<CSubDlgDecode> page(CreateCurrentDecoder());
    if (source) {
      page->m_bShow2DScanner = std::strcmp(source, "2D Scanner") == 0;
      page->m_bShowWebCam = std::strcmp(source, "WebCam") == 0;
      page->m_bShowScanner = std::strcmp(source, "Scanner") == 0;
      page->m_bShowDatei = std::strcmp(source, "Datei") == 0;
      page->m_bShowBildschirm = std::strcmp(source, "Bildschirm") == 0;
      page->m_bShowZwischenablage = std::strcmp(source, "Zwischenablage") == 0;
    }
    bool read = false;
    page->m_fnOnDecoded = [&](const CDecodeResultArray* results, const CDTemplateArray<CDecodeGrafikResult>*) {
      for (const CSubDlgDecodeResult* result : *results)
        if (result) report(*result, context);
      return read = true;
    };
    {
      CQRCodeEinlesenDialog dialog(10, *page, "QR Code", page->m_lpszTemplate, nullptr);
      dialog.m_pDecoder = page.get();
      dialog.DoModal();
    }
    return read ? 0 : 1;
  });
}
