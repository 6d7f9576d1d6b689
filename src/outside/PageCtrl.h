// Pages: panels made from a dialog template (an XRC object of the same name), with the dialog
// habits the system's pages are written in: data exchange, initialisation, timers by number.
#pragma once

#include "CString.h"
#include "DataExchange.h"
#include "WinTypes.h"

#include <wx/panel.h>
#include <wx/timer.h>

#include <map>
#include <memory>

class CPageCtrl : public wxPanel {
public:
  CPageCtrl() = default;
  ~CPageCtrl() override;

  // Makes the page's window from the template as a child of parent, then runs OnInitDialog.
  bool Create(const char* templateName, wxWindow* parent);
  bool HasWindow() const { return GetHandle() != nullptr; }
  wxWindow* GetDlgItem(int id) const;

  virtual BOOL OnInitDialog();
  virtual void DoDataExchange(CDataExchange* pDX);
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
  // Ends the modal dialog that shows this page, with OK (after a successful exchange) or cancel.
  virtual void OnOK();
  virtual void OnCancel();

  // Whoever shows the page (a tab control, a dialog) tells it when it becomes visible or hidden;
  // OnShowWindow hears of each change.
  void SetPageShown(bool shown);
  bool IsPageShown() const { return m_bShown; }
  virtual void OnShowWindow(BOOL bShow, UINT nStatus);

  // Starts (or restarts) a timer by number; its ticks arrive in OnTimer. Returns the number.
  UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse);
  BOOL KillTimer(UINT_PTR nIDEvent);
  virtual void OnTimer(UINT_PTR nIDEvent);

private:
  void EndHostDialog(int result);

  bool m_bShown = false;
  std::map<UINT_PTR, std::unique_ptr<wxTimer>> m_timers;
};
