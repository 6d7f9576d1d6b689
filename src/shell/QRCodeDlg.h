// The main dialog "TQ QR Code": one tab control with the pages the settings choose.
#pragma once

#include "CodewerkExport.h"
#include "config/SubDlgKonfiguration.h"
#include "decode/SubDlgDecode_ZBar.h"
#include "decode/SubDlgDecode_ZXING.h"
#include "encode/SubDlgEncode.h"
#include "results/SubDlgVerlauf.h"
#include "outside/DialogEx.h"
#include "shell/BaseSubDlgTabCtrl.h"

// "IDD_QRCODEEXE_DIALOG", the main dialog's template.
CODEWERK_EXPORT extern const CString CQRCodeDlg_IDD;

class CODEWERK_EXPORT CQRCodeDlg : public CDialogEx {
public:
  explicit CQRCodeDlg(wxWindow* pParent = nullptr);
  ~CQRCodeDlg() override;

  BOOL OnInitDialog() override;
  // Asks every page whether the dialog may close.
  bool PrepareForCloseDialog();
  void EndModalLoop(int nResult) override;

  CBaseSubDlgTabCtrl& GetTabCtrl() { return m_wndTabCtrl; }

protected:
  int CreateCtrl();
  void AddSubDialoge();

  CBaseSubDlgTabCtrl m_wndTabCtrl;
  CSubDlgEncode_QREncode m_dlgEncodeQREncode;
  CSubDlgEncode_ZInt m_dlgEncodeZInt;
  CSubDlgDecode_ZBar m_dlgDecodeZBar;
  CSubDlgDecode_ZXING m_dlgDecodeZXing;
  CSubDlgKonfiguration m_dlgKonfiguration;
  CSubDlgVerlauf m_dlgVerlauf;
};
