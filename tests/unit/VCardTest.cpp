// vCards as phones and mail programs write them, read field by field; the record, the address
// lines, and the vCard text the entry dialog makes.
#include "TestFolder.h"
#include "outside/TextServices.h"
#include "outside/VCard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace fs = std::filesystem;

namespace {

CBasisKundeDatenbankEintrag Record(const CBaseKunde& kunde) {
  CBasisKundeDatenbankEintrag record;
  record.InitEintrag(kunde);
  return record;
}

CBasisKundeDatenbankEintrag Record(const std::string& text) {
  CStringArray lines;
  BreakLine(SetNewLineText(CString(text), "\n"), lines);
  CVCardReader reader;
  CBaseKunde kunde;
  if (IsVCard(lines, reader)) reader.GetAsKunde(kunde);
  return Record(kunde);
}

// The record's fields by name; "Adresse" is the postal address lines joined by '|'.
std::map<std::string, std::string> Fields(const CBasisKundeDatenbankEintrag& r) {
  const CBaseKunde& k = r.GetKunde();
  CKundeAlsAnschrift address(&r, 0);
  std::string lines;
  for (int i = 0; i < address.GetSize(); ++i) lines += (i ? "|" : "") + address.GetAt(i).str();
  return {{"Nachname", k.m_strNachname.str()}, {"Vorname", k.m_strVorname.str()}, {"Anrede", k.m_strAnrede.str()},
          {"Firma", k.m_strFirma.str()}, {"Abteilung", k.m_strAbteilung.str()}, {"Weitere", k.m_strWeitereVornamen.str()},
          {"FN", k.m_strAnzeigename.str()}, {"Postfach", k.m_strPostfach.str()}, {"Land", k.m_strLand.str()},
          {"Strasse", k.m_strStrasse.str()}, {"Tel1", r.m_strTel1.str()}, {"Tel2", r.m_strTel2.str()},
          {"Privat", r.m_strPrivat.str()}, {"Mobil", r.m_strMobil.str()}, {"Fax", r.m_strFax.str()},
          {"Sonstiges", r.m_strSonstiges.str()}, {"EMail", r.m_strEMail.str()}, {"Internet", r.m_strInternet.str()},
          {"Kontext", r.GetWaehlKontext().str()}, {"Adresse", lines}, {"Telefone", std::to_string(k.m_arTelefon.size())}};
}

// The n-th vCard of a shared fixture file, exactly as the file holds it (line endings included).
std::string FixtureCard(const std::string& file, int index) {
  const std::string all = FileText(fs::path(CODEWERK_SHARED_FIXTURES) / "vcards" / file);
  size_t start = all.find("BEGIN:VCARD");
  for (int i = 0; i < index && start != std::string::npos; ++i) start = all.find("BEGIN:VCARD", start + 1);
  return start == std::string::npos ? std::string() : all.substr(start, all.find("END:VCARD", start) + 9 - start);
}

const bool kHaveFixtures = fs::exists(fs::path(CODEWERK_SHARED_FIXTURES) / "vcards");

} // namespace

// A fixture file's card (index >= 0) or the lines of a card given inline (index -1), and the
// fields it must give.
TEST(VCardTest, EachCardGivesItsFields) {
  const std::string anna = "VERSION:4.0\nN:Bauer;Anna\nADR;";
  const auto ns = [](int n, const char* gap) { std::string t = "\xC3\x91"; while (--n) t.append(gap).append("\xC3\x91"); return t; };
  const struct { std::string card; int index; std::map<std::string, std::string> expected; } cases[] = {
      {"outlook-2003.vcf", 0, {{"Nachname", "Doe"}, {"Vorname", "John"}, {"Anrede", "Mr."}, {"Firma", "Company, The"},
       {"Abteilung", "TheDepartment"}, {"Tel1", "BusinessPhone"}, {"Privat", "HomePhone"}, {"Mobil", "MobilePhone"},
       {"Fax", "BusinessFaxPhone"}, {"EMail", "jdoe@hotmail.com"}, {"Internet", "http://web-page-address.com"},
       {"Adresse", "Mr. John Doe|Company, The|TheOffice|123 Main St|12345 Austin|United States of America"},
       {"Kontext", "United States of America"}}},
      // quoted-printable with soft breaks; a second mobile number; twelve "Ñ" joined across the soft break
      {"John_Doe_ANDROID.vcf", 2, {{"Mobil", "123456789"}}},
      {"John_Doe_ANDROID.vcf", 3, {{"Nachname", ns(11, " ")}, {"Mobil", "123456"}, {"Privat", "234567"}, {"Sonstiges", "3456789"}}},
      {"John_Doe_ANDROID.vcf", 4, {{"Mobil", "123456"}, {"Tel1", "123456"}, {"Fax", "123456"}, {"Firma", ns(12, "")},
                                   {"Internet", "www.company.com"}}},
      // version 3.0 with folded lines
      {"John_Doe_EVOLUTION.vcf", 0, {{"Weitere", "Richter, James"}, {"FN", "Mr. John Richter, James Doe Sr."}, {"Mobil", "905-666-1234"},
       {"Tel1", "905-555-1234"}, {"Internet", "http://www.ibm.com"}, {"EMail", "john.doe@ibm.com"}, {"Postfach", "ASB-123"},
       {"Land", "United States of America"}}},
      {"John_Doe_GMAIL.vcf", 0, {{"Internet", "http://www.ibm.com"}, {"Mobil", "905-555-1234"}, {"Privat", "905-666-1234"},
       {"Adresse", "Mr. John Doe|IBM|Crescent moon drive|555-asd|Nice Area, Albaney, New York 12345|United States of America"}}},
      // groups, types and doubled carriage returns; the pager, "item2.TEL" without a type, the preferred address
      {"John_Doe_IPHONE.vcf", 0, {{"Mobil", "905-555-1234"}, {"Privat", "905-666-1234"}, {"Tel1", "905-777-1234"}, {"Fax", "905-888-1234"},
       {"Sonstiges", "905-111-1234"}, {"Tel2", "905-222-1234"}, {"EMail", "john.doe@ibm.com"}, {"Strasse", "Silicon Alley 5,"}}},
      {"John_Doe_MS_OUTLOOK.vcf", 0, {{"Strasse", "Cresent moon drive"}, {"Tel1", "(905) 555-1234"}, {"EMail", "john.doe@ibm.cm"}}},
      {"rfc6350-example.vcf", 0, {{"Tel1", "+1-418-656-9254;ext=102"}, {"Mobil", "+1-418-262-6501"}, {"Internet", "http://nomis80.org"},
       {"Adresse", "Simon Perreault|Viagenie|Suite D2-630|2875 Laurier|G1V 2M2 Quebec|Canada"}}},
      // parameter forms, charsets (Windows-1252 when none is named) and escapes; no postal address, no lines
      {"VERSION:2.1\r\nN;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:M=FCller;J=FCrgen\r\nTEL;TYPE=\"cell\":0171 1\r\n"
       "TEL;VALUE=uri:tel:+49-30-1\r\nTEL;TYPE=HOME;TYPE=FAX:030 9\r\nORG:B\xE4" "ckerei\r\nNOTE:Zeile\\nzwei\r", -1,
       {{"Nachname", "M\xC3\xBCller"}, {"Firma", "B\xC3\xA4" "ckerei"}, {"Mobil", "0171 1"}, {"Tel1", "+49-30-1"}, {"Fax", "030 9"},
        {"Adresse", ""}}},
      // texts are UTF-8 whatever the charset claims: an unknown set, not what it claims, beyond U+10FFFF, a byte Windows-1252 lacks
      {"FN;CHARSET=X-UNKNOWN:M\xFCller", -1, {{"FN", "M\xC3\xBCller"}}}, {"FN;CHARSET=UTF-8:M\xFCller", -1, {{"FN", "M\xC3\xBCller"}}},
      {"FN;CHARSET=UTF-8:\xF4\x90\x80\x80", -1, {{"FN", "\xC3\xB4\xC2\x90\xC2\x80\xC2\x80"}}}, {"FN:x\x81", -1, {{"FN", "x\xC2\x81"}}},
      // tel: URIs give the bare number
      {"TEL;VALUE=uri:tel: 030 1", -1, {{"Tel1", "030 1"}}}, {"TEL:TEL:tel:030 1", -1, {{"Tel1", "030 1"}}},
      // colons and caret escapes in labels put no stray lines into the address; a label alone is the address
      {anna + "TYPE=work;LABEL=Hauptstr. 1^nc/o Firma: Empfang^n10115 Berlin:;;Hauptstr. 1;Berlin;;10115;Deutschland", -1,
       {{"Adresse", "Anna Bauer|Hauptstr. 1|10115 Berlin|Deutschland"}}},
      {anna + "LABEL=B\xC3\xBCro:2. OG;TYPE=work:;;Weg 1;Bonn;;53111;DE", -1, {{"Adresse", "Anna Bauer|Weg 1|53111 Bonn|DE"}}},
      {anna + "LABEL=Weg 1^nBonn;WORK:;;Weg 1;Bonn;;53111;DE", -1, {{"Adresse", "Anna Bauer|Weg 1|53111 Bonn|DE"}}},
      {anna + "TYPE=\"work\";LABEL=\"Weg 1: Hof\":;;Weg 1: Hof;Bonn;;53111;DE", -1, {{"Adresse", "Anna Bauer|Weg 1: Hof|53111 Bonn|DE"}}},
      {anna + "LABEL=\"Haus ^'Zur Post^'^nMarkt 3^n^^12345 Dorf\":;;;;;;", -1,
       {{"Adresse", "Anna Bauer|Haus \"Zur Post\"|Markt 3|^12345 Dorf"}}},
  };
  for (const auto& c : cases) {
    if (c.index >= 0 && !kHaveFixtures) continue;
    const auto fields = Fields(Record(c.index >= 0 ? FixtureCard(c.card, c.index) : "BEGIN:VCARD\n" + c.card + "\nEND:VCARD"));
    for (const auto& [name, value] : c.expected) EXPECT_EQ(fields.at(name), value) << name << " of " << c.card << " " << c.index;
  }
  const auto isVCard = [](const char* text) { CStringArray lines; CVCardReader r; BreakLine(text, lines); return IsVCard(lines, r); };
  EXPECT_EQ(std::pair(isVCard("Hallo\nBEGIN:VCARD\nEND:VCARD"), isVCard("\n  begin:vcard\nFN:x\n")), std::pair(false, true))
      << "only texts that begin a vCard are vCards";
}

// The writer (the entry dialog's and for cards read) ends every line with CR LF, and what it writes
// reads back as the same contact; the line breaks it rests on.
TEST(VCardTest, WrittenCardsReadBackAsTheSameContact) {
  // Separators inside values must be escaped on the way out.
  const auto own = Record("BEGIN:VCARD\nN:M\xC3\xBCller;J\xC3\xBCrgen\nFN:J\xC3\xBCrgen M\xC3\xBCller\n"
                          "ORG:B\xC3\xA4" "ckerei\\; Konditorei\\, Caf\xC3\xA9\nADR:;;Hauptstr. 1;Berlin;;10115;Deutschland\n"
                          "TEL;TYPE=work,voice:030 123\nTEL;TYPE=cell:0171 9\nTEL;TYPE=work,fax:030 124\nEMAIL:j@example.de\n"
                          "URL:https://www.example.de/a;b\nEND:VCARD");
  ASSERT_EQ(Fields(own).at("Firma"), "B\xC3\xA4" "ckerei; Konditorei, Caf\xC3\xA9");
  std::vector<CBaseKunde> contacts{own.GetKunde()};
  if (kHaveFixtures)
    for (const char* file : {"rfc6350-example.vcf", "John_Doe_IPHONE.vcf", "outlook-2003.vcf"})
      contacts.push_back(Record(FixtureCard(file, 0)).GetKunde());
  for (const CBaseKunde& contact : contacts) {
    const CString written = GetVCardText(contact);
    EXPECT_EQ(written.Left(27) + "..." + written.Right(11), "BEGIN:VCARD\r\nVERSION:3.0\r\nN...END:VCARD\r\n");
    EXPECT_EQ(SetNewLineText(written, "\r\n"), written);
    auto expected = Fields(Record(contact)), read = Fields(Record(written.str()));
    for (const char* notWritten : {"Abteilung", "Weitere"}) expected.erase(notWritten), read.erase(notWritten); // left out so far
    EXPECT_EQ(read, expected) << written.str();
  }
  // Line breaks of every kind are unified, and split with empty lines kept.
  CStringArray lines;
  BreakLine(SetNewLineText("a\r\nb\rc\n\nd\n", "\n"), lines);
  EXPECT_EQ(std::vector<CString>(lines.begin(), lines.end()), std::vector<CString>({"a", "b", "c", "", "d"}));
  EXPECT_EQ(SetNewLineText("a\nb", "\r\n"), "a\r\nb");
  BreakLine("", lines);
  EXPECT_EQ(lines.GetSize(), 0);
}
