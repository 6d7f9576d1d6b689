#include "sources/SubDlgDecode_Scanner_Old.h"

#include "config/QRCodeKonfiguration.h"
#include "outside/TempFiles.h"

#include <wx/button.h>
#include <wx/utils.h>

#include <cstdio>

CSubDlgDecode_Scanner_Old_TwainImport::CSubDlgDecode_Scanner_Old_TwainImport(CSubDlgDecode_Scanner_Old& page)
    : CTwainImport("QRCode", 0, nullptr), m_pPage(&page) {
  m_strFormat1 = m_strFormat2 = "BMP";
}

int CSubDlgDecode_Scanner_Old_TwainImport::GetScanDPI() { return static_cast<int>(GetQRCodeKonfiguration().m_nScanDpi); }

CString CSubDlgDecode_Scanner_Old_TwainImport::GetScanDateiName() { return m_pPage->m_szTempDatei; }

void CSubDlgDecode_Scanner_Old_TwainImport::OnScanBeendet() { m_pPage->OnScanBeendet(*this); }

CSubDlgDecode_Scanner_Old_TwainImport_Helper::CSubDlgDecode_Scanner_Old_TwainImport_Helper(CSubDlgDecode_Scanner_Old& page)
    : m_pPage(&page), m_import(page), m_button(m_import) {}

CSubDlgDecode_Scanner_Old_TwainImport_Helper::~CSubDlgDecode_Scanner_Old_TwainImport_Helper() {
  // The import is a member, deleted with the holder, never by wx: it goes before the page does.
  m_button.Detach();
}

CSubDlgDecode_Scanner_Old::CSubDlgDecode_Scanner_Old(CSubDlgDecode& owner) : CSubDlgDecode_ScannerBase(owner) {
  char folder[MAX_PATH] = {};
  if (GetTempPathA(MAX_PATH, folder)) GetTempFileNameA(folder, "TQScanner", 0, m_szTempDatei, ".bmp");
}

CSubDlgDecode_Scanner_Old::~CSubDlgDecode_Scanner_Old() {
  m_pTwain.reset();
  m_Vorschau.m_arGrafiken.Clear(0);
  if (*m_szTempDatei) std::remove(m_szTempDatei); // the reserved name goes with the page
}

void CSubDlgDecode_Scanner_Old::OnShowWindow(BOOL bShow, UINT nStatus) {
  CSubDlgDecode_ScannerBase::OnShowWindow(bShow, nStatus);
  std::unique_ptr<CSubDlgDecode_Scanner_Old_TwainImport_Helper> holder;
  if (bShow) {
    wxBusyCursor wait;
    holder = std::make_unique<CSubDlgDecode_Scanner_Old_TwainImport_Helper>(*this);
    holder->m_import.CreateImport(this);
    holder->m_button.Attach(ScanButton(), DropDownButton());
    holder->m_button.InitScanButton();
    holder->m_button.SetButton();
  }
  // Each visit gets a fresh import: nothing of the last one carries over.
  std::swap(holder, m_pTwain);
}

void CSubDlgDecode_Scanner_Old::OnBnClickedFromScanner() {
  if (!m_pTwain) return;
  m_pTwain->m_import.OnPressedScannenButton(m_pTwain->m_button.GetAuswahl());
  if (!m_pTwain) return; // a host's handler may have closed the page meanwhile
  m_pTwain->m_import.Sichern();
  m_pTwain->m_button.SetButton();
}

void CSubDlgDecode_Scanner_Old::OnScanBeendet(CTwainImport& import) {
  if (!import.SaveFilesOnOK() || import.GetGespeicherteDateien().IsEmpty()) return;
  CStringArray files = import.GetGespeicherteDateien();
  import.GetGespeicherteDateien().RemoveAll();
  import.ClearAll();
  DecodeScannedFiles(files);
}
