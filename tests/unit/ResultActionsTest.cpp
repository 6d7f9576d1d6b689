// What the "Ergebnis" dialog makes of decoded texts, worked out without a window, and the
// addresses its entries hand to the desktop.
#include "RecordingOpener.h"
#include "outside/DesktopActions.h"
#include "outside/MessageBox.h"
#include "results/DecodeResultTasksDialog.h"

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

TEST(ResultActionsTest, BookNumbersOnlyForTheExactSymbologyNames) {
  for (const char* symbol : {"EAN-13", "EAN_13", "ISBN-13"})
    EXPECT_EQ(PaneFor({{"9783161484100", symbol}}),
              (Pane{{symbol, {{"ISBN 9783161484100 bei Amazon", TaskIcon_Internet, true}}}}))
        << symbol;
  for (const char* symbol : {"ean-13", "Ean_13", "isbn-13"})
    EXPECT_EQ(PaneFor({{"9783161484100", symbol}}), (Pane{{symbol, {{"9783161484100", TaskIcon_None, false}}}}));
  EXPECT_EQ(PaneFor({{"1234567890123", "EAN-13"}})[0].second[0].text, "ISBN 1234567890123 bei Amazon"); // no check
  EXPECT_EQ(Click("9783161484100", "EAN-13"),
            (std::vector<std::vector<std::string>>{{"http://www.amazon.de/isbn-suche/s?keywords=9783161484100"}}));
}

TEST(ResultActionsTest, LinesWithAWebAddressBecomeLinks) {
  EXPECT_EQ(PaneFor({{"Hallo Welt\nwww.example.de\nWWW.EXAMPLE.DE\nhttps://example.de\nSiehe http://x.de/a hier", "QRCode"}}),
            (Pane{{"QRCode",
                   {{"Hallo Welt", TaskIcon_None, false},
                    {"www.example.de", TaskIcon_Internet, true},
                    {"WWW.EXAMPLE.DE", TaskIcon_Internet, true},
                    {"https://example.de", TaskIcon_None, false}, // neither "http://" nor "www."
                    {"Siehe http://x.de/a hier", TaskIcon_Internet, true}}}}));
  EXPECT_EQ(Click("Hallo\nwww.example.de", "QRCode"), (std::vector<std::vector<std::string>>{{"http://www.example.de"}}));
  EXPECT_EQ(Click("Siehe http://x.de/a hier", "QRCode"), (std::vector<std::vector<std::string>>{{"http://x.de/a"}}));
}

TEST(ResultActionsTest, VCardsBecomeAddressAndCommunicationInFixedOrder) {
  EXPECT_EQ(PaneFor({{kVCardWithoutAddress, "QRCode"}}),
            (Pane{{"Kommunikation",
                   {{"Tel1: 030 1", TaskIcon_Telefon, true},
                    {"Fax: 030 2", TaskIcon_Fax, false},
                    {"EMail: e@x.de", TaskIcon_EMail, true}}}}));
  EXPECT_EQ(PaneFor({{"BEGIN:VCARD\nVERSION:3.0\nFN:Niemand\nEND:VCARD", "QRCode"}}), (Pane{{"Kommunikation", {}}}));

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

TEST(DesktopActionsTest, AddressesAreMadeSafeForTheirScheme) {
  EXPECT_EQ(MailAddressFor("erika muster@x.de?cc=y&z"), "mailto:erika%20muster@x.de%3Fcc=y%26z");
  EXPECT_EQ(TelephoneAddressFor("(030) 123-45 67", "Deutschland"), "tel:0301234567;phone-context=+49");
  EXPECT_EQ(TelephoneAddressFor("+1-418-656-9254;ext=102", "Canada"), "tel:+14186569254;ext=102");
  EXPECT_EQ(TelephoneAddressFor("030 1", "Atlantis"), "tel:0301");
  EXPECT_EQ(TelephoneAddressFor("keine Nummer", ""), "");
  EXPECT_EQ(WebAddressFor("https://x.de"), "https://x.de");
  EXPECT_EQ(WebAddressFor("-h"), ""); // never an option for the opener
  EXPECT_EQ(WebAddressFor("file:///etc/passwd"), "");
  EXPECT_EQ(WebAddressFor("javascript:alert(1)"), "");
}

TEST(DesktopActionsTest, AHostileTextReachesTheOpenerAsOneArgumentAndRunsNothing) {
  const std::string canary = std::filesystem::temp_directory_path() / "codewerk-canary";
  std::filesystem::remove(canary);
  const std::string text = "www.x.de; rm -rf ~ $(touch " + canary + ") `touch " + canary + "` \"quoted\" | cat";
  EXPECT_EQ(Click(text, "QRCode"), (std::vector<std::vector<std::string>>{{"http://" + text}}));
  EXPECT_FALSE(std::filesystem::exists(canary));
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
