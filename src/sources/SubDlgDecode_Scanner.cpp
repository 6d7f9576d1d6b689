#include "sources/SubDlgDecode_Scanner.h"

#include "decode/SubDlgDecode.h"
#include "outside/MessageBox.h"

#include <wx/button.h>
#include <wx/utils.h>
#include <wx/xrc/xmlres.h>

#include <cstdio>

namespace {

constexpr int kScan = 1008, kDropDown = 1010, kPreview = 4004;

} // namespace

CSubDlgDecode_ScannerBase::CSubDlgDecode_ScannerBase(CSubDlgDecode& owner)
    : CSubDlgDecodeBaseSubDlg("IDD_SUBDLG_DECODE_SCANNER", owner) {}

BOOL CSubDlgDecode_ScannerBase::OnInitDialog() {
  m_Vorschau.Create(this);
  wxXmlResource::Get()->AttachUnknownControl(wxString::Format("%d", kPreview), &m_Vorschau, this);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedFromScanner(); }, kScan);
  return CSubDlgDecodeBaseSubDlg::OnInitDialog();
}

wxButton* CSubDlgDecode_ScannerBase::ScanButton() const { return dynamic_cast<wxButton*>(FindWindow(kScan)); }

wxButton* CSubDlgDecode_ScannerBase::DropDownButton() const { return dynamic_cast<wxButton*>(FindWindow(kDropDown)); }

void CSubDlgDecode_ScannerBase::OnShowWindow(BOOL bShow, UINT nStatus) {
  CSubDlgDecodeBaseSubDlg::OnShowWindow(bShow, nStatus);
  if (!bShow) return;
  m_Vorschau.m_arGrafiken.Clear(0);
  m_Vorschau.Refresh();
}

void CSubDlgDecode_ScannerBase::AddVorschau(const CString& file, const CDecodeResultArray& results) {
  m_Vorschau.LoadVorschauDatei(file, results);
}

void CSubDlgDecode_ScannerBase::DecodeScannedFiles(CStringArray& files) {
  DecodePictureFiles(files, std::vector<bool>(static_cast<std::size_t>(files.GetSize()), true), T_DecodeImageSource_Scanner);
}

void CSubDlgDecode_ScannerBase::DecodePictureFiles(CStringArray& files, const std::vector<bool>& ours,
                                                   T_DecodeImageSource source) {
  CDecodeResultArray batch(1);
  bool found = false;
  {
    wxBusyCursor wait;
    m_Vorschau.m_arGrafiken.Clear(0);
    for (const CString& file : files) {
      CDecodeResultArray fileResults(1);
      void* handle = nullptr;
      try {
        handle = m_pOwner->DecodeImage(file, source);
        if (handle) fileResults.AddDecodeResult(*m_pOwner, handle);
        AddVorschau(file, fileResults);
      } catch (...) {
        if (handle) m_pOwner->FreeDecodeResult(handle);
        AfxMessageBox("Es ist beim Erkennen des QRcodes ein Fehler aufgetreten.", MB_OK);
        found = false;
        break;
      }
      if (handle) m_pOwner->FreeDecodeResult(handle);
      found |= handle != nullptr;
      for (CSubDlgDecodeResult* result : fileResults) batch.Add(result);
      fileResults.m_bOwnsItems = 0;
    }
    for (int i = 0; i < files.GetSize(); ++i)
      if (static_cast<std::size_t>(i) < ours.size() && ours[static_cast<std::size_t>(i)]) std::remove(files[i]);
    files.RemoveAll();
    m_Vorschau.Refresh();
  }
  if (found) m_pOwner->OnQRCodeDecoded(batch, m_Vorschau.m_arGrafiken);
  else m_pOwner->OnQRCodeNotFound(m_Vorschau.m_arGrafiken);
}
