// The "Verlauf" page: the reads kept in the history, newest first, with search, copying a text,
// deleting one or all, and export as CSV.
#pragma once

#include "CodewerkExport.h"
#include "results/Verlauf.h"
#include "shell/BaseSubDlg.h"

#include <vector>

class wxListCtrl;

class CODEWERK_EXPORT CSubDlgVerlauf : public CBaseSubDlg {
public:
  CSubDlgVerlauf() : CBaseSubDlg("IDD_SUBDLG_VERLAUF") {}

  BOOL OnInitDialog() override;
  void OnShowWindow(BOOL bShow, UINT nStatus) override;

  // Shows the entries the search field finds.
  void Fill();
  void OnCopyText();
  void OnRemove();
  void OnClear();
  void OnExport();

  std::vector<VerlaufEintrag> m_arShown;

private:
  wxListCtrl* List() const;
  int Selected() const;
};
