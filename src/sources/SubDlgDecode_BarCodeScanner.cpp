#include "sources/SubDlgDecode_BarCodeScanner.h"

#include "decode/SubDlgDecode.h"
#include "outside/MessageFilter.h"

CSubDlgDecode_BarCodeScanner::CSubDlgDecode_BarCodeScanner(CSubDlgDecode& owner)
    : CSubDlgDecodeBaseSubDlg("IDD_SUBDLG_DECODE_BARCODESCANNER", owner) {}

CSubDlgDecode_BarCodeScanner::~CSubDlgDecode_BarCodeScanner() { Remove_WinApp_PreTranslateMessage_Function(); }

void CSubDlgDecode_BarCodeScanner::OnShowWindow(BOOL bShow, UINT) {
  Remove_WinApp_PreTranslateMessage_Function();
  if (bShow) Add_WinApp_PreTranslateMessage_Function();
}

void CSubDlgDecode_BarCodeScanner::Add_WinApp_PreTranslateMessage_Function() {
  CSubDlgDecode* owner = m_pOwner;
  ::Add_WinApp_PreTranslateMessage_Function([owner](MSG* msg) { return owner->OnDirekteTastaturEingabe(msg); }, this);
  m_bHookInstalled = true;
}

void CSubDlgDecode_BarCodeScanner::Remove_WinApp_PreTranslateMessage_Function() {
  if (!m_bHookInstalled) return;
  ::Remove_WinApp_PreTranslateMessage_Function(this);
  m_bHookInstalled = false;
}
