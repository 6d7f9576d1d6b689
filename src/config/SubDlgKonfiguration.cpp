#include "config/SubDlgKonfiguration.h"

#include "encode/QRCodeTestseite.h"
#include "outside/DataExchange.h"
#include "outside/MessageBox.h"

#include <wx/sizer.h>

namespace {

constexpr int kGridPlaceholder = 1005, kSave = 1002;

constexpr const char* kRestartNotice =
    "Änderungen werden erst nach erneutem Programmstart berücksichtigt.\n(Achtung: TQ Blattwerk, TQ Giebel, ... "
    "berücksichtigen diese Einstellungen ebenfalls erst nach Programmneustart.)";
constexpr const char* kBothWebCamValues =
    "Bitte geben Sie beide Werte für die WebCam-Auflösung an oder lassen Sie beide Eingaben leer.";
constexpr const char* kWebCamDescription =
    "Wenn die Auflösung nicht unterstützt wird, wird i.d.R. die nächstkleinere Auflösung gewählt.";

} // namespace

void CSubDlgKonfigurationPropertyGridBasisDialog::OnPropertyChanged(CPropertyGridBasisDialog_BaseProperty*) {
  m_pPage->OnPropertyValueChanged();
}

CSubDlgKonfiguration::CSubDlgKonfiguration() : CDecodeEncoderBaseDialog("IDD_SUBDLG_KONFIGURATION"), m_gridHost(this) {
  // The working copy: through a scratch profile, like every copy of the settings.
  m_konfiguration = GetQRCodeKonfiguration();
}

BOOL CSubDlgKonfiguration::OnInitDialog() {
  CDecodeEncoderBaseDialog::OnInitDialog();
  CreateCtrl();
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedSave(); }, kSave);
  EnableButtons();
  return TRUE;
}

void CSubDlgKonfiguration::AddSubItemMitDescription(wxPGProperty* group, CPropertyGridBasisDialog_BaseProperty* property,
                                                    const CString& description) {
  m_wndGrid.AddSubItem(group, property, description);
}

void CSubDlgKonfiguration::CreateCtrl() {
  wxWindow* placeholder = GetDlgItem(kGridPlaceholder);
  if (!placeholder || !m_wndGrid.Create(this, placeholder->GetRect(), wxID_ANY)) return;
  if (wxSizer* sizer = placeholder->GetContainingSizer()) sizer->Replace(placeholder, m_wndGrid.GetWindow());
  placeholder->Hide();
  m_wndGrid.EnableDescriptionArea();
  CQRCodeKonfiguration& k = m_konfiguration;

  wxPGProperty* library = m_wndGrid.AddGroup("Verwendete Bibliothek");
  auto* encoder = new CPropertyGridBasisDialog_BaseProperty_Encoder(&m_gridHost, "Erstellen", k.m_eEncoder);
  encoder->AddOption("QRCode", Encoder_QREncode);
  encoder->AddOption("ZInt", Encoder_ZInt);
  AddSubItemMitDescription(library, encoder, "");
  auto* decoder = new CPropertyGridBasisDialog_BaseProperty_Decoder(&m_gridHost, "Einlesen", k.m_eDecoder);
  decoder->AddOption("ZBar", Decoder_ZBar);
  decoder->AddOption("ZXing", Decoder_ZXing);
  decoder->AddOption("ZXing + ZBar", Decoder_ZXingZBar);
  AddSubItemMitDescription(library, decoder, "ZBar: schnell aber schlechtere Erkennung\nZXing: langsame aber bessere Erkennung\n"
                                             "ZXing + ZBar: ZXing, und ZBar, wo ZXing nichts findet");

  wxPGProperty* webcam = m_wndGrid.AddGroup("WebCam Wunschauflösung");
  AddSubItemMitDescription(webcam, new CPropertyGridBasisDialog_BaseProperty_Integer(&m_gridHost, "Breite", k.m_sizeWebCam.cx, 320, 1980, 0),
                           kWebCamDescription);
  AddSubItemMitDescription(webcam, new CPropertyGridBasisDialog_BaseProperty_Integer(&m_gridHost, "Höhe", k.m_sizeWebCam.cy, 240, 1080, 0),
                           kWebCamDescription);

  wxPGProperty* scanner = m_wndGrid.AddGroup("Scanner");
  AddSubItemMitDescription(scanner, new CPropertyGridBasisDialog_BaseProperty_Integer(&m_gridHost, "dpi", k.m_nScanDpi, 0, 1200, 0),
                           "Höhere DPI-Auflösung ist nicht immer besser...");

  wxPGProperty* decoding = m_wndGrid.AddGroup("Decoder");
  AddSubItemMitDescription(decoding, new CPropertyGridBasisDialog_BaseProperty_YesNo(&m_gridHost, "nur QR-Codes", k.m_bNurQRCodes, "Ja", "Nein"),
                           "Reduzierung der unterstützten Formate erhöht Erkennungsrate");

  wxPGProperty* other = m_wndGrid.AddGroup("Sonstiges");
  AddSubItemMitDescription(other, new CPropertyGridBasisDialog_BaseProperty_Action(&m_gridHost, [this] { PrintCodeTestPage(this); }, "Drucken", "Code-Testseite"),
                           "");
  Layout();
}

void CSubDlgKonfiguration::DoDataExchange(CDataExchange* pDX) {
  CDecodeEncoderBaseDialog::DoDataExchange(pDX);
  if (!pDX->m_bSaveAndValidate) return;
  // A wished webcam resolution has both sides or none.
  if ((m_konfiguration.m_sizeWebCam.cx == 0) != (m_konfiguration.m_sizeWebCam.cy == 0)) {
    AfxMessageBox(kBothWebCamValues, MB_OK | MB_ICONERROR);
    pDX->Fail();
  }
}

bool CSubDlgKonfiguration::Save() {
  if (!UpdateData(TRUE)) return false;
  AfxMessageBox(kRestartNotice, MB_OK | MB_ICONINFORMATION);
  if (!m_konfiguration.Sichern()) {
    m_konfiguration.ShowLastErrorMsgBox_Speichern();
    return false;
  }
  m_bModified = false;
  EnableButtons();
  return true;
}

void CSubDlgKonfiguration::OnBnClickedSave() { Save(); }

void CSubDlgKonfiguration::OnPropertyValueChanged() {
  m_bModified = true;
  EnableButtons();
}

void CSubDlgKonfiguration::EnableButtons() { SafeEnableWindow(this, kSave, m_bModified); }

bool CSubDlgKonfiguration::NeedSetActiveTabPrepareForCloseDialog() { return m_bModified; }

bool CSubDlgKonfiguration::PrepareForCloseDialog() {
  if (!m_bModified) return true;
  switch (AfxMessageBox("Änderungen der Konfiguration speichern?", MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
      Save(); // a refused check has said so; the dialog closes all the same
      return true;
    case IDNO: return true;
    default: return false;
  }
}
