#include "outside/DialogEx.h"

#include "outside/MessageBox.h"
#include "outside/Resources.h"

#include <wx/xrc/xmlres.h>

CDialogEx::CDialogEx(const char* templateName, wxWindow* parent)
    : m_lpszTemplateName(templateName), m_pParentWnd(parent) {}

CDialogEx::~CDialogEx() = default;

bool CDialogEx::CreateFromTemplate() {
  if (GetHandle()) return true;
  EnsureResourcesLoaded();
  if (!wxXmlResource::Get()->LoadDialog(this, m_pParentWnd, m_lpszTemplateName)) return false;
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnOK(); }, wxID_OK);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnCancel(); }, wxID_CANCEL);
  return true;
}

INT_PTR CDialogEx::DoModal() {
  if (!CreateFromTemplate()) return IDCANCEL;
  if (!OnInitDialog()) return IDCANCEL;
  const int result = ShowModal();
  return result == wxID_OK ? IDOK : result == wxID_CANCEL ? IDCANCEL : result;
}

BOOL CDialogEx::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialogEx::DoDataExchange(CDataExchange*) {}

BOOL CDialogEx::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange exchange(this, bSaveAndValidate != FALSE);
  DoDataExchange(&exchange);
  return exchange.Failed() ? FALSE : TRUE;
}

void CDialogEx::OnOK() {
  if (UpdateData(TRUE)) EndModal(wxID_OK);
}

void CDialogEx::OnCancel() { EndModal(wxID_CANCEL); }

void CDialogEx::EndModalLoop(int result) {
  if (IsModal()) wxDialog::EndModal(result);
}

void CDialogEx::EndModal(int retCode) { EndModalLoop(retCode); }

wxWindow* CDialogEx::GetDlgItem(int id) const { return GetHandle() ? FindWindow(id) : nullptr; }
