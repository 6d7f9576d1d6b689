// vCards as phones and mail programs write them, read field by field; the record, the address
// lines, and the vCard text the entry dialog makes.
#include "outside/TextServices.h"
#include "outside/VCard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

CBasisKundeDatenbankEintrag Record(const std::string& text, bool* isVCard = nullptr) {
  CStringArray lines;
  BreakLine(SetNewLineText(CString(text), "\n"), lines);
  CVCardReader reader;
  const bool found = IsVCard(lines, reader);
  if (isVCard) *isVCard = found;
  CBaseKunde kunde;
  reader.GetAsKunde(kunde);
  CBasisKundeDatenbankEintrag record;
  record.InitEintrag(kunde);
  return record;
}

std::vector<std::string> AddressLines(const CBasisKundeDatenbankEintrag& record) {
  CKundeAlsAnschrift address(&record, 0);
  std::vector<std::string> lines;
  for (int i = 0; i < address.GetSize(); ++i) lines.push_back(address.GetAt(i).str());
  return lines;
}

// The n-th vCard of a fixture file, exactly as the file holds it (line endings included).
std::string FixtureCard(const std::string& file, int index) {
  const fs::path path = fs::path(CODEWERK_SHARED_FIXTURES) / "vcards" / file;
  std::ifstream in(path, std::ios::binary);
  const std::string all((std::istreambuf_iterator<char>(in)), {});
  size_t start = all.find("BEGIN:VCARD");
  for (int i = 0; i < index && start != std::string::npos; ++i) start = all.find("BEGIN:VCARD", start + 1);
  return start == std::string::npos ? std::string() : all.substr(start, all.find("END:VCARD", start) + 9 - start);
}

class VCardFixtureTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!fs::exists(fs::path(CODEWERK_SHARED_FIXTURES) / "vcards")) GTEST_SKIP() << "shared vCard fixtures not present";
  }
};

} // namespace

TEST_F(VCardFixtureTest, Outlook2003Version21) {
  const auto r = Record(FixtureCard("outlook-2003.vcf", 0));
  const CBaseKunde& k = r.GetKunde();
  EXPECT_EQ(k.m_strNachname, "Doe");
  EXPECT_EQ(k.m_strVorname, "John");
  EXPECT_EQ(k.m_strAnrede, "Mr.");
  EXPECT_EQ(k.m_strFirma, "Company, The");
  EXPECT_EQ(k.m_strAbteilung, "TheDepartment");
  EXPECT_EQ(r.m_strTel1, "BusinessPhone");
  EXPECT_EQ(r.m_strPrivat, "HomePhone");
  EXPECT_EQ(r.m_strMobil, "MobilePhone");
  EXPECT_EQ(r.m_strFax, "BusinessFaxPhone");
  EXPECT_EQ(r.m_strEMail, "jdoe@hotmail.com");
  EXPECT_EQ(r.m_strInternet, "http://web-page-address.com");
  EXPECT_EQ(AddressLines(r), (std::vector<std::string>{"Mr. John Doe", "Company, The", "TheOffice", "123 Main St",
                                                        "12345 Austin", "United States of America"}));
  EXPECT_EQ(r.GetWaehlKontext(), "United States of America");
}

TEST_F(VCardFixtureTest, AndroidQuotedPrintableWithSoftBreaks) {
  EXPECT_EQ(Record(FixtureCard("John_Doe_ANDROID.vcf", 2)).m_strMobil, "123456789");
  const auto third = Record(FixtureCard("John_Doe_ANDROID.vcf", 3));
  EXPECT_EQ(third.GetKunde().m_strNachname, "\xC3\x91 \xC3\x91 \xC3\x91 \xC3\x91 \xC3\x91 \xC3\x91 \xC3\x91 \xC3\x91 \xC3\x91 \xC3\x91 \xC3\x91");
  EXPECT_EQ(third.m_strMobil, "123456");
  EXPECT_EQ(third.m_strPrivat, "234567");
  EXPECT_EQ(third.m_strSonstiges, "3456789"); // a second mobile number

  const auto fifth = Record(FixtureCard("John_Doe_ANDROID.vcf", 4));
  EXPECT_EQ(fifth.m_strMobil, "123456");
  EXPECT_EQ(fifth.m_strTel1, "123456");
  EXPECT_EQ(fifth.m_strFax, "123456");
  EXPECT_EQ(fifth.GetKunde().m_strFirma.GetLength(), 24); // twelve "Ñ", joined across the soft break
  EXPECT_EQ(fifth.m_strInternet, "www.company.com");
}

TEST_F(VCardFixtureTest, EvolutionVersion30WithFoldedLines) {
  const auto r = Record(FixtureCard("John_Doe_EVOLUTION.vcf", 0));
  const CBaseKunde& k = r.GetKunde();
  EXPECT_EQ(k.m_strWeitereVornamen, "Richter, James");
  EXPECT_EQ(k.m_strAnzeigename, "Mr. John Richter, James Doe Sr.");
  EXPECT_EQ(r.m_strMobil, "905-666-1234");
  EXPECT_EQ(r.m_strTel1, "905-555-1234");
  EXPECT_EQ(r.m_strInternet, "http://www.ibm.com");
  EXPECT_EQ(r.m_strEMail, "john.doe@ibm.com");
  EXPECT_EQ(k.m_strPostfach, "ASB-123");
  EXPECT_EQ(k.m_strLand, "United States of America");
}

TEST_F(VCardFixtureTest, GmailEscapesAndMultiLineStreet) {
  const auto r = Record(FixtureCard("John_Doe_GMAIL.vcf", 0));
  EXPECT_EQ(r.m_strInternet, "http://www.ibm.com");
  EXPECT_EQ(r.m_strMobil, "905-555-1234");
  EXPECT_EQ(r.m_strPrivat, "905-666-1234");
  EXPECT_EQ(AddressLines(r), (std::vector<std::string>{"Mr. John Doe", "IBM", "Crescent moon drive", "555-asd",
                                                        "Nice Area, Albaney, New York 12345", "United States of America"}));
}

TEST_F(VCardFixtureTest, IPhoneGroupsTypesAndDoubledCarriageReturns) {
  const auto r = Record(FixtureCard("John_Doe_IPHONE.vcf", 0));
  EXPECT_EQ(r.m_strMobil, "905-555-1234");
  EXPECT_EQ(r.m_strPrivat, "905-666-1234");
  EXPECT_EQ(r.m_strTel1, "905-777-1234");
  EXPECT_EQ(r.m_strFax, "905-888-1234");
  EXPECT_EQ(r.m_strSonstiges, "905-111-1234"); // the pager
  EXPECT_EQ(r.m_strTel2, "905-222-1234");      // "item2.TEL" without a type
  EXPECT_EQ(r.m_strEMail, "john.doe@ibm.com");
  EXPECT_EQ(r.GetKunde().m_strStrasse, "Silicon Alley 5,"); // the preferred address
}

TEST_F(VCardFixtureTest, OutlookPreferredAddressAndRfc6350Version40) {
  const auto outlook = Record(FixtureCard("John_Doe_MS_OUTLOOK.vcf", 0));
  EXPECT_EQ(outlook.GetKunde().m_strStrasse, "Cresent moon drive");
  EXPECT_EQ(outlook.m_strTel1, "(905) 555-1234");
  EXPECT_EQ(outlook.m_strEMail, "john.doe@ibm.cm");

  const auto rfc = Record(FixtureCard("rfc6350-example.vcf", 0));
  EXPECT_EQ(rfc.m_strTel1, "+1-418-656-9254;ext=102");
  EXPECT_EQ(rfc.m_strMobil, "+1-418-262-6501");
  EXPECT_EQ(AddressLines(rfc), (std::vector<std::string>{"Simon Perreault", "Viagenie", "Suite D2-630", "2875 Laurier",
                                                          "G1V 2M2 Quebec", "Canada"}));
  EXPECT_EQ(rfc.m_strInternet, "http://nomis80.org");
}

TEST(VCardTest, ParameterFormsCharsetsAndEscapes) {
  const auto r = Record(
      "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:M=FCller;J=FCrgen\r\n"
      "TEL;TYPE=\"cell\":0171 1\r\nTEL;VALUE=uri:tel:+49-30-1\r\nTEL;TYPE=HOME;TYPE=FAX:030 9\r\n"
      "ORG:B\xE4" "ckerei\r\nNOTE:Zeile\\nzwei\r\nEND:VCARD\r\n");
  EXPECT_EQ(r.GetKunde().m_strNachname, "M\xC3\xBCller");
  EXPECT_EQ(r.GetKunde().m_strFirma, "B\xC3\xA4" "ckerei"); // Windows-1252 when no charset is named
  EXPECT_EQ(r.m_strMobil, "0171 1");
  EXPECT_EQ(r.m_strTel1, "+49-30-1");
  EXPECT_EQ(r.m_strFax, "030 9");
  EXPECT_TRUE(AddressLines(r).empty()); // no postal address, no address lines
}

TEST(VCardTest, TextsAreUtf8WhateverTheCharsetClaims) {
  const struct {
    const char* line;
    const char* name;
  } cases[] = {
      {"FN;CHARSET=X-UNKNOWN:M\xFCller", "M\xC3\xBCller"},                           // unknown set: Windows-1252
      {"FN;CHARSET=UTF-8:M\xFCller", "M\xC3\xBCller"},                               // not what it claims
      {"FN;CHARSET=UTF-8:\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xC2\x80\xC2\x80"},      // beyond U+10FFFF
      {"FN:x\x81", "x\xC2\x81"},                                                     // a byte Windows-1252 lacks
  };
  for (const auto& c : cases)
    EXPECT_EQ(Record(std::string("BEGIN:VCARD\n") + c.line + "\nEND:VCARD").GetKunde().m_strAnzeigename, c.name) << c.line;
}

TEST(VCardTest, TelUrisGiveTheBareNumber) {
  for (const char* line : {"TEL;VALUE=uri:tel:030 1", "TEL;VALUE=uri:tel: 030 1", "TEL:TEL:tel:030 1"})
    EXPECT_EQ(Record(std::string("BEGIN:VCARD\n") + line + "\nEND:VCARD").m_strTel1, "030 1") << line;
}

TEST(VCardTest, OnlyTextsThatBeginAVCardAreVCards) {
  bool isVCard = true;
  Record("Hallo\nBEGIN:VCARD\nEND:VCARD", &isVCard);
  EXPECT_FALSE(isVCard);
  Record("\n  begin:vcard\nFN:x\n", &isVCard);
  EXPECT_TRUE(isVCard);
}

TEST(VCardTest, TheEntryDialogsTextReadsBackAsTheSameContact) {
  CBaseKunde k;
  k.m_strVorname = "J\xC3\xBCrgen";
  k.m_strNachname = "M\xC3\xBCller";
  k.m_strFirma = "B\xC3\xA4" "ckerei; Konditorei, Caf\xC3\xA9";
  k.m_strStrasse = "Hauptstr. 1";
  k.m_strPLZ = "10115";
  k.m_strOrt = "Berlin";
  k.m_strLand = "Deutschland";
  k.m_arTelefon = {{"030 123", {"work", "voice"}}, {"0171 9", {"cell"}}, {"030 124", {"work", "fax"}}};
  k.m_arEMail.Add("j@example.de");
  k.m_arInternet.Add("https://www.example.de/a;b");
  const CString text = GetVCardText(k);
  EXPECT_EQ(text.Left(27), "BEGIN:VCARD\r\nVERSION:3.0\r\nN");
  EXPECT_EQ(text.Right(11), "END:VCARD\r\n");
  EXPECT_EQ(SetNewLineText(text, "\r\n"), text); // every line ends with CR LF
  const auto r = Record(text.str());
  EXPECT_EQ(r.GetKunde().m_strFirma, k.m_strFirma);
  EXPECT_EQ(r.m_strTel1, "030 123");
  EXPECT_EQ(r.m_strMobil, "0171 9");
  EXPECT_EQ(r.m_strFax, "030 124");
  EXPECT_EQ(r.m_strInternet, "https://www.example.de/a;b");
  EXPECT_EQ(AddressLines(r), (std::vector<std::string>{"J\xC3\xBCrgen M\xC3\xBCller", k.m_strFirma.str(), "Hauptstr. 1",
                                                        "10115 Berlin", "Deutschland"}));
}

TEST(VCardTest, ColonsAndCaretEscapesInLabelsPutNoStrayLinesIntoTheAddress) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"ADR;TYPE=work;LABEL=Hauptstr. 1^nc/o Firma: Empfang^n10115 Berlin:;;Hauptstr. 1;Berlin;;10115;Deutschland",
       {"Hauptstr. 1", "10115 Berlin", "Deutschland"}},
      {"ADR;LABEL=B\xC3\xBCro:2. OG;TYPE=work:;;Weg 1;Bonn;;53111;DE", {"Weg 1", "53111 Bonn", "DE"}},
      {"ADR;LABEL=Weg 1^nBonn;WORK:;;Weg 1;Bonn;;53111;DE", {"Weg 1", "53111 Bonn", "DE"}},
      {"ADR;TYPE=\"work\";LABEL=\"Weg 1: Hof\":;;Weg 1: Hof;Bonn;;53111;DE", {"Weg 1: Hof", "53111 Bonn", "DE"}},
      // Only the printed label: its lines are the address.
      {"ADR;LABEL=\"Haus ^'Zur Post^'^nMarkt 3^n^^12345 Dorf\":;;;;;;", {"Haus \"Zur Post\"", "Markt 3", "^12345 Dorf"}},
  };
  for (const auto& [adr, lines] : cases) {
    std::vector<std::string> expected{"Anna Bauer"};
    expected.insert(expected.end(), lines.begin(), lines.end());
    EXPECT_EQ(AddressLines(Record(std::string("BEGIN:VCARD\nVERSION:4.0\nN:Bauer;Anna\n") + adr + "\nEND:VCARD")), expected)
        << adr;
  }
}

TEST_F(VCardFixtureTest, TheWriterEndsLinesWithCrLfAndItsCardsReadBack) {
  for (const auto& [file, index] : {std::pair{"rfc6350-example.vcf", 0}, {"John_Doe_IPHONE.vcf", 0}, {"outlook-2003.vcf", 0}}) {
    const CBaseKunde read = Record(FixtureCard(file, index)).GetKunde();
    const CString written = GetVCardText(read);
    EXPECT_EQ(SetNewLineText(written, "\r\n"), written) << file;
    const CBasisKundeDatenbankEintrag again = Record(written.str());
    EXPECT_EQ(AddressLines(again), AddressLines(Record(FixtureCard(file, index)))) << file;
    EXPECT_EQ(again.GetKunde().m_arTelefon.size(), read.m_arTelefon.size()) << file;
  }
}

TEST(TextLinesTest, LineBreaksAreUnifiedAndSplit) {
  CStringArray lines;
  BreakLine(SetNewLineText("a\r\nb\rc\n\nd\n", "\n"), lines);
  ASSERT_EQ(lines.GetSize(), 5);
  EXPECT_EQ(lines[2], "c");
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[4], "d");
  EXPECT_EQ(SetNewLineText("a\nb", "\r\n"), "a\r\nb");
  BreakLine("", lines);
  EXPECT_EQ(lines.GetSize(), 0);
}
