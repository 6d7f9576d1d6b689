// Start-up probe: the process that shows Codewerk's main dialog.
#include "StartupProbe.h"

#include "shell/QRCodeDlg.h"

int main(int argc, char** argv) {
  return ShowAndExit(argc, argv, [] {
    auto* dialog = new CQRCodeDlg();
    dialog->CreateFromTemplate();
    dialog->OnInitDialog();
    return dialog;
  });
}
