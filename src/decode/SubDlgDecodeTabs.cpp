// The decode page's source tabs: built when the page is first shown, the last one remembered.
#include "decode/SubDlgDecode.h"

#include "outside/MessageFilter.h"
#include "outside/ProgramSettings.h"
#include "shell/ModuleNames.h"

#include <wx/sizer.h>

namespace {

constexpr int kTabPlaceholder = 1005;

} // namespace

void CSubDlgDecode::OnShowWindow(BOOL bShow, UINT) {
  if (m_wndTabCtrl.HasWindow()) {
    // A hidden page hides its source too: the scanner's keyboard catch must not outlive it.
    const int active = m_wndTabCtrl.GetSelection();
    if (active >= 0 && active < m_wndTabCtrl.m_arSubDlg.GetSize()) m_wndTabCtrl.m_arSubDlg[active]->SetPageShown(bShow != FALSE);
    return;
  }
  if (!bShow) return;
  m_bInitTabs = true;
  CreateTabCtrl();
  AddSourceTabs();
  const int stored = CLokaleProgrammEinstellung::GetItem().Get(g_strSettingsGroup, g_strSettingsLastDecodePage, 0, true);
  if (stored >= 0 && stored < m_wndTabCtrl.GetPageCount()) m_wndTabCtrl.SetSelection(stored);
  PostMessageA(this, GetActivateDecodeMessage(), 0, 0);
  m_bInitTabs = false;
}

int CSubDlgDecode::CreateTabCtrl() {
  wxWindow* placeholder = GetDlgItem(kTabPlaceholder);
  if (!placeholder || !m_wndTabCtrl.Create(this, placeholder->GetRect())) return 0;
  if (wxSizer* sizer = placeholder->GetContainingSizer()) sizer->Replace(placeholder, m_wndTabCtrl.GetWindow());
  placeholder->Hide();
  m_wndTabCtrl.m_fnOnChangeActiveTab = [this](int index) { OnChangeActiveTab(static_cast<WPARAM>(index), 0); };
  Layout();
  return 1;
}

// In this order, so the webcam and scanner tabs take their places between them.
void CSubDlgDecode::AddSourceTabs() {
  if (m_bShow2DScanner) m_dlgBarCodeScanner.AddToTabCtrl(m_wndTabCtrl, "2D Scanner", "");
  if (m_bShowWebCam) m_dlgWebCam.AddToTabCtrl(m_wndTabCtrl, "WebCam", "");
  if (m_bShowDatei) m_dlgDatei.AddToTabCtrl(m_wndTabCtrl, "Datei", "");
}

LRESULT CSubDlgDecode::OnChangeActiveTab(WPARAM wParam, LPARAM) {
  if (!m_bInitTabs)
    CLokaleProgrammEinstellung::GetItem().Set(g_strSettingsGroup, g_strSettingsLastDecodePage, static_cast<int>(wParam));
  return 0;
}
