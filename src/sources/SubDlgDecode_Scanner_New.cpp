#include "sources/SubDlgDecode_Scanner_New.h"

#include "config/QRCodeKonfiguration.h"
#include "outside/Grafik.h"

#include <wx/artprov.h>
#include <wx/button.h>

CNewScannenButton::CNewScannenButton(CSubDlgDecode_Scanner_New& page) : CScanAuswahlButton("QRCode"), m_pPage(&page) {}

CSubDlgDecode_Scanner_New::CSubDlgDecode_Scanner_New(CSubDlgDecode& owner) : CSubDlgDecode_ScannerBase(owner), m_btnScannen(*this) {}

CSubDlgDecode_Scanner_New::~CSubDlgDecode_Scanner_New() { m_btnScannen.Detach(); }

void CSubDlgDecode_Scanner_New::DoDataExchange(CDataExchange* pDX) {
  CSubDlgDecode_ScannerBase::DoDataExchange(pDX);
  if (m_btnScannen.HasWindow()) return;
  wxButton* scan = ScanButton();
  if (scan) scan->SetBitmap(wxArtProvider::GetBitmapBundle("scanner-symbolic", wxART_BUTTON));
  m_btnScannen.Attach(scan, DropDownButton());
}

void CSubDlgDecode_Scanner_New::OnBnClickedFromScanner() {
  CStringArray files;
  if (!CallQRCodeScanBatch("QRCode", files, static_cast<int>(GetQRCodeKonfiguration().m_nScanDpi), this)) return;
  m_btnScannen.SetButton(); // another device may have stood in for a missing one
  DecodeScannedFiles(files);
}

void CSubDlgDecode_Scanner_New::AddVorschau(const CString& file, const CDecodeResultArray& results) {
  HGLOBAL dib = GetHDibFromFile(file);
  if (!dib) {
    m_Vorschau.LoadVorschauDatei(file, results);
    return;
  }
  auto* grafik = new CDIBGrafik;
  grafik->SetDib(dib);
  m_Vorschau.AddGrafik(grafik, results);
}
