#include "decode/SubDlgDecode.h"

#include "config/QRCodeKonfiguration.h"
#include "decode/SubDlgDecode_ZBar.h"
#include "decode/SubDlgDecode_ZXING.h"

CSubDlgDecode::CSubDlgDecode()
    : CDecodeEncoderBaseDialog("IDD_SUBDLG_DECODE"), m_dlgBarCodeScanner(*this), m_dlgWebCam(*this), m_dlgScannerOld(*this), m_dlgDatei(*this) {
  m_wndTabCtrl.HideSingleTab(true);
}

CSubDlgDecode::~CSubDlgDecode() {
  // The source pages are members of this page; the tab control must not destroy them.
  m_wndTabCtrl.ReleasePages();
  FreeScannerNew();
  m_dlgBarCodeScanner.Remove_WinApp_PreTranslateMessage_Function();
}

void* CSubDlgDecode::DecodeImage(const char*, T_DecodeImageSource) { return nullptr; }
int CSubDlgDecode::GetDecodeResultCount(void*) { return 0; }
int CSubDlgDecode::GetDecodeResultName(void*, int, char*, int) { return 0; }
int CSubDlgDecode::GetDecodeResultSymbol(void*, int, char*, int) { return 0; }
int CSubDlgDecode::GetDecodeResultPointArray(void*, int, POINT*, int) { return 0; }
void CSubDlgDecode::FreeDecodeResult(void*) {}

bool CSubDlgDecode::GetDecodedImageText(const CString& fileName, CDecodeResultArray& results, T_DecodeImageSource source) {
  return GetDecodedImageTextFromResult(DecodeImage(fileName, source), results, true);
}

bool CSubDlgDecode::GetDecodedImageTextFromResult(void* handle, CDecodeResultArray& results, bool bFree) {
  if (!handle) return false;
  results.AddDecodeResult(*this, handle);
  if (bFree) FreeDecodeResult(handle);
  return true;
}

bool CSubDlgDecode::NeedSetActiveTabPrepareForCloseDialog() {
  for (CBaseSubDlg* page : m_wndTabCtrl.m_arSubDlg)
    if (page->NeedSetActiveTabPrepareForCloseDialog()) return true;
  return false;
}

void CSubDlgDecode::FreeScannerNew() {
  delete m_pDlgScannerNew;
  m_pDlgScannerNew = nullptr;
}

bool CSubDlgDecode::PrepareForCloseDialog() { return m_wndTabCtrl.PrepareForCloseDialog(); }

CSubDlgDecode* CreateCurrentDecoder() {
  const T_QRCodeKonfiguration_Decoder decoder = GetQRCodeKonfiguration().m_eDecoder;
  if (decoder == Decoder_ZXing || decoder == Decoder_ZXingZBar) return new CSubDlgDecode_ZXING();
  return new CSubDlgDecode_ZBar();
}
