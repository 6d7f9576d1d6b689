// Moving values between a window's controls (found by their numbers) and fields.
#pragma once

#include "CString.h"
#include "WinTypes.h"

class wxWindow;

// One round of exchange; Fail() makes UpdateData report FALSE.
class CDataExchange {
public:
  CDataExchange(wxWindow* window, bool saveAndValidate) : m_pDlgWnd(window), m_bSaveAndValidate(saveAndValidate) {}
  void Fail() { m_bFailed = true; }
  bool Failed() const { return m_bFailed; }

  wxWindow* m_pDlgWnd;
  bool m_bSaveAndValidate;

private:
  bool m_bFailed = false;
};

void DDX_Text(CDataExchange* pDX, int id, CString& value);
// Like DDX_Text, but saving an empty text fails with a message and puts the focus into the field.
void DDX_TextNotEmpty(CDataExchange* pDX, int id, CString& value);
void SafeShowWindow(wxWindow* parent, int id, bool show);
void SafeEnableWindow(wxWindow* parent, int id, bool enable);
