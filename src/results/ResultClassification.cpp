#include "results/ResultClassification.h"

#include "outside/DesktopActions.h"
#include "outside/TextServices.h"
#include "outside/VCard.h"
#include "results/ResultLinks.h"
#include "results/TypedResults.h"

namespace {

int IconFor(const CString& address) {
  if (address.Left(7) == "mailto:") return TaskIcon_EMail;
  if (address.Left(4) == "tel:") return TaskIcon_Telefon;
  return TaskIcon_Internet;
}

// The shown text, with the ASCII form of a host beside it when the text spells it in other
// letters: a host and its look-alike in Cyrillic letters must not look the same.
CString WithPunycodeHosts(const CString& text, const CString& address) {
  const CString hosts = PunycodeHostsOf(address);
  return hosts.IsEmpty() || text.Find(hosts) >= 0 ? text : text + " (" + hosts + ")";
}

std::optional<ResultEntry> Entry(const CString& label, const CString& value, const CString& address, int icon) {
  if (value.IsEmpty()) return std::nullopt;
  const CString text = label + ": " + value;
  if (address.IsEmpty()) return ResultEntry{text, icon, {}};
  return ResultEntry{WithPunycodeHosts(text, address), icon, address};
}

void Add(ResultGroup& group, const std::optional<ResultEntry>& entry) {
  if (entry) group.entries.push_back(*entry);
}

} // namespace

std::optional<ResultEntry> TelephoneEntry(const CString& label, const CString& number, const CString& context,
                                          int icon) {
  return Entry(label, number, TelephoneAddressFor(number, context), icon);
}

std::optional<ResultEntry> FaxEntry(const CString& label, const CString& number) {
  return Entry(label, number, CString(), TaskIcon_Fax);
}

std::optional<ResultEntry> MailEntry(const CString& label, const CString& address) {
  return Entry(label, address, MailAddressFor(address), TaskIcon_EMail);
}

std::optional<ResultEntry> WebEntry(const CString& label, const CString& address) {
  return Entry(label, address, WebAddressFor(address), TaskIcon_Internet);
}

ResultEntry LineEntry(const CString& line, const CString& symbol) {
  CString label, address;
  if (!GetLinkForLine(line, symbol, label, address)) return {line, TaskIcon_None, {}};
  return {IsBookNumber(line, symbol) ? label : WithPunycodeHosts(label, address), IconFor(address), address};
}

std::optional<ResultGroup> AddressGroup(const CString& caption, const CKundeAlsAnschrift& address) {
  if (address.GetSize() == 0) return std::nullopt;
  ResultGroup group{caption, {}, {}};
  for (int i = 0; i < address.GetSize(); ++i) group.entries.push_back({address.GetAt(i), TaskIcon_None, {}});
  return group;
}

ResultGroup CommunicationGroup(const CBasisKundeDatenbankEintrag& record) {
  ResultGroup group{"Kommunikation", {}, {}};
  const CString& context = record.GetWaehlKontext();
  Add(group, TelephoneEntry("Tel1", record.m_strTel1, context, TaskIcon_Telefon));
  Add(group, TelephoneEntry("Tel2", record.m_strTel2, context, TaskIcon_Telefon));
  Add(group, FaxEntry("Fax", record.m_strFax));
  Add(group, TelephoneEntry("Mobil", record.m_strMobil, context, TaskIcon_Mobil));
  Add(group, TelephoneEntry("privat", record.m_strPrivat, context, TaskIcon_Telefon));
  Add(group, TelephoneEntry("Sonstiges", record.m_strSonstiges, context, TaskIcon_Telefon));
  Add(group, MailEntry("EMail", record.m_strEMail));
  Add(group, WebEntry("Internet", record.m_strInternet));
  return group;
}

std::vector<ResultGroup> ClassifyDecodeResult(const CString& text, const CString& symbol) {
  CStringArray lines;
  BreakLine(SetNewLineText(text, "\n"), lines, "\n");
  std::vector<ResultGroup> groups;
  CVCardReader reader;
  if (std::optional<std::vector<ResultGroup>> typed = ClassifyTypedText(text, symbol)) {
    groups = std::move(*typed);
  } else if (IsVCard(lines, reader)) {
    CBaseKunde kunde;
    reader.GetAsKunde(kunde);
    CBasisKundeDatenbankEintrag record;
    record.InitEintrag(kunde);
    if (auto address = AddressGroup("VCard " + symbol, CKundeAlsAnschrift(&record, 0))) groups.push_back(*address);
    groups.push_back(CommunicationGroup(record));
  } else {
    groups.push_back({symbol, {}, {}});
    for (const CString& line : lines) groups.back().entries.push_back(LineEntry(line, symbol));
  }
  groups.front().wholeText = text;
  return groups;
}
