// The main dialog as a program runs it: the command line loads this library only to show it.
#include "CodewerkExport.h"
#include "shell/QRCodeDlg.h"

#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>

#include <cstdlib>
#include <iostream>

namespace {

class CodewerkApp : public wxApp {
public:
  bool OnInit() override {
    SetAppDisplayName("TQ QR Code");
    wxInitAllImageHandlers();
    return true;
  }
  int OnRun() override {
    CQRCodeDlg dialog;
    dialog.DoModal();
    return 0;
  }
};

const char* const kNoDisplay =
    "codewerk: there is no display to show the main dialog on (DISPLAY and WAYLAND_DISPLAY are not set,\n"
    "or the display cannot be opened). Run it in a desktop session, or on a virtual display with\n"
    "  xvfb-run -a codewerk\n"
    "The headless commands need no display:\n"
    "  codewerk encode TEXT -o FILE.bmp\n"
    "  codewerk decode FILE...\n";

} // namespace

extern "C" CODEWERK_EXPORT int CodewerkRunMainDialog(int argc, char** argv) {
  std::ostream& err = std::cerr;
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
    err << kNoDisplay;
    return 1;
  }
  wxApp::SetInstance(new CodewerkApp);
  if (!wxEntryStart(argc, argv)) {
    err << kNoDisplay;
    return 1;
  }
  int rc = 1;
  if (wxTheApp->CallOnInit()) rc = wxTheApp->OnRun();
  wxTheApp->OnExit();
  wxEntryCleanup();
  return rc;
}
