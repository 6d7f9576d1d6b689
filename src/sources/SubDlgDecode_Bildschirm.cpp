#include "sources/SubDlgDecode_Bildschirm.h"

#include "decode/SubDlgDecode.h"
#include "outside/MessageBox.h"
#include "outside/ScreenPictures.h"

#include <wx/button.h>

BOOL CSubDlgDecode_Bildschirm::OnInitDialog() {
  const BOOL done = CSubDlgDecode_ScannerBase::OnInitDialog();
  if (wxButton* button = ScanButton()) button->SetLabel("Bildschirm lesen");
  if (wxButton* menu = DropDownButton()) menu->Hide();
  return done;
}

bool CSubDlgDecode_Bildschirm::IsOnlySource() const { return m_pOwner->m_wndTabCtrl.GetPageCount() == 1; }

void CSubDlgDecode_Bildschirm::OnShowWindow(BOOL bShow, UINT nStatus) {
  CSubDlgDecode_ScannerBase::OnShowWindow(bShow, nStatus);
  if (bShow && IsOnlySource()) CallAfter([this] { OnBnClickedFromScanner(); });
}

void CSubDlgDecode_Bildschirm::OnBnClickedFromScanner() {
  ScreenPictures shot = TakeScreenPicture(this);
  if (shot.outcome == ScreenPictures::Cancelled) return;
  if (shot.outcome == ScreenPictures::Failed) {
    AfxMessageBox(shot.message, MB_OK | MB_ICONERROR);
    return;
  }
  DecodePictureFiles(shot.files, shot.ours, T_DecodeImageSource_Bildschirm);
}
