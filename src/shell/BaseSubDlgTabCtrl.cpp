#include "shell/BaseSubDlgTabCtrl.h"

#include "outside/WxText.h"
#include "shell/BaseSubDlg.h"

#include <gtk/gtk.h>

CBaseSubDlgTabCtrl::~CBaseSubDlgTabCtrl() {
  ReleasePages();
  if (wxNotebook* notebook = m_notebook.get()) {
    notebook->Unbind(wxEVT_NOTEBOOK_PAGE_CHANGED, &CBaseSubDlgTabCtrl::OnPageChanged, this);
  }
}

bool CBaseSubDlgTabCtrl::Create(wxWindow* parent, const wxRect& rect, int firstId, int lastId) {
  if (HasWindow()) return false;
  for (int id = firstId; id <= lastId; ++id) {
    if (parent->FindWindow(id)) continue;
    m_notebook = new wxNotebook(parent, id, rect.GetPosition(), rect.GetSize(), wxNB_TOP);
    m_notebook->Bind(wxEVT_NOTEBOOK_PAGE_CHANGED, &CBaseSubDlgTabCtrl::OnPageChanged, this);
    UpdateTabStrip();
    return true;
  }
  return false;
}

void CBaseSubDlgTabCtrl::AddTab(CBaseSubDlg* page, const CString& label) {
  if (!HasWindow()) return;
  const bool first = m_notebook->GetPageCount() == 0;
  m_notebook->AddPage(page, ToWx(label), first);
  // The tooltip belongs to the tab's label: it shows over the tab only, not over the page.
  GtkWidget* tab = gtk_notebook_get_tab_label(GTK_NOTEBOOK(m_notebook->GetHandle()), page->GetHandle());
  if (tab) gtk_widget_set_tooltip_text(tab, page->m_strToolTip.GetString());
  UpdateTabStrip();
  // GTK adds the first page without a change event; it is the one that shows now.
  if (first) page->SetPageShown(true);
}

void CBaseSubDlgTabCtrl::ReleasePages() {
  if (wxNotebook* notebook = m_notebook.get())
    while (notebook->GetPageCount() > 0) notebook->RemovePage(notebook->GetPageCount() - 1);
}

int CBaseSubDlgTabCtrl::GetPageCount() const { return HasWindow() ? static_cast<int>(m_notebook->GetPageCount()) : 0; }

int CBaseSubDlgTabCtrl::GetSelection() const { return HasWindow() ? m_notebook->GetSelection() : -1; }

void CBaseSubDlgTabCtrl::SetSelection(int index) {
  if (HasWindow() && index >= 0 && index < GetPageCount()) m_notebook->SetSelection(static_cast<size_t>(index));
}

CString CBaseSubDlgTabCtrl::GetTabLabel(int index) const {
  return index >= 0 && index < GetPageCount() ? FromWx(m_notebook->GetPageText(static_cast<size_t>(index))) : CString();
}

void CBaseSubDlgTabCtrl::HideSingleTab(bool hide) {
  m_bHideSingleTab = hide;
  UpdateTabStrip();
}

void CBaseSubDlgTabCtrl::UpdateTabStrip() {
  if (!HasWindow()) return;
  // wxNotebook cannot hide its tabs; the GTK notebook underneath can.
  gtk_notebook_set_show_tabs(GTK_NOTEBOOK(m_notebook->GetHandle()), !(m_bHideSingleTab && GetPageCount() == 1));
}

bool CBaseSubDlgTabCtrl::PrepareForCloseDialog() {
  for (int i = 0; i < m_arSubDlg.GetSize(); ++i) {
    CBaseSubDlg* page = m_arSubDlg[i];
    if (page->NeedSetActiveTabPrepareForCloseDialog() && GetSelection() != i) SetSelection(i);
    if (!page->PrepareForCloseDialog()) return false;
  }
  return true;
}

void CBaseSubDlgTabCtrl::OnPageChanged(wxBookCtrlEvent& event) {
  event.Skip();
  if (event.GetEventObject() != m_notebook.get()) return; // a nested tab control's event bubbling up
  const int previous = event.GetOldSelection();
  const int current = event.GetSelection();
  if (previous >= 0 && previous < m_arSubDlg.GetSize()) m_arSubDlg[previous]->SetPageShown(false);
  if (current >= 0 && current < m_arSubDlg.GetSize()) m_arSubDlg[current]->SetPageShown(true);
  if (m_fnOnChangeActiveTab) m_fnOnChangeActiveTab(current);
}

