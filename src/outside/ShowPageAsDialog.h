// A page shown on its own as a modal dialog; the page's OnOK ends it. The page is lent, never
// owned: when the dialog goes, the page goes back to the window it came from (a page that had
// none is kept hidden until its owner deletes it).
#pragma once

#include "CString.h"
#include "CodewerkExport.h"
#include "DialogEx.h"

class CPageCtrl;

class CODEWERK_EXPORT CShowPageAsDialog : public CDialogEx {
public:
  // flags: reserved, 0 or 10 (a resizable dialog either way).
  CShowPageAsDialog(int flags, CPageCtrl& page, const CString& caption, const char* templateName, wxWindow* parent);
  ~CShowPageAsDialog() override;

  INT_PTR DoModal() override;

protected:
  CPageCtrl* m_pPage;
  CString m_strCaption;
  const char* m_pszPageTemplate;
  wxWindow* m_pPageParent; // where the page lived before; null when it had no window
};
