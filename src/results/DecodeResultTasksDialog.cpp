#include "results/DecodeResultTasksDialog.h"

#include "outside/DesktopActions.h"

CDecodeResultTasksDialog::CDecodeResultTasksDialog(const CDecodeResultArray& results, wxWindow* pParent)
    : CActionTasksPaneBasisDialogMitCommonTasksIconsImageList("Ergebnis", pParent), m_results(results) {
  SetFesteAufloesung(320, 240, true);
}

void CDecodeResultTasksDialog::AddActionsToTasksPane() {
  m_results.ForEach([this](CSubDlgDecodeResult* result) {
    AddGroups(ClassifyDecodeResult(result->m_strText, result->m_strSymbol));
  });
}

void CDecodeResultTasksDialog::AddGroups(const std::vector<ResultGroup>& groups) {
  for (const ResultGroup& group : groups) {
    const int index = GetTasksPane().AddGroup(0, group.caption);
    GetTasksPane().SetGroupCopyText(index, group.wholeText);
    for (const ResultEntry& entry : group.entries) AddEntry(index, entry);
  }
}

void CDecodeResultTasksDialog::AddEntry(int group, const std::optional<ResultEntry>& entry) {
  if (!entry) return;
  if (entry->address.IsEmpty()) {
    GetTasksPane().AddTask(group, entry->text, entry->icon, 0);
    return;
  }
  GetTasksPane().AddTask_WithoutRebuild(group, entry->text, [address = entry->address] { OpenAddress(address); },
                                        entry->icon);
}

void CDecodeResultTasksDialog::AddTelefon_Normal(int group, const CString& label, const CString& number,
                                                 const CString& context) {
  AddEntry(group, TelephoneEntry(label, number, context, TaskIcon_Telefon));
}

void CDecodeResultTasksDialog::AddTelefon_Mobil(int group, const CString& label, const CString& number,
                                                const CString& context) {
  AddEntry(group, TelephoneEntry(label, number, context, TaskIcon_Mobil));
}

void CDecodeResultTasksDialog::AddFax(int group, const CString& label, const CString& number) {
  AddEntry(group, FaxEntry(label, number));
}

void CDecodeResultTasksDialog::AddEMail(int group, const CString& label, const CString& address) {
  AddEntry(group, MailEntry(label, address));
}

void CDecodeResultTasksDialog::AddInternet(int group, const CString& label, CString address) {
  AddEntry(group, WebEntry(label, address));
}

void CDecodeResultTasksDialog::AddKundenAdresse(const CString& caption, const CKundeAlsAnschrift& address) {
  if (const auto group = AddressGroup(caption, address)) AddGroups({*group});
}

void CDecodeResultTasksDialog::AddKundenAdresse(const CString& caption, const CBasisKundeDatenbankEintrag* record) {
  AddKundenAdresse(caption, CKundeAlsAnschrift(record, 0));
}

void CDecodeResultTasksDialog::AddKundenKommunikation(const CBasisKundeDatenbankEintrag* record) {
  AddGroups({CommunicationGroup(*record)});
}
