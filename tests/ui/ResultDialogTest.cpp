// The "Ergebnis" dialog on screen: its groups and entries, clicks and the keyboard.
#include "RecordingOpener.h"
#include "UiTesting.h"
#include "results/DecodeResultTasksDialog.h"

#include <gtest/gtest.h>
#include <wx/hyperlink.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/uiaction.h>

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
    // The keyboard alone: the first link has the focus, Tab goes to the next, Enter runs it.
    wxUIActionSimulator keys;
    dialog.GetTasksPane().GetTaskWindow(0, 0)->SetFocus();
    Pump(100);
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
