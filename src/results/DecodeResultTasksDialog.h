// The "Ergebnis" dialog: each decoded text as entries that act on it.
#pragma once

#include "CodewerkExport.h"
#include "decode/DecodeResultArray.h"
#include "outside/TasksPane.h"
#include "outside/VCard.h"
#include "results/ResultClassification.h"

class CODEWERK_EXPORT CDecodeResultTasksDialog : public CActionTasksPaneBasisDialogMitCommonTasksIconsImageList {
public:
  CDecodeResultTasksDialog(const CDecodeResultArray& results, wxWindow* pParent);

  void AddActionsToTasksPane() override;

  void AddTelefon_Normal(int group, const CString& label, const CString& number, const CString& context);
  void AddTelefon_Mobil(int group, const CString& label, const CString& number, const CString& context);
  void AddFax(int group, const CString& label, const CString& number);
  void AddEMail(int group, const CString& label, const CString& address);
  void AddInternet(int group, const CString& label, CString address);
  void AddKundenAdresse(const CString& caption, const CKundeAlsAnschrift& address);
  void AddKundenAdresse(const CString& caption, const CBasisKundeDatenbankEintrag* record);
  void AddKundenKommunikation(const CBasisKundeDatenbankEintrag* record);

private:
  void AddGroups(const std::vector<ResultGroup>& groups);
  void AddEntry(int group, const std::optional<ResultEntry>& entry);

  const CDecodeResultArray& m_results;
};
