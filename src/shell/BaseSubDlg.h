// The base of every tab page: its template, its tab's tooltip, and the close checks.
#pragma once

#include "CodewerkExport.h"
#include "outside/CString.h"
#include "outside/PageCtrl.h"

class CBaseSubDlgTabCtrl;

class CODEWERK_EXPORT CBaseSubDlg : public CPageCtrl {
public:
  explicit CBaseSubDlg(const char* lpszTemplate = nullptr) : m_lpszTemplate(lpszTemplate) {}

  // Makes the page's window in the tab control and adds it as a tab; an empty tooltip means the label.
  bool AddToTabCtrl(CBaseSubDlgTabCtrl& tabCtrl, const CString& label, const CString& toolTip);

  // True: bring this page's tab to the front before asking it to prepare for closing.
  virtual bool NeedSetActiveTabPrepareForCloseDialog();
  // False vetoes the closing of the dialog.
  virtual bool PrepareForCloseDialog();

  const char* m_lpszTemplate;
  CString m_strToolTip;
};

// The common base of the top-level pages: encode, decode and settings.
class CODEWERK_EXPORT CDecodeEncoderBaseDialog : public CBaseSubDlg {
public:
  using CBaseSubDlg::CBaseSubDlg;
};
