#include "outside/DataExchange.h"

#include "outside/MessageBox.h"
#include "outside/WxText.h"

#include <wx/textctrl.h>
#include <wx/window.h>

namespace {

wxTextEntry* TextEntry(CDataExchange* pDX, int id) {
  wxWindow* control = pDX->m_pDlgWnd ? pDX->m_pDlgWnd->FindWindow(id) : nullptr;
  return control ? dynamic_cast<wxTextEntry*>(control) : nullptr;
}

} // namespace

void DDX_Text(CDataExchange* pDX, int id, CString& value) {
  if (wxTextEntry* entry = TextEntry(pDX, id)) {
    if (pDX->m_bSaveAndValidate) value = FromWx(entry->GetValue());
    else entry->ChangeValue(ToWx(value)); // no change notification, as when a dialog starts
  }
}

void DDX_TextNotEmpty(CDataExchange* pDX, int id, CString& value) {
  DDX_Text(pDX, id, value);
  if (!pDX->m_bSaveAndValidate || !value.IsEmpty()) return;
  AfxMessageBox("Bitte geben Sie einen Text ein.", MB_OK | MB_ICONWARNING);
  if (wxWindow* control = pDX->m_pDlgWnd->FindWindow(id)) control->SetFocus();
  pDX->Fail();
}

void SafeShowWindow(wxWindow* parent, int id, bool show) {
  if (wxWindow* control = parent ? parent->FindWindow(id) : nullptr) control->Show(show);
}

void SafeEnableWindow(wxWindow* parent, int id, bool enable) {
  if (wxWindow* control = parent ? parent->FindWindow(id) : nullptr) control->Enable(enable);
}
