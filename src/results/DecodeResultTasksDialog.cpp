#include "results/DecodeResultTasksDialog.h"

#include "outside/DesktopActions.h"
#include "outside/ReplacingFile.h"
#include "outside/TempFiles.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>

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

namespace {

void CopyToClipboard(const CString& text) {
  wxClipboardLocker open;
  if (!!open) wxTheClipboard->SetData(new wxTextDataObject(wxString::FromUTF8(text.GetString())));
}

// The event goes to a file of ours, which the desktop's calendar is given by its path.
void OpenInCalendar(const CString& event) {
  char folder[MAX_PATH], name[MAX_PATH];
  if (!GetTempPathA(MAX_PATH, folder) || !GetTempFileNameA(folder, "TQTermin", 0, name, ".ics")) return;
  const std::string calendar = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Codewerk//DE\r\n" + event.str() + "\r\nEND:VCALENDAR\r\n";
  ReplacingFile file(name);
  if (file.Write(calendar.data(), calendar.size()) && file.Commit()) OpenOwnFile(name);
}

} // namespace

void CDecodeResultTasksDialog::AddEntry(int group, const std::optional<ResultEntry>& entry) {
  if (!entry) return;
  if (entry->action == ResultAction_Copy) {
    GetTasksPane().AddTask_WithoutRebuild(group, entry->text, [text = entry->payload] { CopyToClipboard(text); }, entry->icon);
    return;
  }
  if (entry->action == ResultAction_Calendar) {
    GetTasksPane().AddTask_WithoutRebuild(group, entry->text, [event = entry->payload] { OpenInCalendar(event); }, entry->icon);
    return;
  }
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
