#include "results/DecodeResultTasksDialog.h"

#include "outside/DesktopActions.h"
#include "outside/TextServices.h"
#include "results/ResultLinks.h"

namespace {

CString Entry(const CString& label, const CString& value) { return label + ": " + value; }

} // namespace

CDecodeResultTasksDialog::CDecodeResultTasksDialog(const CDecodeResultArray& results, wxWindow* pParent)
    : CActionTasksPaneBasisDialogMitCommonTasksIconsImageList("Ergebnis", pParent), m_results(results) {
  SetFesteAufloesung(320, 240, true);
}

int CDecodeResultTasksDialog::AddGroup(const CString& caption) { return GetTasksPane().AddGroup(0, caption); }

void CDecodeResultTasksDialog::AddActionsToTasksPane() {
  m_results.ForEach([this](CSubDlgDecodeResult* result) { AddResult(*result); });
}

void CDecodeResultTasksDialog::AddResult(const CSubDlgDecodeResult& result) {
  CStringArray lines;
  BreakLine(SetNewLineText(result.m_strText, "\n"), lines, "\n");
  CVCardReader reader;
  if (IsVCard(lines, reader)) {
    CBaseKunde kunde;
    reader.GetAsKunde(kunde);
    CBasisKundeDatenbankEintrag record;
    record.InitEintrag(kunde);
    AddKundenAdresse("VCard " + result.m_strSymbol, &record);
    AddKundenKommunikation(&record);
    return;
  }
  const int group = AddGroup(result.m_strSymbol);
  for (const CString& line : lines) {
    CString label, address;
    if (GetLinkForLine(line, result.m_strSymbol, label, address))
      GetTasksPane().AddTask_WithoutRebuild(group, label, [address] { OpenLink(address); }, TaskIcon_Internet);
    else
      GetTasksPane().AddTask(group, line, TaskIcon_None, 0);
  }
}

void CDecodeResultTasksDialog::AddTelefon_Normal(int group, const CString& label, const CString& number,
                                                 const CString& context) {
  if (number.IsEmpty()) return;
  GetTasksPane().AddTask_WithoutRebuild(group, Entry(label, number), [number, context] { TelefonnummerAnrufen(number, context); },
                                        TaskIcon_Telefon);
}

void CDecodeResultTasksDialog::AddTelefon_Mobil(int group, const CString& label, const CString& number,
                                                const CString& context) {
  if (number.IsEmpty()) return;
  GetTasksPane().AddTask_WithoutRebuild(group, Entry(label, number), [number, context] { TelefonnummerAnrufen(number, context); },
                                        TaskIcon_Mobil);
}

void CDecodeResultTasksDialog::AddFax(int group, const CString& label, const CString& number) {
  if (!number.IsEmpty()) GetTasksPane().AddTask(group, Entry(label, number), TaskIcon_Fax, 0);
}

void CDecodeResultTasksDialog::AddEMail(int group, const CString& label, const CString& address) {
  if (address.IsEmpty()) return;
  GetTasksPane().AddTask_WithoutRebuild(group, Entry(label, address), [address] { SendMail(address); }, TaskIcon_EMail);
}

void CDecodeResultTasksDialog::AddInternet(int group, const CString& label, CString address) {
  if (address.IsEmpty()) return;
  GetTasksPane().AddTask_WithoutRebuild(group, Entry(label, address), [address] { GoToInternet(address); },
                                        TaskIcon_Internet);
}

void CDecodeResultTasksDialog::AddKundenAdresse(const CString& caption, const CKundeAlsAnschrift& address) {
  if (address.GetSize() == 0) return;
  const int group = AddGroup(caption);
  for (int i = 0; i < address.GetSize(); ++i) GetTasksPane().AddTask(group, address.GetAt(i), TaskIcon_None, 0);
}

void CDecodeResultTasksDialog::AddKundenAdresse(const CString& caption, const CBasisKundeDatenbankEintrag* record) {
  AddKundenAdresse(caption, CKundeAlsAnschrift(record, 0));
}

void CDecodeResultTasksDialog::AddKundenKommunikation(const CBasisKundeDatenbankEintrag* record) {
  const int group = AddGroup("Kommunikation");
  const CString& context = record->GetWaehlKontext();
  AddTelefon_Normal(group, "Tel1", record->m_strTel1, context);
  AddTelefon_Normal(group, "Tel2", record->m_strTel2, context);
  AddFax(group, "Fax", record->m_strFax);
  AddTelefon_Mobil(group, "Mobil", record->m_strMobil, context);
  AddTelefon_Normal(group, "privat", record->m_strPrivat, context);
  AddTelefon_Normal(group, "Sonstiges", record->m_strSonstiges, context);
  AddEMail(group, "EMail", record->m_strEMail);
  AddInternet(group, "Internet", record->m_strInternet);
}
