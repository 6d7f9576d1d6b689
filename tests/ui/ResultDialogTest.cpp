// The "Ergebnis" dialog on screen: its groups and entries, clicks and the keyboard.
#include "RecordingOpener.h"
#include "UiTesting.h"
#include "decode/CodeReader.h"
#include "results/DecodeResultTasksDialog.h"

#include <gtk/gtk.h>
#include <wx/clipbrd.h>
#include <wx/display.h>
#include <wx/hyperlink.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

namespace {

// Shows the dialog of these results and runs check on it once it is up, then closes it.
void WithResultDialog(const CDecodeResultArray& results, const std::function<void(wxWindow*, CMFCNextBaseActionTasksPane&)>& check) {
  CDecodeResultTasksDialog dialog(results, nullptr);
  WhenModalShown([&](wxWindow* shown) {
    check(shown, dialog.GetTasksPane());
    if (static_cast<wxDialog*>(shown)->IsModal()) EndModal(shown);
  });
  dialog.DoModal();
}

// The text the toolkit draws for a label or a link, mnemonics and all taken as it takes them.
std::string Drawn(wxWindow* window) {
  if (!window) return "(none)";
  GtkWidget* widget = window->GetHandle();
  if (GTK_IS_BUTTON(widget)) widget = gtk_bin_get_child(GTK_BIN(widget));
  return GTK_IS_LABEL(widget) ? gtk_label_get_text(GTK_LABEL(widget)) : "";
}

} // namespace

TEST(ResultDialogTest, AVCardShowsItsGroupsWithIconsAndClickableEntries) {
  const char* const vCard =
      "BEGIN:VCARD\nVERSION:3.0\nN:M\xC3\xBCller;J\xC3\xBCrgen\nORG:B\xC3\xA4" "ckerei M\xC3\xBCller\n"
      "ADR;TYPE=WORK:;;Hauptstr. 1;Berlin;;10115;Deutschland\nTEL;TYPE=WORK:030 123456\nTEL;TYPE=FAX:030 123457\n"
      "TEL;TYPE=CELL:0171 98765\nEMAIL:info@baeckerei-mueller.de\nURL:www.baeckerei-mueller.de\nEND:VCARD";
  WithResultDialog(Results({vCard}), [](wxWindow* shown, CMFCNextBaseActionTasksPane& pane) {
    EXPECT_EQ(static_cast<wxDialog*>(shown)->GetTitle(), "Ergebnis");
    ASSERT_EQ(pane.GetGroups().size(), 2u);
    EXPECT_EQ(pane.GetGroups()[0].caption + "|" + pane.GetGroups()[1].caption, "VCard QRCode|Kommunikation");
    // Address lines are plain text; telephone, mobile, mail and web are links; the fax is not.
    std::string kinds = dynamic_cast<wxStaticText*>(pane.GetTaskWindow(0, 0)) ? "T" : "?";
    const auto& communication = pane.GetGroups()[1].tasks;
    for (size_t i = 0; i < communication.size(); ++i)
      kinds += " " + communication[i].text.Left(4).str() + (dynamic_cast<wxHyperlinkCtrl*>(pane.GetTaskWindow(1, int(i))) ? "=L" : "=T");
    EXPECT_EQ(kinds, "T Tel1=L Fax:=T Mobi=L EMai=L Inte=L");
    int icons = 0;
    for (wxWindow* child : pane.GetChildren())
      if (auto* bitmap = dynamic_cast<wxStaticBitmap*>(child)) icons += bitmap->GetBitmap().IsOk();
    EXPECT_EQ(icons, 5 + 5); // one (possibly empty) icon place per entry keeps the texts aligned
    EXPECT_GE(shown->GetClientSize().x, 320);
  });
}

TEST(ResultDialogTest, ClickingOrPressingEnterOpensTheEntrysAddressAndNoLinkHasTheFocusAtFirst) {
  RecordingOpener opener;
  // The link is the first entry: an Enter at once must open nothing.
  WithResultDialog(Results({"www.example.de", "9783161484100"}, {"QRCode", "EAN-13"}), [](wxWindow*, CMFCNextBaseActionTasksPane&) {
    EXPECT_EQ(dynamic_cast<wxHyperlinkCtrl*>(wxWindow::FindFocus()), nullptr);
    wxUIActionSimulator().Char(WXK_RETURN), Pump(300);
  });
  EXPECT_TRUE(opener.Calls(1, 500).empty());
  WithResultDialog(Results({"9783161484100", "Hallo\nwww.example.de", "nur Text"}, {"EAN-13"}),
                   [](wxWindow*, CMFCNextBaseActionTasksPane& pane) {
    ClickOn(pane.GetTaskWindow(1, 1));
    // The keyboard alone: Tab goes on to the next result's "Text kopieren" and its link, Enter runs it.
    wxUIActionSimulator keys;
    pane.GetTaskWindow(0, 0)->SetFocus(), Pump(100);
    for (wxWindow* next : {pane.GetCopyButton(1), pane.GetTaskWindow(1, 1)}) {
      keys.Char(WXK_TAB), Pump(100);
      EXPECT_EQ(wxWindow::FindFocus(), next);
    }
    keys.Char(WXK_RETURN), Pump(200);
  });
  EXPECT_EQ(opener.Calls(2), (std::vector<std::vector<std::string>>{{"http://www.example.de"}, {"http://www.example.de"}}));
}

TEST(ResultDialogTest, AmpersandsAndUnderscoresAreShownAsTheyAre) {
  const std::string text = "Tom & Jerry\nmax_muster@x.de\nSiehe www.x.de/a_b?c=1&d=2\n&&__&_";
  WithResultDialog(Results({text}, {"Q_R&Code"}), [&](wxWindow*, CMFCNextBaseActionTasksPane& pane) {
    const wxWindowList& children = pane.GetChildren(); // the first text is the caption
    std::string drawn = Drawn(*std::find_if(children.begin(), children.end(), [](wxWindow* w) { return dynamic_cast<wxStaticText*>(w); }));
    for (int i = 0; i < 4; ++i) drawn.append("\n").append(Drawn(pane.GetTaskWindow(0, i)));
    EXPECT_EQ(drawn, "Q_R&Code\n" + text);
    EXPECT_NE(dynamic_cast<wxHyperlinkCtrl*>(pane.GetTaskWindow(0, 2)), nullptr);
  });
}

// A version-40 code read from a picture: the dialog wraps its long line, fits the screen, scrolls
// to the rest, and "Text kopieren" puts the whole text on the clipboard.
TEST(ResultDialogTest, ALongCodeIsWrappedScrolledAndCopiedWhole) {
  std::string text = "https://www.example.de/" + std::string(700, 'x') + "\n";
  for (int line = 0; text.size() < 2953; ++line) text += "Zeile " + std::to_string(line) + ": Inhalt des Codes & mehr_davon\n";
  text.resize(2953);
  const auto path = fs::temp_directory_path() / ("codewerk-v40-" + std::to_string(getpid()) + ".png");
  ASSERT_TRUE(SavePng(WithQuietZone(RenderCode(text, 3, TestEncoder::QREncode), 12), path.string()));
  CDecodeResultArray results; // read by both back ends
  ASSERT_TRUE(CodeReader(Decoder_ZXing, false).Read(path.c_str(), results));
  ASSERT_TRUE(CodeReader(Decoder_ZBar, false).Read(path.c_str(), results));
  fs::remove(path);
  ASSERT_EQ(results.GetSize(), 2);
  WithResultDialog(results, [&](wxWindow* shown, CMFCNextBaseActionTasksPane& pane) {
    const wxRect screen = wxDisplay(0u).GetClientArea();
    EXPECT_TRUE(screen.Contains(shown->GetScreenRect())) << shown->GetScreenRect().GetSize().x << "x" << shown->GetScreenRect().GetSize().y;
    EXPECT_GT(shown->GetSize().y, screen.height / 2); // grown with its content
    EXPECT_TRUE(pane.IsScrollbarShown(wxVERTICAL) && pane.GetVirtualSize().y > pane.GetClientSize().y);
    for (size_t i = 0; i < pane.GetGroups()[0].tasks.size(); ++i) {
      const wxWindow* entry = pane.GetTaskWindow(0, static_cast<int>(i));
      EXPECT_LE(entry->GetPosition().x + entry->GetSize().x, pane.GetClientSize().x) << i; // nothing runs off
    }
    EXPECT_GT(pane.GetTaskWindow(0, 0)->GetSize().y, 3 * pane.GetTaskWindow(0, 1)->GetSize().y); // the wrapped link
    for (int group : {0, 1}) {
      pane.Scroll(0, pane.GetCopyButton(group)->GetPosition().y / 12), Pump(100); // where the user scrolls to
      ClickOn(pane.GetCopyButton(group));
      EXPECT_EQ(ClipboardText(), text) << group;
      wxTheClipboard->Clear();
    }
  });
}

TEST(ResultDialogTest, WLANCopiesItsPasswordAndATerminOpensAsOurOwnCalendarFile) {
  RecordingOpener opener;
  WithResultDialog(Results({"WIFI:T:WPA;S:Lager;P:sehr-geheim;;", "BEGIN:VEVENT\nSUMMARY:Inventur\nDTSTART:20261208T080000Z\nEND:VEVENT"}),
                   [](wxWindow*, CMFCNextBaseActionTasksPane& pane) {
                     ClickOn(pane.GetTaskWindow(0, 2)), Pump(200); // Netzwerk, Verschlüsselung, Passwort kopieren
                     ClickOn(pane.GetTaskWindow(1, 2)), Pump(300); // Termin, Beginn, In den Kalender übernehmen
                   });
  EXPECT_EQ(ClipboardText(), "sehr-geheim");
  const auto calls = opener.Calls(1);
  ASSERT_TRUE(calls.size() == 1 && calls[0].size() == 1);
  char folder[MAX_PATH];
  ASSERT_TRUE(GetTempPathA(MAX_PATH, folder));
  const std::string& ics = calls[0][0];
  EXPECT_TRUE(ics.starts_with(folder) && ics.ends_with(".ics")) << ics;
  const std::string content = FileText(ics);
  EXPECT_TRUE(content.starts_with("BEGIN:VCALENDAR") && content.find("SUMMARY:Inventur\r\nDTSTART:20261208T080000Z") != std::string::npos);
}
