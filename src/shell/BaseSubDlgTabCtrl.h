// The tab control of the main dialog and of the decode page: one page per tab, a tooltip per
// tab, and the close check that asks every page in turn. The pages belong to their owners; the
// control only shows them.
#pragma once

#include "CodewerkExport.h"
#include "outside/CArray.h"
#include "outside/CString.h"
#include "outside/WinTypes.h"

#include <wx/notebook.h>
#include <wx/weakref.h>

#include <functional>

class CBaseSubDlg;

// Not a window itself: the GTK notebook is made by Create, as a child of its parent window, so an
// owner that never shows its pages (a decoder used without a dialog) makes no widget at all.
class CODEWERK_EXPORT CBaseSubDlgTabCtrl {
public:
  CBaseSubDlgTabCtrl() = default;
  ~CBaseSubDlgTabCtrl();
  CBaseSubDlgTabCtrl(const CBaseSubDlgTabCtrl&) = delete;
  CBaseSubDlgTabCtrl& operator=(const CBaseSubDlgTabCtrl&) = delete;

  // Makes the window; the first free id from firstId on that no sibling uses. False when none is free.
  bool Create(wxWindow* parent, const wxRect& rect, int firstId = 1000, int lastId = 1999);
  wxNotebook* GetWindow() const { return m_notebook.get(); }
  bool HasWindow() const { return m_notebook.get() != nullptr; }

  // Adds the page's window as a tab (called by CBaseSubDlg::AddToTabCtrl).
  void AddTab(CBaseSubDlg* page, const CString& label);
  // Takes every page out of the control without destroying it (the pages belong to their owners).
  void ReleasePages();

  int GetPageCount() const;
  int GetSelection() const;
  void SetSelection(int index);
  CString GetTabLabel(int index) const;

  // With one tab only, its strip is not shown.
  void HideSingleTab(bool hide);
  // Asks every page, in tab order, whether the dialog may close; a page that wants to ask the
  // user is brought to the front first. False as soon as one page says no.
  bool PrepareForCloseDialog();

  // Called after the user (or the program) made another tab the active one.
  std::function<void(int)> m_fnOnChangeActiveTab;

  CArray<CBaseSubDlg*, CBaseSubDlg*> m_arSubDlg;

private:
  void OnPageChanged(wxBookCtrlEvent& event);
  void UpdateTabStrip();

  wxWeakRef<wxNotebook> m_notebook;
  bool m_bHideSingleTab = false;
};
