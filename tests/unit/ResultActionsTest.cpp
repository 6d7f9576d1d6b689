// What the "Ergebnis" dialog makes of decoded texts, worked out without a window, and the
// addresses its entries hand to the desktop.
#include "RecordingOpener.h"
#include "outside/DesktopActions.h"
#include "outside/MessageBox.h"
#include "results/DecodeResultTasksDialog.h"
#include "results/ResultClassification.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

struct Shown {
  std::string text;
  int icon;
  bool clickable;
  friend bool operator==(const Shown&, const Shown&) = default;
  friend std::ostream& operator<<(std::ostream& os, const Shown& s) {
    return os << "{" << s.text << ", " << s.icon << ", " << s.clickable << "}";
  }
};

using Pane = std::vector<std::pair<std::string, std::vector<Shown>>>;

// The pane's groups and entries for these results, as the dialog would lay them out.
Pane PaneFor(const std::vector<std::pair<std::string, std::string>>& results) {
  CDecodeResultArray list;
  CArray<POINT, POINT> none;
  for (const auto& [text, symbol] : results) list.AddDecodeResult(text.c_str(), symbol.c_str(), none);
  CDecodeResultTasksDialog dialog(list, nullptr);
  dialog.BuildTasksPaneMain();
  Pane pane;
  for (const auto& group : dialog.GetTasksPane().GetGroups()) {
    pane.push_back({group.caption.str(), {}});
    for (const auto& task : group.tasks) pane.back().second.push_back({task.text.str(), task.icon, bool(task.action)});
  }
  EXPECT_FALSE(dialog.GetHandle()); // worked out without making a window
  return pane;
}

// Runs the first clickable entry of the only group and returns what the opener was given.
std::vector<std::vector<std::string>> Click(const std::string& text, const std::string& symbol) {
  RecordingOpener opener;
  CDecodeResultArray list;
  CArray<POINT, POINT> none;
  list.AddDecodeResult(text.c_str(), symbol.c_str(), none);
  CDecodeResultTasksDialog dialog(list, nullptr);
  dialog.BuildTasksPaneMain();
  for (const auto& group : dialog.GetTasksPane().GetGroups())
    for (const auto& task : group.tasks)
      if (task.action) {
        task.action();
        return opener.Calls();
      }
  return {};
}

const std::string kVCardWithoutAddress =
    "BEGIN:VCARD\nVERSION:3.0\nN:Muster;Erika\nTEL;TYPE=WORK:030 1\nTEL;TYPE=FAX:030 2\nEMAIL:e@x.de\nEND:VCARD";

} // namespace

TEST(ResultActionsTest, BookNumbersOnlyForBookPrefixesAndTheExactSymbologyNames) {
  for (const char* symbol : {"EAN-13", "EAN_13", "ISBN-13"})
    EXPECT_EQ(PaneFor({{"9783161484100", symbol}}),
              (Pane{{symbol, {{"ISBN 9783161484100 bei Amazon", TaskIcon_Internet, true}}}}))
        << symbol;
  const std::pair<const char*, const char*> plain[] = {
      {"9783161484100", "ean-13"}, {"9783161484100", "Ean_13"}, {"9783161484100", "QRCode"}, // other names
      {"4006381333931", "EAN-13"}, {"1234567890123", "EAN-13"},                             // no book prefix
      {"978316148410", "EAN-13"},  {"97831614841000", "EAN-13"}};                           // not 13 digits
  for (const auto& [digits, symbol] : plain)
    EXPECT_EQ(PaneFor({{digits, symbol}}), (Pane{{symbol, {{digits, TaskIcon_None, false}}}})) << digits << " " << symbol;
  EXPECT_EQ(Click("9791234567896", "ISBN-13"),
            (std::vector<std::vector<std::string>>{{"https://www.amazon.de/isbn-suche/s?keywords=9791234567896"}}));
}

TEST(ResultActionsTest, TheAddressInALineIsTheWordFromItsSchemeToTheNextBlank) {
  const struct {
    const char* line;
    int icon;        // TaskIcon_None: a plain entry
    const char* address;
  } cases[] = {
      {"URL:http://x.de", TaskIcon_Internet, "http://x.de"},
      {"(www.x.de)", TaskIcon_Internet, "http://www.x.de"},
      {"Siehe HTTPS://x.de/a?b=1, danach", TaskIcon_Internet, "https://x.de/a?b=1"},
      {"\xE2\x80\x9Ehttps://x.de/\xC3\xA4\xE2\x80\x9C.", TaskIcon_Internet, "https://x.de/\xC3\xA4"},
      {"Wiki: https://de.wikipedia.org/wiki/Satz_(Logik).", TaskIcon_Internet, "https://de.wikipedia.org/wiki/Satz_(Logik)"},
      {"Schreib an mailto:x@y.de?attach=/etc/passwd&body=Hallo%20du!", TaskIcon_EMail, "mailto:x@y.de?body=Hallo%20du"},
      {"Ruf an: tel:+49-30-1234.", TaskIcon_Telefon, "tel:+49301234"},
      {"Tel: 030 1234, Web: www.x.de", TaskIcon_Internet, "http://www.x.de"}, // "Tel:" alone is no number
      {"Hotel: 030 1234", TaskIcon_None, ""},                                 // "tel:" inside a word
      {"mehr.www.x.de", TaskIcon_None, ""},
      {"www.", TaskIcon_None, ""},
      {"-h http:// https://-", TaskIcon_None, ""},
      {"http://x.de/\x01", TaskIcon_None, ""},       // a control character
      {"http://x.de/\xE2\x80\xAE" "fdp.exe", TaskIcon_None, ""}, // turns the shown text around
      {"www.x.de/\xC3", TaskIcon_None, ""},          // not UTF-8
  };
  for (const auto& c : cases) {
    const auto groups = ClassifyDecodeResult(c.line, "QRCode");
    ASSERT_EQ(groups.size(), 1u);
    ASSERT_EQ(groups[0].entries.size(), 1u);
    EXPECT_EQ(groups[0].entries[0], (ResultEntry{c.line, c.icon, c.address})) << c.line;
  }
  EXPECT_EQ(Click("Siehe (www.example.de).", "QRCode"), (std::vector<std::vector<std::string>>{{"http://www.example.de"}}));
}

TEST(ResultActionsTest, HostsInOtherLettersShowTheirAsciiFormBeside) {
  EXPECT_EQ(ClassifyDecodeResult("Shop: https://B\xC3\xBC" "cher.de/neu", "QRCode")[0].entries[0],
            (ResultEntry{"Shop: https://B\xC3\xBC" "cher.de/neu (xn--bcher-kva.de)", TaskIcon_Internet,
                         "https://xn--bcher-kva.de/neu"}));
  // "apple.com" in Cyrillic letters
  EXPECT_EQ(ClassifyDecodeResult("www.\xD0\xB0pple.com", "QRCode")[0].entries[0].text, "www.\xD0\xB0pple.com (www.xn--pple-43d.com)");
  const auto communication = ClassifyDecodeResult("BEGIN:VCARD\nEMAIL:m@m\xC3\xBCller.de\nEND:VCARD", "QRCode")[0];
  EXPECT_EQ(communication.entries, (std::vector<ResultEntry>{{"EMail: m@m\xC3\xBCller.de (xn--mller-kva.de)",
                                                              TaskIcon_EMail, "mailto:m@xn--mller-kva.de"}}));
}

TEST(ResultActionsTest, VCardsBecomeAddressAndCommunicationInFixedOrder) {
  EXPECT_EQ(PaneFor({{kVCardWithoutAddress, "QRCode"}}),
            (Pane{{"Kommunikation",
                   {{"Tel1: 030 1", TaskIcon_Telefon, true},
                    {"Fax: 030 2", TaskIcon_Fax, false},
                    {"EMail: e@x.de", TaskIcon_EMail, true}}}}));
  EXPECT_EQ(PaneFor({{"BEGIN:VCARD\nVERSION:3.0\nFN:Niemand\nEND:VCARD", "QRCode"}}), (Pane{{"Kommunikation", {}}}));
  // Addresses that cannot be handed on are shown, not offered.
  EXPECT_EQ(PaneFor({{"BEGIN:VCARD\nEMAIL:e@x.de\x01\nURL:http://x.de/\x02\nEND:VCARD", "QRCode"}}),
            (Pane{{"Kommunikation", {{"EMail: e@x.de\x01", TaskIcon_EMail, false}, {"Internet: http://x.de/\x02", TaskIcon_Internet, false}}}}));

  const Pane pane = PaneFor({{"Erst das", "QRCode"},
                             {"BEGIN:VCARD\r\nVERSION:2.1\r\nN:Muster;Max\r\nADR;WORK:;;Weg 1;Bonn;;53111;DE\r\n"
                              "TEL;CELL:0171 1\r\nURL:www.max.de\r\nEND:VCARD",
                              "QR-Code"}});
  ASSERT_EQ(pane.size(), 3u);
  EXPECT_EQ(pane[0].first, "QRCode");
  EXPECT_EQ(pane[1], (std::pair<std::string, std::vector<Shown>>{
                         "VCard QR-Code",
                         {{"Max Muster", -1, false}, {"Weg 1", -1, false}, {"53111 Bonn", -1, false}, {"DE", -1, false}}}));
  EXPECT_EQ(pane[2].second, (std::vector<Shown>{{"Mobil: 0171 1", TaskIcon_Mobil, true},
                                                {"Internet: www.max.de", TaskIcon_Internet, true}}));
  EXPECT_TRUE(PaneFor({}).empty());
}

TEST(DesktopActionsTest, AddressesAreRebuiltFromTheirParts) {
  const std::pair<const char*, const char*> cases[] = {
      // mail: recipients and subject/body only, percent-encoded anew
      {"mailto:x@y.de?attach=/etc/passwd&body=Gr%C3%BC%C3%9Fe%0D%0Aich", "mailto:x@y.de?body=Gr%C3%BC%C3%9Fe%0D%0Aich"},
      {"MAILTO:a@x.de,b%40c@y.de?cc=z@evil.de&Subject=Hi there&bcc=q@evil.de&subject=2nd", "mailto:a@x.de,b%40c@y.de?subject=Hi%20there"},
      {"mailto:x@y.de?subject=a%0Ab", ""}, // a line break in the subject: headers of one's own
      {"mailto:x@y.de?body=%00", ""},
      {"mailto:?subject=niemand", ""},
      {"mailto:x@-y.de", ""},
      {"mailto:m%C3%BCller@b%C3%BCcher.de", "mailto:m%C3%BCller@xn--bcher-kva.de"},
      // telephone: digits, ext and phone-context
      {"tel:%2B49 (30) 1234;ext=5-6;isub=x;foo=bar", "tel:+49301234;ext=56"},
      {"tel:030 1;phone-context=+49", "tel:0301;phone-context=+49"},
      {"tel:\x7F" "030", ""},
      {"tel:keine", ""},
      // web: scheme in lower case, hosts in ASCII, nothing else
      {"HTTPS://Example.de/A b", ""},
      {"HTTPS://Example.de:8080/A?q=\xC3\xA4#x", "https://Example.de:8080/A?q=\xC3\xA4#x"},
      {"www.b\xC3\xBC" "cher.de", "http://www.xn--bcher-kva.de"},
      {"http://user@[::1]:80/", "http://user@[::1]:80/"},
      {"http://x.de:8o/", ""},
      {"http://x.de/\xC2\x85", ""}, // a C1 control character
      {"-h", ""},
      {"file:///etc/passwd", ""},
      {"javascript:alert(1)", ""},
  };
  for (const auto& [text, address] : cases) EXPECT_EQ(DesktopAddressFor(text), address) << text;
  EXPECT_EQ(MailAddressFor("erika muster@x.de"), "mailto:erika%20muster@x.de"); // a plain address is taken as it is
  EXPECT_EQ(MailAddressFor("erika@x.de?cc=y"), "");
  EXPECT_EQ(TelephoneAddressFor("(030) 123-45 67", "Deutschland"), "tel:0301234567;phone-context=+49");
  EXPECT_EQ(TelephoneAddressFor("+1-418-656-9254;ext=102", "Canada"), "tel:+14186569254;ext=102");
  EXPECT_EQ(TelephoneAddressFor("030 1", "Atlantis"), "tel:0301");
  EXPECT_EQ(WebAddressFor("mailto:x@y.de"), "");
}

TEST(DesktopActionsTest, AHostileTextReachesTheOpenerAsOneArgumentAndRunsNothing) {
  const std::string canary = std::filesystem::temp_directory_path() / "codewerk-canary";
  std::filesystem::remove(canary);
  const std::string word = "www.x.de/;rm$(touch%20" + canary + ")`touch%20" + canary + "`\"q\"|cat";
  EXPECT_EQ(Click("Siehe " + word + " und -rf ~", "QRCode"), (std::vector<std::vector<std::string>>{{"http://" + word}}));
  EXPECT_FALSE(std::filesystem::exists(canary));
  RecordingOpener opener;
  EXPECT_FALSE(OpenAddress("--help"));
  EXPECT_FALSE(OpenAddress("mailto:x@y.de\nX-Header: 1"));
  EXPECT_TRUE(OpenAddress("mailto:x@y.de?attach=/etc/passwd"));
  EXPECT_EQ(opener.Calls(), (std::vector<std::vector<std::string>>{{"mailto:x@y.de"}}));
}

TEST(DesktopActionsTest, AMissingOpenerIsReportedNotHidden) {
  setenv("CODEWERK_OPENER", "/nonexistent/opener", 1);
  CString shown;
  auto previous = SetMessageBoxHandler([&](const CString& text, UINT) { shown = text; return IDOK; });
  EXPECT_FALSE(GoToInternet("www.x.de"));
  SetMessageBoxHandler(previous);
  unsetenv("CODEWERK_OPENER");
  EXPECT_NE(shown.Find("/nonexistent/opener"), -1);
}
