#include "shell/BaseSubDlgTabCtrl.h"

#include "outside/WxText.h"
#include "shell/BaseSubDlg.h"

#include <gtk/gtk.h>

CBaseSubDlgTabCtrl::~CBaseSubDlgTabCtrl() { ReleasePages(); }

bool CBaseSubDlgTabCtrl::Create(wxWindow* parent, const wxRect& rect, int firstId, int lastId) {
  for (int id = firstId; id <= lastId; ++id) {
    if (parent->FindWindow(id)) continue;
    if (!wxNotebook::Create(parent, id, rect.GetPosition(), rect.GetSize(), wxNB_TOP)) return false;
    Bind(wxEVT_NOTEBOOK_PAGE_CHANGED, &CBaseSubDlgTabCtrl::OnPageChanged, this);
    Bind(wxEVT_MOTION, &CBaseSubDlgTabCtrl::OnMouseMove, this);
    return true;
  }
  return false;
}

void CBaseSubDlgTabCtrl::AddTab(CBaseSubDlg* page, const CString& label) {
  const bool first = GetPageCount() == 0;
  AddPage(page, ToWx(label), first);
  UpdateTabStrip();
  // GTK adds the first page without a change event; it is the one that shows now.
  if (first) page->SetPageShown(true);
}

void CBaseSubDlgTabCtrl::ReleasePages() {
  if (!GetHandle()) return;
  while (GetPageCount() > 0) RemovePage(GetPageCount() - 1);
}

void CBaseSubDlgTabCtrl::HideSingleTab(bool hide) {
  m_bHideSingleTab = hide;
  UpdateTabStrip();
}

void CBaseSubDlgTabCtrl::UpdateTabStrip() {
  if (!GetHandle()) return;
  // wxNotebook cannot hide its tabs; the GTK notebook underneath can.
  gtk_notebook_set_show_tabs(GTK_NOTEBOOK(GetHandle()), !(m_bHideSingleTab && GetPageCount() == 1));
}

bool CBaseSubDlgTabCtrl::PrepareForCloseDialog() {
  for (int i = 0; i < m_arSubDlg.GetSize(); ++i) {
    CBaseSubDlg* page = m_arSubDlg[i];
    if (page->NeedSetActiveTabPrepareForCloseDialog() && GetSelection() != i) SetSelection(static_cast<size_t>(i));
    if (!page->PrepareForCloseDialog()) return false;
  }
  return true;
}

CString CBaseSubDlgTabCtrl::GetTabLabel(int index) const {
  return index >= 0 && index < static_cast<int>(GetPageCount()) ? FromWx(GetPageText(static_cast<size_t>(index))) : CString();
}

void CBaseSubDlgTabCtrl::OnPageChanged(wxBookCtrlEvent& event) {
  event.Skip();
  if (event.GetEventObject() != this) return; // a nested tab control's event bubbling up
  const int previous = event.GetOldSelection();
  const int current = event.GetSelection();
  if (previous >= 0 && previous < m_arSubDlg.GetSize()) m_arSubDlg[previous]->SetPageShown(false);
  if (current >= 0 && current < m_arSubDlg.GetSize()) m_arSubDlg[current]->SetPageShown(true);
  if (m_fnOnChangeActiveTab) m_fnOnChangeActiveTab(current);
}

// GTK's notebook has no tooltip per tab: the one of the tab under the pointer is set as it moves.
void CBaseSubDlgTabCtrl::OnMouseMove(wxMouseEvent& event) {
  event.Skip();
  const int tab = HitTest(event.GetPosition());
  if (tab == m_nToolTipTab) return;
  m_nToolTipTab = tab;
  if (tab >= 0 && tab < m_arSubDlg.GetSize()) SetToolTip(ToWx(m_arSubDlg[tab]->m_strToolTip));
  else UnsetToolTip();
}
