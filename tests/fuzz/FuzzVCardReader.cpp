// libFuzzer target: any bytes as a decoded symbol's text, read the way the result dialog reads it:
// contact, communication record, address lines. All of it must be UTF-8, and the vCard the entry
// dialog writes of the contact must read back as the same contact.
#include "outside/CodePage.h"
#include "outside/TextServices.h"
#include "outside/VCard.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

bool Utf8(const CString& text) { return IsValidUTF8(text.GetString(), static_cast<size_t>(text.GetLength())); }

bool IsVCardText(const CString& text, CBaseKunde& kunde) {
  CStringArray lines;
  BreakLine(SetNewLineText(text, "\n"), lines, "\n");
  CVCardReader reader;
  const bool found = IsVCard(lines, reader);
  Check(found == reader.IsRead());
  reader.GetAsKunde(kunde);
  return found;
}

// The fields the entry dialog's vCard carries.
std::vector<CString> Written(const CBaseKunde& k) {
  std::vector<CString> fields{k.m_strNachname, k.m_strVorname, k.m_strAnrede, k.m_strFirma, k.m_strPostfach,
                              k.m_strStrasse,  k.m_strOrt,     k.m_strPLZ,    k.m_strLand};
  for (const CVCardTelefon& tel : k.m_arTelefon) fields.push_back(tel.m_strNummer);
  fields.push_back("mail");
  for (const CString& mail : k.m_arEMail) fields.push_back(mail);
  fields.push_back("web");
  for (const CString& url : k.m_arInternet) fields.push_back(url);
  return fields;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CBaseKunde kunde;
  if (!IsVCardText(CString(std::string(reinterpret_cast<const char*>(data), size)), kunde)) return 0;
  CBasisKundeDatenbankEintrag record;
  record.InitEintrag(kunde);
  const CKundeAlsAnschrift address(&record, 0);

  std::vector<CString> texts = Written(kunde);
  for (const CString* t : {&kunde.m_strAnzeigename, &kunde.m_strWeitereVornamen, &kunde.m_strNamenszusatz,
                           &kunde.m_strAbteilung, &kunde.m_strPosition, &kunde.m_strAdresszusatz, &kunde.m_strRegion,
                           &record.m_strTel1, &record.m_strTel2, &record.m_strMobil, &record.m_strSonstiges,
                           &record.m_strPrivat, &record.m_strFax, &record.m_strEMail, &record.m_strInternet})
    texts.push_back(*t);
  for (int i = 0; i < address.GetSize(); ++i) texts.push_back(address.GetAt(i));
  for (const CString& text : texts) Check(Utf8(text));

  // The entry dialog writes phones with types of its own, never the ones a vCard brought.
  for (CVCardTelefon& tel : kunde.m_arTelefon) tel.m_types = {"work", "voice"};
  const CString card = GetVCardText(kunde);
  Check(Utf8(card));

  // The writer drops carriage returns, so such a contact cannot come back verbatim.
  for (const CString& field : Written(kunde))
    if (field.Find('\r') >= 0) return 0;
  CBaseKunde again;
  Check(IsVCardText(card, again));
  Check(Written(again) == Written(kunde));
  return 0;
}
