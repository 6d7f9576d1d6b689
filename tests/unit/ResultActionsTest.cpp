// What the "Ergebnis" dialog makes of decoded texts, worked out without a window — plain lines,
// book numbers, vCards, WLAN, Ort, Termin, MeCard and SMS — and the addresses its entries hand to
// the desktop: only web, mail, telephone and SMS, rebuilt from their parts, hosts in ASCII.
#include "RecordingOpener.h"
#include "encode/TypedTexts.h"
#include "outside/DesktopActions.h"
#include "outside/HostNames.h"
#include "outside/MessageBox.h"
#include "results/DecodeResultTasksDialog.h"
#include "results/ResultClassification.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace {

using Calls = std::vector<std::vector<std::string>>;
using Pane = std::vector<std::pair<std::string, std::vector<std::tuple<std::string, int, bool>>>>; // entries: text, icon, clickable

// The pane's groups and entries as the dialog lays them out; clicked: what the opener was given
// when the first clickable entry was run.
Pane PaneFor(const std::vector<std::pair<std::string, std::string>>& results, Calls* clicked = nullptr) {
  std::optional<RecordingOpener> opener = clicked ? std::make_optional<RecordingOpener>() : std::nullopt;
  CDecodeResultArray list;
  CArray<POINT, POINT> none;
  for (const auto& [text, symbol] : results) list.AddDecodeResult(text.c_str(), symbol.c_str(), none);
  CDecodeResultTasksDialog dialog(list, nullptr);
  dialog.BuildTasksPaneMain();
  EXPECT_FALSE(dialog.GetHandle()); // worked out without making a window
  Pane pane;
  for (const auto& group : dialog.GetTasksPane().GetGroups()) {
    pane.push_back({group.caption.str(), {}});
    for (const auto& task : group.tasks) {
      pane.back().second.push_back({task.text.str(), task.icon, bool(task.action)});
      if (clicked && task.action && clicked->empty()) task.action(), *clicked = opener->Calls();
    }
  }
  return pane;
}

Calls Click(const std::string& text, const std::string& symbol) { Calls clicked; return PaneFor({{text, symbol}}, &clicked), clicked; }

std::vector<ResultEntry> Entries(const std::string& text) {
  std::vector<ResultEntry> all;
  for (const ResultGroup& g : ClassifyDecodeResult(text.c_str(), "QRCode")) all.insert(all.end(), g.entries.begin(), g.entries.end());
  return all;
}

// The entries, each its text, "> address" when a click opens one, "copy:"/"calendar:" and the payload otherwise.
std::string Summary(const std::string& text) {
  std::string all;
  for (const ResultEntry& e : Entries(text))
    all += e.text.str() + (e.address.IsEmpty() ? "" : " > " + e.address.str()) +
           (e.action == ResultAction_Open ? "" : (e.action == ResultAction_Copy ? " copy:" : " calendar:") + e.payload.str()) + " | ";
  return all;
}

} // namespace

// Book numbers only for book prefixes and the exact symbology names; vCards; what a click hands on.
TEST(ResultActionsTest, ThePaneOffersBookNumbersAndVCardsEntriesInFixedOrder) {
  const std::tuple<const char*, const char*, bool> books[] = {
      {"9783161484100", "EAN-13", true}, {"9783161484100", "EAN_13", true}, {"9783161484100", "ISBN-13", true},
      {"9783161484100", "ean-13", false}, {"9783161484100", "QRCode", false}, // other names
      {"4006381333931", "EAN-13", false}, {"978316148410", "EAN-13", false}, {"97831614841000", "EAN-13", false}};
  for (const auto& [digits, symbol, book] : books)
    EXPECT_EQ(PaneFor({{digits, symbol}}), (Pane{{symbol, {{book ? "ISBN " + std::string(digits) + " bei Amazon" : digits,
                                                           book ? TaskIcon_Internet : TaskIcon_None, book}}}})) << digits << " " << symbol;
  EXPECT_EQ(Click("9791234567896", "ISBN-13"), (Calls{{"https://www.amazon.de/isbn-suche/s?keywords=9791234567896"}}));

  // vCards become address and communication in fixed order; addresses that cannot be handed on
  // (a fax, a control character) are shown, not offered.
  const std::pair<const char*, Pane> cards[] = {
      {"BEGIN:VCARD\nVERSION:3.0\nN:Muster;Erika\nTEL;TYPE=WORK:030 1\nTEL;TYPE=FAX:030 2\nEMAIL:e@x.de\x01\nEND:VCARD",
       {{"Kommunikation", {{"Tel1: 030 1", TaskIcon_Telefon, true}, {"Fax: 030 2", TaskIcon_Fax, false},
                           {"EMail: e@x.de\x01", TaskIcon_EMail, false}}}}},
      {"BEGIN:VCARD\nVERSION:3.0\nFN:Niemand\nEND:VCARD", {{"Kommunikation", {}}}}};
  for (const auto& [card, pane] : cards) EXPECT_EQ(PaneFor({{card, "QRCode"}}), pane);
  // Several results in their order; a vCard's own groups (ResultDialogTest shows them in the window).
  EXPECT_EQ(PaneFor({{"Erst das", "QRCode"}, {"BEGIN:VCARD\r\nVERSION:2.1\r\nADR;WORK:;;Weg 1;Bonn;;53111;DE\r\nEND:VCARD", "QR-Code"}}),
            (Pane{{"QRCode", {{"Erst das", TaskIcon_None, false}}}, {"VCard QR-Code", {{"Weg 1", -1, false}, {"53111 Bonn", -1, false},
                  {"DE", -1, false}}}, {"Kommunikation", {}}}));
  EXPECT_TRUE(PaneFor({}).empty());
}

// The address in a line is the word from its scheme to the next blank; hosts in other letters
// show their ASCII form beside. Typed texts give their own entries.
TEST(ResultActionsTest, EachTextShowsItsEntriesAndOffersOnlyItsAddresses) {
  // shown: the line unless given; none: a plain entry
  const int web = TaskIcon_Internet, mail = TaskIcon_EMail, tel = TaskIcon_Telefon, sms = TaskIcon_Mobil, none = TaskIcon_None;
  const struct { const char* line; int icon; const char* address; const char* shown = nullptr; size_t entries = 1; } cases[] = {
      {"URL:http://x.de", web, "http://x.de"}, {"(www.x.de)", web, "http://www.x.de"},
      {"Siehe HTTPS://x.de/a?b=1, danach", web, "https://x.de/a?b=1"}, {"Ruf an: tel:+49-30-1234.", tel, "tel:+49301234"},
      {"\xE2\x80\x9Ehttps://x.de/\xC3\xA4\xE2\x80\x9C.", web, "https://x.de/\xC3\xA4"},
      {"Wiki: https://de.wikipedia.org/wiki/Satz_(Logik).", web, "https://de.wikipedia.org/wiki/Satz_(Logik)"},
      {"Schreib an mailto:x@y.de?attach=/etc/passwd&body=Hallo%20du!", mail, "mailto:x@y.de?body=Hallo%20du"},
      {"Tel: 030 1234, Web: www.x.de", web, "http://www.x.de"}, {"Hotel: 030 1234", none, ""}, // "Tel:" alone, "tel:" in a word
      {"mehr.www.x.de", none, ""}, {"www.", none, ""}, {"-h http:// https://-", none, ""},
      // a control character, one that turns the shown text around, not UTF-8
      {"http://x.de/\x01", none, ""}, {"http://x.de/\xE2\x80\xAE" "fdp.exe", none, ""}, {"www.x.de/\xC3", none, ""},
      {"https://B\xC3\xBC" "cher.de/neu", web, "https://xn--bcher-kva.de/neu", "https://B\xC3\xBC" "cher.de/neu (xn--bcher-kva.de)"},
      {"www.\xD0\xB0pple.com", web, "http://www.xn--pple-43d.com", "www.\xD0\xB0pple.com (www.xn--pple-43d.com)"},
      {"BEGIN:VCARD\nEMAIL:m@m\xC3\xBCller.de\nEND:VCARD", mail, "mailto:m@xn--mller-kva.de",
       "EMail: m@m\xC3\xBCller.de (xn--mller-kva.de)"},
      {"geo:52.520008,13.404954", web, "https://www.openstreetmap.org/?mlat=52.520008&mlon=13.404954#map=17/52.520008/13.404954",
       "Ort: 52.520008, 13.404954 (Karte)"},
      {"SMSTO:+49 171 123:Bitte 14:30 & Tor 2", sms, "sms:+49171123?body=Bitte%2014%3A30%20%26%20Tor%202", "SMS an +49 171 123", 2},
      {"sms:+4930?body=Hallo", sms, "sms:+4930?body=Hallo", "SMS an +4930", 2},
  };
  for (const auto& c : cases) {
    const auto entries = Entries(c.line);
    EXPECT_EQ(std::pair(entries.size(), entries.at(0)),
              std::pair(c.entries, ResultEntry{c.shown ? c.shown : c.line, c.icon, c.address, ResultAction_Open, ""})) << c.line;
  }

  // WLAN copies its password without joining; MeCard gives a vCard's entries; Termin goes to the
  // calendar rebuilt from its fields; hostile values in any kind never become other addresses.
  const std::string head = "BEGIN:VEVENT\r\nSUMMARY:Inventur\r\nDTSTART:20261208T080000Z\r\n", tail = "LOCATION:Halle 3\r\nEND:VEVENT";
  const std::pair<std::string, std::string> typed[] = {
      {"WIFI:T:WPA;S:B\xC3\xBCro;P:ge\\;heim;H:true;;",
       "Netzwerk: B\xC3\xBCro | Verschl\xC3\xBCsselung: WPA | Verborgenes Netzwerk | Passwort kopieren copy:ge;heim | "},
      {"WIFI:T:nopass;S:Gast;;", "Netzwerk: Gast | Verschl\xC3\xBCsselung: keine | "},
      {"MECARD:N:M\xC3\xBCller,J\xC3\xBCrgen;TEL:030 123;EMAIL:j@example.de;URL:www.example.de;;",
       "M\xC3\xBCller,J\xC3\xBCrgen | Tel: 030 123 > tel:030123 | EMail: j@example.de > mailto:j@example.de | "
       "Internet: www.example.de > http://www.example.de | "},
      {head + "ATTACH:file:///etc/passwd\r\n" + tail, // only the fields we know go on
       "Termin: Inventur | Beginn: " + LocalDateTimeText(1796716800) + " | Ort: Halle 3 | In den Kalender \xC3\xBC" "bernehmen calendar:" +
           head + tail + " | "}};
  for (const auto& [text, summary] : typed) EXPECT_EQ(Summary(text), summary);

  // Hostile values in every kind never become other addresses.
  const std::string values[] = {"$(rm -rf ~)`id`;|&", "file:///etc/passwd", "javascript:alert(1)", "\x1b[31m\r\nATTACH:file:///x",
                                std::string(10000, 'x')};
  for (const std::string& value : values)
    for (const std::string& text : {WlanText({value, "WPA", value, false}), "geo:" + value, SmsText({value, value}),
                                     "SMSTO:" + value + ":" + value, TerminText({value, value, value, 1796716800, 0}),
                                     MeCardText({value, value, value, value, value, value})})
      for (const ResultEntry& e : Entries(text))
        EXPECT_TRUE(e.address.IsEmpty() || (DesktopAddressFor(e.address) == e.address && !e.address.view().starts_with("file:") &&
                                             !e.address.view().starts_with("javascript:"))) << e.address.str();
}

// Addresses are rebuilt from their parts, hosts in ASCII; the opener gets one clean argument or is reported missing.
TEST(DesktopActionsTest, AddressesAreRebuiltAndTheOpenerGetsOneCleanArgument) {
  const std::pair<const char*, const char*> cases[] = {
      // mail: recipients and subject/body only, percent-encoded anew
      {"mailto:x@y.de?attach=/etc/passwd&body=Gr%C3%BC%C3%9Fe%0D%0Aich", "mailto:x@y.de?body=Gr%C3%BC%C3%9Fe%0D%0Aich"},
      {"MAILTO:a@x.de,b%40c@y.de?cc=z@evil.de&Subject=Hi there&bcc=q@evil.de&subject=2nd", "mailto:a@x.de,b%40c@y.de?subject=Hi%20there"},
      {"mailto:x@y.de?subject=a%0Ab", ""}, // a line break in the subject: headers of one's own
      {"mailto:x@y.de?body=%00", ""}, {"mailto:?subject=niemand", ""}, {"mailto:x@-y.de", ""},
      {"mailto:m%C3%BCller@b%C3%BCcher.de", "mailto:m%C3%BCller@xn--bcher-kva.de"},
      // telephone: digits, ext and phone-context
      {"tel:%2B49 (30) 1234;ext=5-6;isub=x;foo=bar", "tel:+49301234;ext=56"}, {"tel:030 1;phone-context=+49", "tel:0301;phone-context=+49"},
      {"tel:\x7F" "030", ""}, {"tel:keine", ""}, {"sms:0171?body=a&x=file:///etc", "sms:0171?body=a"},
      // web: scheme in lower case, hosts in ASCII, nothing else
      {"HTTPS://Example.de/A b", ""}, {"HTTPS://Example.de:8080/A?q=\xC3\xA4#x", "https://Example.de:8080/A?q=\xC3\xA4#x"},
      {"www.b\xC3\xBC" "cher.de", "http://www.xn--bcher-kva.de"}, {"http://user@[::1]:80/", "http://user@[::1]:80/"},
      {"http://x.de:8o/", ""}, {"http://x.de/\xC2\x85", ""} /* C1 control */, {"-h", ""}, {"file:///etc/passwd", ""},
      {"javascript:alert(1)", ""},
  };
  for (const auto& [text, address] : cases) EXPECT_EQ(DesktopAddressFor(text), address) << text;
  const std::pair<CString, const char*> built[] = { // a plain mail address is taken as it is
      {MailAddressFor("erika muster@x.de"), "mailto:erika%20muster@x.de"}, {MailAddressFor("erika@x.de?cc=y"), ""},
      {TelephoneAddressFor("(030) 123-45 67", "Deutschland"), "tel:0301234567;phone-context=+49"},
      {TelephoneAddressFor("+1-418-656-9254;ext=102", "Canada"), "tel:+14186569254;ext=102"},
      {TelephoneAddressFor("030 1", "Atlantis"), "tel:0301"}, {WebAddressFor("mailto:x@y.de"), ""}};
  for (const auto& [address, expected] : built) EXPECT_EQ(address, expected);

  // A hostile text reaches the opener as one argument and runs nothing; a missing opener is reported.
  const std::string canary = std::filesystem::temp_directory_path() / "codewerk-canary";
  std::filesystem::remove(canary);
  const std::string word = "www.x.de/;rm$(touch%20" + canary + ")`touch%20" + canary + "`\"q\"|cat";
  EXPECT_EQ(Click("Siehe " + word + " und -rf ~", "QRCode"), (Calls{{"http://" + word}}));
  EXPECT_FALSE(std::filesystem::exists(canary));
  {
    RecordingOpener opener;
    EXPECT_FALSE(OpenAddress("--help") || OpenAddress("mailto:x@y.de\nX-Header: 1"));
    EXPECT_TRUE(OpenAddress("mailto:x@y.de?attach=/etc/passwd"));
    EXPECT_EQ(opener.Calls(), (Calls{{"mailto:x@y.de"}}));
  }
  setenv("CODEWERK_OPENER", "/nonexistent/opener", 1);
  CString shown;
  auto previous = SetMessageBoxHandler([&](const CString& text, UINT) { shown = text; return IDOK; });
  EXPECT_FALSE(GoToInternet("www.x.de"));
  SetMessageBoxHandler(previous), unsetenv("CODEWERK_OPENER");
  EXPECT_NE(shown.Find("/nonexistent/opener"), -1);

  // Host names: Punycode of the sample strings of its definition; names that are no host names.
  const std::pair<std::u32string, const char*> samples[] = {
      {U"Pro\u010Dprost\u011Bnemluv\u00ED\u010Desky", "Proprostnemluvesky-uyb24dma41a"},
      {U"\u5B89\u5BA4\u5948\u7F8E\u6075-with-SUPER-MONKEYS", "-with-SUPER-MONKEYS-pc58ag80a8qai00g7n9n"},
      {U"-> $1.00 <-", "-> $1.00 <--"},
  };
  const auto encoded = [](const std::u32string& text) { std::string ascii; return PunycodeEncode(text, ascii) ? ascii : "(refused)"; };
  for (const auto& [unicode, punycode] : samples) EXPECT_EQ(encoded(unicode), punycode);
  EXPECT_EQ(encoded(std::u32string(U"\U0010FFFF") + std::u32string(5000, U'\u00FC')), "(refused)"); // overflow
  EXPECT_EQ(AsciiHostName("M\xC3\x9C" "NCHEN.De."), "xn--mnchen-3ya.de");
  for (const char* bad : {"a b.de", "x..de", "-x.de", "\xE2\x80\x8Bx.de", "x\xEF\xBC\x8F.de", "\xC3"})
    EXPECT_EQ(AsciiHostName(bad), "") << bad;
}
