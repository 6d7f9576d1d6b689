#include "sources/SubDlgDecode_Zwischenablage.h"

#include "decode/SubDlgDecode.h"
#include "outside/MessageBox.h"
#include "outside/ScreenPictures.h"

#include <wx/button.h>

BOOL CSubDlgDecode_Zwischenablage::OnInitDialog() {
  const BOOL done = CSubDlgDecode_Bildschirm::OnInitDialog();
  if (wxButton* button = ScanButton()) {
    button->SetLabel("Aus Zwischenablage lesen");
    button->SetToolTip("Strg+V liest die Zwischenablage erneut.");
  }
  Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
    if (event.GetModifiers() == wxMOD_CONTROL && (event.GetKeyCode() == 'V' || event.GetKeyCode() == 'v'))
      OnBnClickedFromScanner();
    else
      event.Skip();
  });
  return done;
}

void CSubDlgDecode_Zwischenablage::OnBnClickedFromScanner() {
  ScreenPictures pictures = ClipboardPictures();
  if (pictures.outcome != ScreenPictures::Taken) {
    AfxMessageBox(pictures.message, MB_OK | MB_ICONINFORMATION);
    return;
  }
  DecodePictureFiles(pictures.files, pictures.ours, T_DecodeImageSource_Zwischenablage);
}
