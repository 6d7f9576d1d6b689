// The "Ergebnis" dialog on screen: its groups and entries, clicks and the keyboard.
#include "RecordingOpener.h"
#include "TestPictures.h"
#include "UiTesting.h"
#include "decode/CodeReader.h"
#include "outside/TempFiles.h"
#include "outside/WxText.h"
#include "results/DecodeResultTasksDialog.h"

#include <gtk/gtk.h>
#include <gtest/gtest.h>
#include <wx/clipbrd.h>
#include <wx/display.h>
#include <wx/hyperlink.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/uiaction.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

CDecodeResultArray Results(const std::vector<std::pair<std::string, std::string>>& texts) {
  CDecodeResultArray list;
  CArray<POINT, POINT> none;
  for (const auto& [text, symbol] : texts) list.AddDecodeResult(text.c_str(), symbol.c_str(), none);
  return list;
}

const char* const kVCard =
    "BEGIN:VCARD\nVERSION:3.0\nN:M\xC3\xBCller;J\xC3\xBCrgen\nORG:B\xC3\xA4" "ckerei M\xC3\xBCller\n"
    "ADR;TYPE=WORK:;;Hauptstr. 1;Berlin;;10115;Deutschland\nTEL;TYPE=WORK:030 123456\nTEL;TYPE=FAX:030 123457\n"
    "TEL;TYPE=CELL:0171 98765\nEMAIL:info@baeckerei-mueller.de\nURL:www.baeckerei-mueller.de\nEND:VCARD";

// The text the toolkit draws for a label or a link, mnemonics and all taken as it takes them.
std::string Drawn(wxWindow* window) {
  GtkWidget* widget = window->GetHandle();
  if (GTK_IS_BUTTON(widget)) widget = gtk_bin_get_child(GTK_BIN(widget));
  return GTK_IS_LABEL(widget) ? gtk_label_get_text(GTK_LABEL(widget)) : "";
}

std::string ClipboardText() {
  wxClipboardLocker open;
  wxTextDataObject data;
  return !!open && wxTheClipboard->GetData(data) ? FromWx(data.GetText()).str() : std::string();
}

} // namespace

TEST(ResultDialogTest, AVCardShowsItsGroupsWithIconsAndClickableEntries) {
  const CDecodeResultArray results = Results({{kVCard, "QRCode"}});
  CDecodeResultTasksDialog dialog(results, nullptr);
  WhenModalShown([&](wxWindow* shown) {
    EXPECT_EQ(static_cast<wxDialog*>(shown)->GetTitle(), "Ergebnis");
    CMFCNextBaseActionTasksPane& pane = dialog.GetTasksPane();
    ASSERT_EQ(pane.GetGroups().size(), 2u);
    EXPECT_EQ(pane.GetGroups()[0].caption, "VCard QRCode");
    EXPECT_EQ(pane.GetGroups()[1].caption, "Kommunikation");
    // Address lines are plain text; telephone, mobile, mail and web are links; the fax is not.
    EXPECT_NE(dynamic_cast<wxStaticText*>(pane.GetTaskWindow(0, 0)), nullptr);
    const auto& communication = pane.GetGroups()[1].tasks;
    ASSERT_EQ(communication.size(), 5u);
    for (int i = 0; i < 5; ++i)
      EXPECT_EQ(dynamic_cast<wxHyperlinkCtrl*>(pane.GetTaskWindow(1, i)) != nullptr, communication[static_cast<size_t>(i)].text.Left(4) != "Fax:")
          << communication[static_cast<size_t>(i)].text.str();
    int icons = 0;
    for (wxWindow* child : pane.GetChildren())
      if (auto* bitmap = dynamic_cast<wxStaticBitmap*>(child)) icons += bitmap->GetBitmap().IsOk();
    EXPECT_EQ(icons, 5 + 5); // one (possibly empty) icon place per entry keeps the texts aligned
    EXPECT_GE(shown->GetClientSize().x, 320);
    SaveScreenshot(shown, "result-dialog-vcard");
    static_cast<wxDialog*>(shown)->EndModal(wxID_CANCEL);
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST(ResultDialogTest, ClickingOrPressingEnterOpensTheEntrysAddress) {
  RecordingOpener opener;
  const CDecodeResultArray results =
      Results({{"9783161484100", "EAN-13"}, {"Hallo\nwww.example.de", "QRCode"}, {"nur Text", "QRCode"}});
  CDecodeResultTasksDialog dialog(results, nullptr);
  WhenModalShown([&](wxWindow* shown) {
    SaveScreenshot(shown, "result-dialog-three-results");
    ClickOn(dialog.GetTasksPane().GetTaskWindow(1, 1));
    // The keyboard alone: Tab goes on to the next result's "Text kopieren" and its link, Enter runs it.
    wxUIActionSimulator keys;
    dialog.GetTasksPane().GetTaskWindow(0, 0)->SetFocus();
    Pump(100);
    keys.Char(WXK_TAB);
    Pump(100);
    EXPECT_EQ(wxWindow::FindFocus(), dialog.GetTasksPane().GetCopyButton(1));
    keys.Char(WXK_TAB);
    Pump(100);
    EXPECT_EQ(wxWindow::FindFocus(), dialog.GetTasksPane().GetTaskWindow(1, 1));
    keys.Char(WXK_RETURN);
    Pump(200);
    static_cast<wxDialog*>(shown)->EndModal(wxID_CANCEL);
  });
  dialog.DoModal();
  EXPECT_EQ(opener.Calls(2), (std::vector<std::vector<std::string>>{{"http://www.example.de"}, {"http://www.example.de"}}));
}

TEST(ResultDialogTest, AmpersandsAndUnderscoresAreShownAsTheyAre) {
  const std::vector<std::string> lines = {"Tom & Jerry", "max_muster@x.de", "Siehe www.x.de/a_b?c=1&d=2", "&&__&_"};
  const CDecodeResultArray results = Results({{lines[0] + "\n" + lines[1] + "\n" + lines[2] + "\n" + lines[3], "Q_R&Code"}});
  CDecodeResultTasksDialog dialog(results, nullptr);
  WhenModalShown([&](wxWindow* shown) {
    CMFCNextBaseActionTasksPane& pane = dialog.GetTasksPane();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Drawn(pane.GetTaskWindow(0, i)), lines[static_cast<size_t>(i)]);
    EXPECT_NE(dynamic_cast<wxHyperlinkCtrl*>(pane.GetTaskWindow(0, 2)), nullptr);
    EXPECT_NE(FindChild<wxStaticText>(&pane), nullptr);
    EXPECT_EQ(Drawn(FindChild<wxStaticText>(&pane)), "Q_R&Code"); // the caption
    SaveScreenshot(shown, "result-dialog-mnemonics");
    static_cast<wxDialog*>(shown)->EndModal(wxID_CANCEL);
  });
  dialog.DoModal();
}

TEST(ResultDialogTest, NoLinkHasTheFocusWhenItOpensSoAnEnterOpensNothing) {
  RecordingOpener opener;
  const CDecodeResultArray results = Results({{"www.example.de", "QRCode"}, {"9783161484100", "EAN-13"}});
  CDecodeResultTasksDialog dialog(results, nullptr);
  WhenModalShown([&](wxWindow* shown) {
    EXPECT_EQ(dynamic_cast<wxHyperlinkCtrl*>(wxWindow::FindFocus()), nullptr);
    wxUIActionSimulator().Char(WXK_RETURN);
    Pump(300);
    if (static_cast<wxDialog*>(shown)->IsModal()) static_cast<wxDialog*>(shown)->EndModal(wxID_CANCEL);
  });
  dialog.DoModal();
  EXPECT_TRUE(opener.Calls(1, 500).empty());
}

// A version-40 code read from a picture: the dialog wraps its long line, fits the screen, scrolls
// to the rest, and "Text kopieren" puts the whole text on the clipboard.
TEST(ResultDialogTest, ALongCodeIsWrappedScrolledAndCopiedWhole) {
  std::string text = "https://www.example.de/" + std::string(700, 'x') + "\n";
  for (int line = 0; text.size() < 2953; ++line) text += "Zeile " + std::to_string(line) + ": Inhalt des Codes & mehr_davon\n";
  text.resize(2953);
  const auto path = std::filesystem::temp_directory_path() / ("codewerk-v40-" + std::to_string(getpid()) + ".png");
  ASSERT_TRUE(SavePng(WithQuietZone(RenderCode(text, 3, TestEncoder::QREncode), 12), path.string()));
  CDecodeResultArray results; // read by both back ends
  ASSERT_TRUE(CodeReader(Decoder_ZXing, false).Read(path.c_str(), results));
  ASSERT_TRUE(CodeReader(Decoder_ZBar, false).Read(path.c_str(), results));
  std::filesystem::remove(path);
  ASSERT_EQ(results.GetSize(), 2);

  CDecodeResultTasksDialog dialog(results, nullptr);
  WhenModalShown([&](wxWindow* shown) {
    CMFCNextBaseActionTasksPane& pane = dialog.GetTasksPane();
    const wxRect screen = wxDisplay(0u).GetClientArea();
    EXPECT_TRUE(screen.Contains(shown->GetScreenRect())) << shown->GetScreenRect().GetSize().x << "x" << shown->GetScreenRect().GetSize().y;
    EXPECT_GT(shown->GetSize().y, screen.height / 2); // grown with its content
    EXPECT_TRUE(pane.IsScrollbarShown(wxVERTICAL));
    EXPECT_GT(pane.GetVirtualSize().y, pane.GetClientSize().y);
    for (size_t i = 0; i < pane.GetGroups()[0].tasks.size(); ++i) {
      const wxWindow* entry = pane.GetTaskWindow(0, static_cast<int>(i));
      EXPECT_LE(entry->GetPosition().x + entry->GetSize().x, pane.GetClientSize().x) << i; // nothing runs off
    }
    EXPECT_GT(pane.GetTaskWindow(0, 0)->GetSize().y, 3 * pane.GetTaskWindow(0, 1)->GetSize().y); // the wrapped link
    SaveScreenshot(shown, "result-dialog-version-40");
    for (int group : {0, 1}) {
      pane.Scroll(0, pane.GetCopyButton(group)->GetPosition().y / 12); // where the user scrolls to
      Pump(100);
      ClickOn(pane.GetCopyButton(group));
      EXPECT_EQ(ClipboardText(), text) << group;
      wxTheClipboard->Clear();
    }
    static_cast<wxDialog*>(shown)->EndModal(wxID_CANCEL);
  });
  dialog.DoModal();
}

TEST(ResultDialogTest, WLANCopiesItsPasswordAndATerminOpensAsOurOwnCalendarFile) {
  RecordingOpener opener;
  const CDecodeResultArray results = Results({{"WIFI:T:WPA;S:Lager;P:sehr-geheim;;", "QRCode"},
                                              {"BEGIN:VEVENT\nSUMMARY:Inventur\nDTSTART:20261208T080000Z\nEND:VEVENT", "QRCode"}});
  CDecodeResultTasksDialog dialog(results, nullptr);
  WhenModalShown([&](wxWindow* shown) {
    SaveScreenshot(shown, "result-dialog-wlan-termin");
    CMFCNextBaseActionTasksPane& pane = dialog.GetTasksPane();
    ClickOn(pane.GetTaskWindow(0, 2)); // Netzwerk, Verschlüsselung, Passwort kopieren
    Pump(200);
    ClickOn(pane.GetTaskWindow(1, 2)); // Termin, Beginn, In den Kalender übernehmen
    Pump(300);
    static_cast<wxDialog*>(shown)->EndModal(wxID_CANCEL);
  });
  dialog.DoModal();
  EXPECT_EQ(ClipboardText(), "sehr-geheim");
  const auto calls = opener.Calls(1);
  ASSERT_EQ(calls.size(), 1u);
  ASSERT_EQ(calls[0].size(), 1u);
  char folder[MAX_PATH];
  ASSERT_TRUE(GetTempPathA(MAX_PATH, folder));
  EXPECT_EQ(calls[0][0].rfind(folder, 0), 0u) << calls[0][0];
  EXPECT_EQ(calls[0][0].substr(calls[0][0].size() - 4), ".ics");
  std::ifstream ics(calls[0][0]);
  const std::string content((std::istreambuf_iterator<char>(ics)), {});
  EXPECT_NE(content.find("BEGIN:VCALENDAR"), std::string::npos);
  EXPECT_NE(content.find("SUMMARY:Inventur\r\nDTSTART:20261208T080000Z"), std::string::npos);
}
