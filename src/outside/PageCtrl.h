// Pages: panels made from a dialog template (an XRC object of the same name), with the dialog
// habits the system's pages are written in: data exchange, initialisation, timers by number.
#pragma once

#include "CString.h"
#include "WinTypes.h"

#include <wx/panel.h>
#include <wx/timer.h>

#include <map>
#include <memory>

class CPageCtrl;

// One round of moving values between a page's controls and its fields.
class CDataExchange {
public:
  CDataExchange(CPageCtrl* page, bool saveAndValidate) : m_pDlgWnd(page), m_bSaveAndValidate(saveAndValidate) {}
  // Marks the exchange as failed; UpdateData then returns FALSE.
  void Fail() { m_bFailed = true; }
  bool Failed() const { return m_bFailed; }

  CPageCtrl* m_pDlgWnd;
  bool m_bSaveAndValidate;

private:
  bool m_bFailed = false;
};

class CPageCtrl : public wxPanel {
public:
  CPageCtrl() = default;
  ~CPageCtrl() override;

  // Makes the page's window from the template as a child of parent, then runs OnInitDialog.
  bool Create(const char* templateName, wxWindow* parent);
  // Whether the page's window exists.
  bool HasWindow() const { return GetHandle() != nullptr; }
  wxWindow* GetDlgItem(int id) const;

  virtual BOOL OnInitDialog();
  virtual void DoDataExchange(CDataExchange* pDX);
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
  // Ends the modal dialog that shows this page, with OK or cancel.
  virtual void OnOK();
  virtual void OnCancel();

  // Called when the page's window is shown or hidden (tab changes, dialog showing).
  virtual void OnShowWindow(BOOL bShow, UINT nStatus);
  // Starts (or restarts) a timer by number; its ticks arrive in OnTimer. Returns the number.
  UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse);
  BOOL KillTimer(UINT_PTR nIDEvent);
  virtual void OnTimer(UINT_PTR nIDEvent);

private:
  void EndHostDialog(int result);

  std::map<UINT_PTR, std::unique_ptr<wxTimer>> m_timers;
};
