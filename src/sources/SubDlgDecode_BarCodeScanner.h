// The "2D Scanner" source: while it is shown, what a keyboard-like scanner types goes to the
// decode page before any control sees it.
#pragma once

#include "sources/SubDlgDecodeBaseSubDlg.h"

class CODEWERK_EXPORT CSubDlgDecode_BarCodeScanner : public CSubDlgDecodeBaseSubDlg {
public:
  explicit CSubDlgDecode_BarCodeScanner(CSubDlgDecode& owner);
  ~CSubDlgDecode_BarCodeScanner() override;

  void OnShowWindow(BOOL bShow, UINT nStatus) override;
  void Add_WinApp_PreTranslateMessage_Function();
  void Remove_WinApp_PreTranslateMessage_Function();

  bool m_bHookInstalled = false;
};
