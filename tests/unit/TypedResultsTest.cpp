// "Ergebnis" for WLAN, Ort, Termin, MeCard and SMS texts: what each entry shows and does, and that
// hostile values never become an address beyond web, mail, telephone and SMS.
#include "encode/TypedTexts.h"
#include "outside/DesktopActions.h"
#include "results/TypedResults.h"

#include <gtest/gtest.h>

namespace {

std::vector<ResultEntry> Entries(const std::string& text) {
  std::vector<ResultEntry> all;
  for (const ResultGroup& group : ClassifyDecodeResult(text.c_str(), "QRCode"))
    all.insert(all.end(), group.entries.begin(), group.entries.end());
  return all;
}

const ResultEntry* Find(const std::vector<ResultEntry>& entries, const char* start) {
  for (const ResultEntry& e : entries)
    if (e.text.view().rfind(start, 0) == 0) return &e;
  return nullptr;
}

} // namespace

TEST(TypedResultsTest, WLANShowsItsNetworkAndCopiesThePasswordWithoutJoining) {
  const auto entries = Entries("WIFI:T:WPA;S:B\xC3\xBCro;P:ge\\;heim;H:true;;");
  ASSERT_NE(Find(entries, "Netzwerk: B\xC3\xBCro"), nullptr);
  const ResultEntry* copy = Find(entries, "Passwort kopieren");
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->action, ResultAction_Copy);
  EXPECT_EQ(copy->payload, "ge;heim");
  for (const ResultEntry& e : entries) EXPECT_TRUE(e.address.IsEmpty()) << e.text.str();
  EXPECT_EQ(Find(Entries("WIFI:T:nopass;S:Gast;;"), "Passwort kopieren"), nullptr);
}

TEST(TypedResultsTest, OrtIsAPlaceOnAMapOverHttps) {
  const auto entries = Entries("geo:52.520008,13.404954");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].address,
            "https://www.openstreetmap.org/?mlat=52.520008&mlon=13.404954#map=17/52.520008/13.404954");
}

TEST(TypedResultsTest, TerminGoesToTheCalendarRebuiltFromItsFields) {
  const std::string code = "BEGIN:VEVENT\r\nSUMMARY:Inventur\r\nDTSTART:20261208T080000Z\r\n"
                           "ATTACH:file:///etc/passwd\r\nLOCATION:Halle 3\r\nEND:VEVENT";
  const auto entries = Entries(code);
  ASSERT_NE(Find(entries, "Termin: Inventur"), nullptr);
  ASSERT_NE(Find(entries, "Ort: Halle 3"), nullptr);
  const ResultEntry* calendar = Find(entries, "In den Kalender");
  ASSERT_NE(calendar, nullptr);
  EXPECT_EQ(calendar->action, ResultAction_Calendar);
  EXPECT_EQ(calendar->payload.Find("ATTACH"), -1) << "only the fields we know go on";
  EXPECT_EQ(ReadTerminText(calendar->payload.view()), ReadTerminText(code));
}

TEST(TypedResultsTest, MeCardGivesTheEntriesOfAVCard) {
  const auto entries = Entries("MECARD:N:M\xC3\xBCller,J\xC3\xBCrgen;TEL:030 123;EMAIL:j@example.de;URL:www.example.de;;");
  ASSERT_NE(Find(entries, "M\xC3\xBCller,J\xC3\xBCrgen"), nullptr);
  EXPECT_EQ(Find(entries, "Tel:")->address, TelephoneAddressFor("030 123", ""));
  EXPECT_EQ(Find(entries, "EMail:")->address, "mailto:j@example.de");
  EXPECT_EQ(Find(entries, "Internet:")->address, "http://www.example.de");
}

TEST(TypedResultsTest, SMSIsAnAllowedSchemeRebuiltFromItsParts) {
  EXPECT_EQ(Entries("SMSTO:+49 171 123:Bitte 14:30 & Tor 2")[0].address, "sms:+49171123?body=Bitte%2014%3A30%20%26%20Tor%202");
  EXPECT_EQ(SmsAddressFor("sms:0171?body=a&x=file:///etc"), "sms:0171?body=a");
  EXPECT_EQ(Entries("sms:+4930?body=Hallo")[0].address, "sms:+4930?body=Hallo");
}

TEST(TypedResultsTest, HostileValuesInEveryKindNeverBecomeOtherAddresses) {
  const std::string big(10000, 'x');
  const std::vector<std::string> hostile = {"$(rm -rf ~)`id`;|&", "file:///etc/passwd", "javascript:alert(1)", big,
                                            "\x1b[31m\r\nATTACH:file:///x"};
  for (const std::string& value : hostile) {
    const std::vector<std::string> texts = {
        WlanText({value, "WPA", value, false}),
        "geo:" + value,
        TerminText({value, value, value, 1796716800, 0}),
        MeCardText({value, value, value, value, value, value}),
        SmsText({value, value}),
        "SMSTO:" + value + ":" + value,
    };
    for (const std::string& text : texts)
      for (const ResultEntry& e : Entries(text)) {
        if (e.address.IsEmpty()) continue;
        EXPECT_EQ(DesktopAddressFor(e.address), e.address) << text.substr(0, 80);
        for (const char* scheme : {"file:", "javascript:"})
          EXPECT_NE(e.address.view().rfind(scheme, 0), 0u) << e.address.str().substr(0, 80);
      }
  }
}
