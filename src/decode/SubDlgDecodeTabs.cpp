// The decode page's source tabs: built when the page is first shown, the last one remembered.
#include "decode/SubDlgDecode.h"

#include "outside/MessageFilter.h"
#include "outside/ProgramSettings.h"
#include "outside/Scanning.h"
#include "outside/ShowPageAsDialog.h"
#include "outside/WxText.h"
#include "shell/ModuleNames.h"

#include <wx/sizer.h>

#include <iterator>

namespace {

constexpr int kTabPlaceholder = 1005;
// The remembered tab is the source's name; before there was one, its position among these.
constexpr const char* kLastDecodeSource = "LastDecodeSource";
constexpr const char* kAlteReihenfolge[] = {"2D Scanner", "WebCam", "Datei"};

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
  CaptionFromSingleTab();
  SelectRememberedTab();
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

void CSubDlgDecode::AddSourceTabs() {
  if (m_bShow2DScanner) m_dlgBarCodeScanner.AddToTabCtrl(m_wndTabCtrl, "2D Scanner", "");
  if (m_bShowWebCam) m_dlgWebCam.AddToTabCtrl(m_wndTabCtrl, "WebCam", "");
  if (m_bShowScanner) {
    if (UseOldScanProgram()) {
      m_dlgScannerOld.AddToTabCtrl(m_wndTabCtrl, "Scanner", "");
    } else {
      FreeScannerNew();
      m_pDlgScannerNew = new CSubDlgDecode_Scanner_New(*this);
      m_pDlgScannerNew->AddToTabCtrl(m_wndTabCtrl, "Scanner", "");
    }
  }
  if (m_bShowDatei) m_dlgDatei.AddToTabCtrl(m_wndTabCtrl, "Datei", "");
  if (m_bShowBildschirm) m_dlgBildschirm.AddToTabCtrl(m_wndTabCtrl, "Bildschirm", "Alle Codes auf dem Bildschirm lesen");
  if (m_bShowZwischenablage)
    m_dlgZwischenablage.AddToTabCtrl(m_wndTabCtrl, "Zwischenablage", "Ein Bild oder Bilddateien aus der Zwischenablage lesen");
}

// Shown on its own (the host read-in), a page with one source is captioned with its name.
void CSubDlgDecode::CaptionFromSingleTab() {
  if (m_wndTabCtrl.GetPageCount() != 1) return;
  if (auto* dialog = dynamic_cast<CShowPageAsDialog*>(GetParent())) dialog->SetTitle(ToWx(m_wndTabCtrl.GetTabLabel(0)));
}

// By the source's name, so new sources never shift the meaning of what was stored. A position
// stored before names were is read once, in the order the tabs had then.
void CSubDlgDecode::SelectRememberedTab() {
  CLokaleProgrammEinstellung& settings = CLokaleProgrammEinstellung::GetItem();
  CString name = settings.GetText(g_strSettingsGroup, kLastDecodeSource, "");
  if (name.IsEmpty()) {
    const int old = settings.Get(g_strSettingsGroup, g_strSettingsLastDecodePage, -1, true);
    if (old >= 0 && old < static_cast<int>(std::size(kAlteReihenfolge))) name = kAlteReihenfolge[old];
    if (!name.IsEmpty()) settings.SetText(g_strSettingsGroup, kLastDecodeSource, name);
  }
  for (int i = 0; i < m_wndTabCtrl.GetPageCount(); ++i)
    if (m_wndTabCtrl.GetTabLabel(i) == name) m_wndTabCtrl.SetSelection(i);
}

LRESULT CSubDlgDecode::OnChangeActiveTab(WPARAM wParam, LPARAM) {
  if (m_bInitTabs) return 0;
  const int index = static_cast<int>(wParam);
  CLokaleProgrammEinstellung& settings = CLokaleProgrammEinstellung::GetItem();
  settings.Set(g_strSettingsGroup, g_strSettingsLastDecodePage, index);
  if (index >= 0 && index < m_wndTabCtrl.GetPageCount()) settings.SetText(g_strSettingsGroup, kLastDecodeSource, m_wndTabCtrl.GetTabLabel(index));
  return 0;
}
