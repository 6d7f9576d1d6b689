#include "shell/BaseSubDlg.h"

#include "outside/WxText.h"
#include "shell/BaseSubDlgTabCtrl.h"

bool CBaseSubDlg::AddToTabCtrl(CBaseSubDlgTabCtrl& tabCtrl, const CString& label, const CString& toolTip) {
  m_strToolTip = toolTip.IsEmpty() ? label : toolTip;
  if (!tabCtrl.HasWindow() || !Create(m_lpszTemplate, tabCtrl.GetWindow())) return false;
  tabCtrl.m_arSubDlg.Add(this);
  tabCtrl.AddTab(this, label);
  return true;
}

bool CBaseSubDlg::NeedSetActiveTabPrepareForCloseDialog() { return false; }

bool CBaseSubDlg::PrepareForCloseDialog() { return true; }
