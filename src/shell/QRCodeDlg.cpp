#include "shell/QRCodeDlg.h"

#include "outside/MessageBox.h"

#include "config/QRCodeKonfiguration.h"

#include <wx/sizer.h>

const CString CQRCodeDlg_IDD = "IDD_QRCODEEXE_DIALOG";

namespace {

constexpr int kTabPlaceholder = 1005;

} // namespace

CQRCodeDlg::CQRCodeDlg(wxWindow* pParent) : CDialogEx("IDD_QRCODEEXE_DIALOG", pParent) {}

CQRCodeDlg::~CQRCodeDlg() {
  // The pages are members of this dialog; the tab control must not destroy them.
  m_wndTabCtrl.ReleasePages();
}

BOOL CQRCodeDlg::OnInitDialog() {
  CDialogEx::OnInitDialog();
  if (!CreateCtrl()) EndModalLoop(wxID_CANCEL);
  // A settings file that could not be read is told once, over the dialog, when it is up.
  static bool told = false;
  if (!told && !GetQRCodeKonfiguration().GetLastErrorText().IsEmpty()) {
    told = true;
    CallAfter([] { AfxMessageBox(GetQRCodeKonfiguration().GetLastErrorText() + " Es gelten die Voreinstellungen.", MB_OK | MB_ICONWARNING); });
  }
  return TRUE;
}

int CQRCodeDlg::CreateCtrl() {
  wxWindow* placeholder = GetDlgItem(kTabPlaceholder);
  if (!placeholder) return FALSE;
  if (!m_wndTabCtrl.Create(this, placeholder->GetRect())) return FALSE;
  // The tab control takes the placeholder's place in the layout, so it grows with the dialog.
  if (wxSizer* sizer = placeholder->GetContainingSizer()) sizer->Replace(placeholder, m_wndTabCtrl.GetWindow());
  placeholder->Hide();
  AddSubDialoge();
  Layout();
  GetSizer()->SetSizeHints(this);
  return TRUE;
}

void CQRCodeDlg::AddSubDialoge() {
  const CQRCodeKonfiguration& settings = GetQRCodeKonfiguration();
  if (settings.m_eEncoder != Encoder_QREncode)
    m_dlgEncodeZInt.AddToTabCtrl(m_wndTabCtrl, "Erstellen", "Bibliothek: ZInt");
  else
    m_dlgEncodeQREncode.AddToTabCtrl(m_wndTabCtrl, "Erstellen", "Bibliothek: QRCode");
  // Any value but 0 means ZXing here (CreateCurrentDecoder asks for 1 or 2).
  if (settings.m_eDecoder == Decoder_ZXingZBar)
    m_dlgDecodeZXing.AddToTabCtrl(m_wndTabCtrl, "Einlesen", "Bibliothek: ZXing + ZBar");
  else if (settings.m_eDecoder != Decoder_ZBar)
    m_dlgDecodeZXing.AddToTabCtrl(m_wndTabCtrl, "Einlesen", "Bibliothek: ZXing");
  else
    m_dlgDecodeZBar.AddToTabCtrl(m_wndTabCtrl, "Einlesen", "Bibliothek: ZBar");
  m_dlgKonfiguration.AddToTabCtrl(m_wndTabCtrl, "Konfiguration", "Einstellungen einsehen/ändern");
  m_dlgVerlauf.AddToTabCtrl(m_wndTabCtrl, "Verlauf", "Was eingelesen wurde");
}

bool CQRCodeDlg::PrepareForCloseDialog() { return m_wndTabCtrl.PrepareForCloseDialog(); }

void CQRCodeDlg::EndModalLoop(int nResult) {
  if (PrepareForCloseDialog()) CDialogEx::EndModalLoop(nResult);
}
