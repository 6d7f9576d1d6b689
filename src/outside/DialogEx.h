// Top-level dialogs made from a dialog template, run modally. Every way of closing (buttons,
// Escape, the window manager) passes EndModalLoop, which may refuse.
#pragma once

#include "DataExchange.h"
#include "WinTypes.h"

#include <wx/dialog.h>

constexpr INT_PTR IDD_NONE = 0;

class CDialogEx : public wxDialog {
public:
  CDialogEx(const char* templateName, wxWindow* parent);
  ~CDialogEx() override;

  // Makes the window from the template if needed, initialises it and shows it modally. Returns
  // IDOK or IDCANCEL (or the code given to EndModalLoop).
  virtual INT_PTR DoModal();
  bool CreateFromTemplate();

  virtual BOOL OnInitDialog();
  virtual void DoDataExchange(CDataExchange* pDX);
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
  virtual void OnOK();
  virtual void OnCancel();
  // Ends the modal loop with result; overrides may decline and keep the dialog open.
  virtual void EndModalLoop(int result);
  void EndModal(int retCode) override;
  wxWindow* GetDlgItem(int id) const;

protected:
  const char* m_lpszTemplateName;
  wxWindow* m_pParentWnd;
};
