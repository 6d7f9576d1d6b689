// The typed forms' texts: written, made into a code, read by zxing-cpp and ZBar, and parsed back
// into the same fields — umlauts, separators inside values, empty optional fields.
#include "CodeReaders.h"
#include "TestPictures.h"
#include "encode/TypedForms.h"
#include "encode/TypedTexts.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

// The texts both readers get back from the text's code.
std::vector<std::string> ThroughCode(const std::string& text) {
  const GrayImage code = WithQuietZone(RenderCode(text, 3), 12);
  std::vector<std::string> read;
  for (const auto& codes : {ReadWithZXing(code), ReadWithZBar(code, true)})
    read.push_back(TheCode(codes));
  return read;
}

template <class Fields>
void ExpectRoundTrips(const std::vector<Fields>& cases, std::string (*write)(const Fields&),
                      std::optional<Fields> (*read)(std::string_view)) {
  for (const Fields& fields : cases)
    for (const std::string& back : ThroughCode(write(fields))) EXPECT_TRUE(back == write(fields) && read(back) == fields) << back;
}

} // namespace

// WLAN with escapes, quoted hex and no password; E-Mail a percent-encoded mailto address; SMS with
// colons in its text; Ort a geo address with six decimals; Termin a bare VEVENT in UTC; MeCard
// with its separators escaped.
TEST(TypedTextsTest, EachKindReadsBackAsTheSameFieldsAndEachFormRefusesWhatIsMissing) {
  const std::time_t start = 1796716800; // 2026-12-08 08:00:00 UTC
  ExpectRoundTrips<WlanFields>({{"Büro; 2.OG", "WPA", "geh:eim\\,\"x\"", true}, {"CAFE1234", "WEP", "1234567890", false},
                                {"Gäste", "nopass", "", false}}, WlanText, ReadWlanText);
  ExpectRoundTrips<MailFields>({{"lager@example.de", "Lieferschein 4711; dringend", "Grüße,\nJürgen & Co: 100%"},
                                {"a@example.org", "", ""}}, MailText, ReadMailText);
  ExpectRoundTrips<SmsFields>({{"+491711234567", "Abholung: 14:30; Tor 2 — danke"}, {"110", ""}}, SmsText, ReadSmsText);
  ExpectRoundTrips<GeoFields>({{52.520008, 13.404954}, {-33.8675, 151.207}, {0, -0.5}}, GeoText, ReadGeoText);
  ExpectRoundTrips<TerminFields>({{"Inventur; Halle 3, Tor 2", "Lager: Süd", "Bitte\npünktlich\\", start, start + 5400},
                                  {"Anruf", "", "", start, 0}}, TerminText, ReadTerminText);
  ExpectRoundTrips<MeCardFields>({{"Müller,Jürgen", "+49 30 123", "j@example.de", "Hauptstr. 1; 10115 Berlin", "https://example.de/a;b",
                                   "Notiz: \\wichtig\\"}, {"Nur Name", "", "", "", "", ""}}, MeCardText, ReadMeCardText);
  for (const std::string& back : ThroughCode(PhoneText("+49 (30) 123-456"))) EXPECT_EQ(ReadPhoneText(back), "+49(30)123-456");

  const std::pair<std::string, const char*> written[] = {
      {WlanText({"CAFE1234", "WPA", "p", false}), "WIFI:T:WPA;S:\"CAFE1234\";P:p;;"},
      {WlanText({"a;b", "nopass", "ignored", false}), "WIFI:T:nopass;S:a\\;b;;"},
      {MailText({"a@b.de", "Ä b", ""}), "mailto:a@b.de?subject=%C3%84%20b"}, {PhoneText("+49 30 123 456"), "tel:+4930123456"},
      {GeoText({48.1, 11.58}), "geo:48.1,11.58"}, {MeCardText({"A", "1", "", "", "", ""}), "MECARD:N:A;TEL:1;;"},
      {TerminText({"A", "", "", start, 0}), "BEGIN:VEVENT\r\nSUMMARY:A\r\nDTSTART:20261208T080000Z\r\nEND:VEVENT"}};
  for (const auto& [text, expected] : written) EXPECT_EQ(text, expected);
  EXPECT_EQ(ReadSmsText("sms:+4930123?body=Hallo%20du"), (SmsFields{"+4930123", "Hallo du"}));
  EXPECT_EQ(ReadGeoText("geo:48.1,11.58,520;u=10"), (GeoFields{48.1, 11.58}));
  // No network name, no number, a local time (not ours), no place.
  EXPECT_FALSE(ReadWlanText("WIFI:T:WPA;P:x;;") || ReadPhoneText("mailto:x@y") ||
               ReadTerminText("BEGIN:VEVENT\nSUMMARY:x\nDTSTART:20261208T080000\nEND:VEVENT"));
  for (const char* wrong : {"geo:91,0", "geo:1", "geo:a,b", "geo:1,2x"}) EXPECT_FALSE(ReadGeoText(wrong)) << wrong;

  // Each form's values make a text that reopens the same form with them; missing and malformed
  // values are refused with a reason.
  const std::vector<std::pair<TypedForm, FormValues>> cases = {
      {TypedForm::Wlan, {{"SSID", "Büro"}, {"Verschluesselung", "WEP"}, {"Passwort", "a;b"}, {"Verborgen", "1"}}},
      {TypedForm::EMail, {{"An", "a@example.de"}, {"Betreff", "Grüße"}, {"Nachricht", "x\ny"}}},
      {TypedForm::Sms, {{"Nummer", "+49171"}, {"Nachricht", "14:30"}}},
      {TypedForm::Telefon, {{"Nummer", "+4930123"}}},
      {TypedForm::Ort, {{"Breitengrad", "52.52"}, {"Laengengrad", "-13.4"}}},
      {TypedForm::Termin, {{"Titel", "Inventur"}, {"Beginn", "08.12.2026 09:00"}, {"Ende", "08.12.2026 10:30"}, {"Ort", "Halle 3"},
                           {"Beschreibung", "pünktlich"}}},
      {TypedForm::MeCard, {{"Name", "Müller"}, {"Telefon", "030"}, {"EMail", ""}, {"Adresse", "A; B"}, {"Internet", ""}, {"Notiz", ""}}},
  };
  std::string why; // one string for all cases: an earlier refusal must not stick
  for (const auto& [form, values] : cases) {
    const std::optional<std::string> text = TextFromFormValues(form, values, why);
    ASSERT_TRUE(text) << FormTitle(form) << ": " << why;
    EXPECT_EQ(FormOfText(*text), form) << *text;
    EXPECT_EQ(FormValuesFromText(form, *text), values) << *text;
  }
  const std::tuple<TypedForm, FormValues, const char*> refused[] = {
      {TypedForm::Wlan, {{"SSID", "x"}, {"Verschluesselung", "WPA/WPA2"}}, "Passwort"},
      {TypedForm::EMail, {}, "An"},
      {TypedForm::Ort, {{"Breitengrad", "91"}, {"Laengengrad", "0"}}, "Breitengrad"},
      {TypedForm::Ort, {{"Breitengrad", "52,5"}, {"Laengengrad", "x"}}, "Längengrad"},
      {TypedForm::Termin, {{"Titel", "t"}, {"Beginn", "8.12.26"}}, "TT.MM.JJJJ"},
      {TypedForm::Termin, {{"Titel", "t"}, {"Beginn", "08.12.2026 10:00"}, {"Ende", "08.12.2026 09:00"}}, "vor dem Beginn"},
  };
  for (const auto& [form, values, reason] : refused)
    EXPECT_TRUE(!TextFromFormValues(form, values, why) && why.find(reason) != std::string::npos) << FormTitle(form) << ": " << why;
  EXPECT_EQ(TextFromFormValues(TypedForm::Telefon, {{"Nummer", "030 1234"}}, why), PhoneText("030 1234")) << why;
  EXPECT_EQ(TextFromFormValues(TypedForm::Ort, {{"Breitengrad", "52,5"}, {"Laengengrad", "13"}}, why), "geo:52.5,13");
}
