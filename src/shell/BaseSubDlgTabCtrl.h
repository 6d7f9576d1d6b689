// The tab control of the main dialog and of the decode page: one page per tab, a tooltip per
// tab, and the close check that asks every page in turn.
#pragma once

#include "CodewerkExport.h"
#include "outside/CArray.h"
#include "outside/CString.h"
#include "outside/WinTypes.h"

#include <wx/notebook.h>

#include <functional>

class CBaseSubDlg;

class CODEWERK_EXPORT CBaseSubDlgTabCtrl : public wxNotebook {
public:
  CBaseSubDlgTabCtrl() = default;
  ~CBaseSubDlgTabCtrl() override;

  // Makes the window; the first free id from firstId on that no sibling uses. False when none is free.
  bool Create(wxWindow* parent, const wxRect& rect, int firstId = 1000, int lastId = 1999);
  // Adds the page's window as a tab (called by CBaseSubDlg::AddToTabCtrl).
  void AddTab(CBaseSubDlg* page, const CString& label);
  // Takes every page out of the control without destroying it (the pages belong to their owners).
  void ReleasePages();

  // With one tab only, its strip is not shown.
  void HideSingleTab(bool hide);
  // Asks every page, in tab order, whether the dialog may close; a page that wants to ask the
  // user is brought to the front first. False as soon as one page says no.
  bool PrepareForCloseDialog();
  CString GetTabLabel(int index) const;

  // Called after the user (or the program) made another tab the active one.
  std::function<void(int)> m_fnOnChangeActiveTab;

  CArray<CBaseSubDlg*, CBaseSubDlg*> m_arSubDlg;

private:
  void OnPageChanged(wxBookCtrlEvent& event);
  void OnMouseMove(wxMouseEvent& event);
  void UpdateTabStrip();

  bool m_bHideSingleTab = false;
  int m_nToolTipTab = -1;
};
