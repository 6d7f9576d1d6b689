#include "outside/PageCtrl.h"

#include "outside/Resources.h"

#include <wx/dialog.h>
#include <wx/xrc/xmlres.h>

CPageCtrl::~CPageCtrl() {
  for (auto& [id, timer] : m_timers) timer->Stop();
}

bool CPageCtrl::Create(const char* templateName, wxWindow* parent) {
  EnsureResourcesLoaded();
  if (HasWindow() || !wxXmlResource::Get()->LoadPanel(this, parent, templateName)) return false;
  OnInitDialog();
  return true;
}

wxWindow* CPageCtrl::GetDlgItem(int id) const { return HasWindow() ? FindWindow(id) : nullptr; }

BOOL CPageCtrl::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CPageCtrl::DoDataExchange(CDataExchange*) {}

BOOL CPageCtrl::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange exchange(this, bSaveAndValidate != FALSE);
  DoDataExchange(&exchange);
  return exchange.Failed() ? FALSE : TRUE;
}

void CPageCtrl::EndHostDialog(int result) {
  auto* dialog = dynamic_cast<wxDialog*>(wxGetTopLevelParent(this));
  if (dialog && dialog->IsModal()) dialog->EndModal(result);
}

void CPageCtrl::OnOK() {
  if (UpdateData(TRUE)) EndHostDialog(wxID_OK);
}

void CPageCtrl::OnCancel() { EndHostDialog(wxID_CANCEL); }

void CPageCtrl::SetPageShown(bool shown) {
  if (shown == m_bShown) return;
  m_bShown = shown;
  OnShowWindow(shown ? TRUE : FALSE, 0);
}

void CPageCtrl::OnShowWindow(BOOL, UINT) {}

UINT_PTR CPageCtrl::SetTimer(UINT_PTR nIDEvent, UINT nElapse) {
  auto& timer = m_timers[nIDEvent];
  if (!timer) {
    timer = std::make_unique<wxTimer>(this, static_cast<int>(nIDEvent));
    Bind(wxEVT_TIMER, [this, nIDEvent](wxTimerEvent&) { OnTimer(nIDEvent); }, static_cast<int>(nIDEvent));
  }
  timer->Start(static_cast<int>(nElapse));
  return nIDEvent;
}

BOOL CPageCtrl::KillTimer(UINT_PTR nIDEvent) {
  const auto it = m_timers.find(nIDEvent);
  if (it == m_timers.end() || !it->second->IsRunning()) return FALSE;
  it->second->Stop();
  return TRUE;
}

void CPageCtrl::OnTimer(UINT_PTR) {}
