// The "Konfiguration" page: rows bound to a working copy, saving with its check and notice, and
// the question when the main dialog closes over unsaved changes.
#include "UiTesting.h"
#include "config/SubDlgKonfiguration.h"
#include "outside/MessageBox.h"
#include "outside/PopupMenu.h"
#include "shell/QRCodeDlg.h"

#include <gtest/gtest.h>
#include <wx/menu.h>
#include <wx/uiaction.h>

#include <deque>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr const char* kRestartNotice = "Änderungen werden erst nach erneutem Programmstart berücksichtigt.";
constexpr const char* kBothValues = "Bitte geben Sie beide Werte für die WebCam-Auflösung an oder lassen Sie beide Eingaben leer.";

class KonfigurationPageTest : public ::testing::Test {
protected:
  void SetUp() override {
    m_saved = GetQRCodeKonfiguration();
    CQRCodeKonfiguration& global = GetQRCodeKonfiguration();
    global.m_eEncoder = Encoder_QREncode;
    global.m_eDecoder = Decoder_ZBar;
    global.m_sizeWebCam = CSize(0, 0);
    global.m_nScanDpi = 300;
    global.m_bNurQRCodes = 0;
    fs::remove(global.GetStammdatenName().str());
    m_oldHandler = SetMessageBoxHandler([this](const CString& text, UINT type) {
      m_messages.push_back({text.str(), type});
      if (m_answers.empty()) return IDOK;
      const int answer = m_answers.front();
      m_answers.pop_front();
      return answer;
    });
  }
  void TearDown() override {
    SetMessageBoxHandler(m_oldHandler);
    fs::remove(GetQRCodeKonfiguration().GetStammdatenName().str());
    GetQRCodeKonfiguration() = m_saved;
  }

  CSubDlgKonfiguration& Open(CQRCodeDlg& dialog) {
    dialog.CreateFromTemplate();
    dialog.OnInitDialog();
    dialog.Show();
    dialog.GetTabCtrl().SetSelection(2);
    Pump(200);
    return *dynamic_cast<CSubDlgKonfiguration*>(dialog.GetTabCtrl().m_arSubDlg[2]);
  }

  static wxPGProperty* Row(CSubDlgKonfiguration& page, const char* label) {
    CPropertyGridBasisDialog_BaseProperty* row = page.GetGrid().GetRow(label);
    return row ? row->GetPGProperty() : nullptr;
  }
  static bool Change(CSubDlgKonfiguration& page, const char* label, const wxVariant& value) {
    return page.GetGrid().GetWindow()->GetGrid()->ChangePropertyValue(Row(page, label), value);
  }
  static bool SaveEnabled(CSubDlgKonfiguration& page) { return page.GetDlgItem(1002)->IsEnabled(); }
  static void ClickSave(CSubDlgKonfiguration& page) {
    ClickOn(page.GetDlgItem(1002));
    Pump(200);
  }
  // What the settings file holds, read the way the next start reads it.
  static CQRCodeKonfiguration Stored() {
    CQRCodeKonfiguration stored;
    stored.Laden();
    return stored;
  }
  bool Shown(const std::string& start) const {
    return std::any_of(m_messages.begin(), m_messages.end(), [&](const auto& m) { return m.first.rfind(start, 0) == 0; });
  }

  CQRCodeKonfiguration m_saved;
  MessageBoxHandler m_oldHandler;
  std::vector<std::pair<std::string, UINT>> m_messages;
  std::deque<int> m_answers;
};

} // namespace

TEST_F(KonfigurationPageTest, RowsShowTheSettingsAndWriteIntoTheWorkingCopyOnly) {
  CQRCodeDlg dialog;
  CSubDlgKonfiguration& page = Open(dialog);
  const std::vector<std::pair<const char*, const char*>> shown = {
      {"Erstellen", "QRCode"}, {"Einlesen", "ZBar"}, {"Breite", ""}, {"Höhe", ""},
      {"dpi", "300"}, {"nur QR-Codes", "Nein"}, {"Drucken", "Code-Testseite"}};
  for (const auto& [label, text] : shown) {
    ASSERT_NE(Row(page, label), nullptr) << label;
    EXPECT_EQ(Row(page, label)->GetValueAsString(), wxString::FromUTF8(text)) << label;
  }
  EXPECT_EQ(Row(page, "Höhe")->GetHelpString(),
            wxString::FromUTF8("Wenn die Auflösung nicht unterstützt wird, wird i.d.R. die nächstkleinere Auflösung gewählt."));
  EXPECT_EQ(Row(page, "Höhe")->GetParent()->GetLabel(), wxString::FromUTF8("WebCam Wunschauflösung"));
  EXPECT_FALSE(SaveEnabled(page));

  EXPECT_TRUE(Change(page, "Erstellen", 1L));
  EXPECT_TRUE(Change(page, "Einlesen", 2L));
  EXPECT_EQ(Row(page, "Einlesen")->GetValueAsString(), "ZXing + ZBar");
  EXPECT_EQ(page.m_konfiguration.m_eDecoder, Decoder_ZXingZBar);
  EXPECT_TRUE(Change(page, "Einlesen", 1L));
  EXPECT_TRUE(Change(page, "Breite", "1980"));
  EXPECT_TRUE(Change(page, "Höhe", "240"));
  EXPECT_TRUE(Change(page, "nur QR-Codes", 1L));
  EXPECT_TRUE(Change(page, "dpi", " "));                // empty stands for 0
  // A user's click on the row's label selects it and shows its description.
  wxPropertyGrid* grid = page.GetGrid().GetWindow()->GetGrid();
  const wxRect cell = grid->GetPropertyRect(Row(page, "Einlesen"), Row(page, "Einlesen"));
  wxUIActionSimulator mouse;
  mouse.MouseMove(grid->ClientToScreen(wxPoint(cell.x + 40, cell.y + cell.height / 2)));
  mouse.MouseClick();
  Pump(200);
  EXPECT_EQ(grid->GetSelection(), Row(page, "Einlesen"));
  SaveScreenshot(&dialog, "konfiguration-page");
  EXPECT_FALSE(Change(page, "Breite", "1981"));         // above the limit: refused, value kept
  EXPECT_FALSE(Change(page, "Höhe", "zwei"));
  const CQRCodeKonfiguration& copy = page.m_konfiguration;
  EXPECT_EQ(copy.m_eEncoder, Encoder_ZInt);
  EXPECT_EQ(copy.m_eDecoder, Decoder_ZXing);
  EXPECT_EQ(copy.m_sizeWebCam, CSize(1980, 240));
  EXPECT_EQ(copy.m_nScanDpi, 0);
  EXPECT_EQ(copy.m_bNurQRCodes, 1);
  EXPECT_TRUE(SaveEnabled(page));
  EXPECT_EQ(GetQRCodeKonfiguration().m_eDecoder, Decoder_ZBar);
  EXPECT_FALSE(fs::exists(GetQRCodeKonfiguration().GetStammdatenName().str())); // nothing written while editing
}

TEST_F(KonfigurationPageTest, SavingWritesTheFileWithTheNoticeAndLeavesTheRunningSettings) {
  CQRCodeDlg dialog;
  CSubDlgKonfiguration& page = Open(dialog);
  ASSERT_TRUE(Change(page, "Einlesen", 1L));
  ClickSave(page);
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_TRUE(Shown(kRestartNotice));
  EXPECT_EQ(m_messages[0].second & 0xF0, MB_ICONINFORMATION);
  EXPECT_EQ(Stored().m_eDecoder, Decoder_ZXing);
  EXPECT_EQ(Stored().m_nScanDpi, 300);
  EXPECT_EQ(GetQRCodeKonfiguration().m_eDecoder, Decoder_ZBar);
  EXPECT_FALSE(page.IsModified());
  EXPECT_FALSE(SaveEnabled(page));
}

TEST_F(KonfigurationPageTest, AWebcamSizeNeedsBothSidesOrNone) {
  CQRCodeDlg dialog;
  CSubDlgKonfiguration& page = Open(dialog);
  ASSERT_TRUE(Change(page, "Breite", "640"));
  ClickSave(page);
  EXPECT_TRUE(Shown(kBothValues));
  EXPECT_FALSE(Shown(kRestartNotice));
  EXPECT_FALSE(fs::exists(GetQRCodeKonfiguration().GetStammdatenName().str()));
  EXPECT_TRUE(page.IsModified());
  EXPECT_TRUE(SaveEnabled(page));

  ASSERT_TRUE(Change(page, "Breite", ""));
  ClickSave(page);
  EXPECT_TRUE(Shown(kRestartNotice));
  EXPECT_EQ(Stored().m_sizeWebCam, CSize(0, 0));

  ASSERT_TRUE(Change(page, "Breite", "640"));
  ASSERT_TRUE(Change(page, "Höhe", "480"));
  ClickSave(page);
  EXPECT_EQ(Stored().m_sizeWebCam, CSize(640, 480));
}

TEST_F(KonfigurationPageTest, ClosingOverChangesAsksAndHonoursTheAnswer) {
  CQRCodeDlg dialog;
  CSubDlgKonfiguration& page = Open(dialog);
  dialog.GetTabCtrl().SetSelection(0);
  EXPECT_TRUE(dialog.PrepareForCloseDialog()); // unmodified: no question
  EXPECT_TRUE(m_messages.empty());

  ASSERT_TRUE(Change(page, "dpi", "600"));
  m_answers = {IDCANCEL};
  EXPECT_FALSE(dialog.PrepareForCloseDialog());
  EXPECT_EQ(dialog.GetTabCtrl().GetSelection(), 2); // brought to the front first
  EXPECT_EQ(m_messages.back().first, "Änderungen der Konfiguration speichern?");
  EXPECT_EQ(m_messages.back().second, MB_YESNOCANCEL | MB_ICONQUESTION);

  m_answers = {IDNO};
  EXPECT_TRUE(dialog.PrepareForCloseDialog());
  EXPECT_FALSE(fs::exists(GetQRCodeKonfiguration().GetStammdatenName().str()));

  m_answers = {IDYES};
  EXPECT_TRUE(dialog.PrepareForCloseDialog());
  EXPECT_EQ(Stored().m_nScanDpi, 600);
  EXPECT_TRUE(dialog.PrepareForCloseDialog()); // saved: nothing left to ask

  // "Ja" with a refused check still closes, and saves nothing.
  ASSERT_TRUE(Change(page, "Höhe", "480"));
  m_messages.clear();
  m_answers = {IDYES};
  EXPECT_TRUE(dialog.PrepareForCloseDialog());
  EXPECT_TRUE(Shown(kBothValues));
  EXPECT_EQ(Stored().m_sizeWebCam, CSize(0, 0));
}

TEST_F(KonfigurationPageTest, TheActionRowOffersBothBackEndsAndADismissedMenuPrintsNothing) {
  CQRCodeDlg dialog;
  CSubDlgKonfiguration& page = Open(dialog);
  std::vector<std::pair<int, std::string>> entries;
  PopupMenuHandler old = SetPopupMenuHandler([&](wxMenu& menu) -> UINT {
    for (const wxMenuItem* item : menu.GetMenuItems())
      entries.emplace_back(item->IsSeparator() ? 0 : item->GetId(), item->GetItemLabelText().utf8_string());
    return 0;
  });
  // The row's button, clicked as a user would once the row is selected.
  wxPropertyGrid* grid = page.GetGrid().GetWindow()->GetGrid();
  grid->SelectProperty(Row(page, "Drucken"), true);
  Pump(200);
  ASSERT_NE(grid->GetEditorControlSecondary(), nullptr);
  ClickOn(grid->GetEditorControlSecondary());
  Pump(200);
  SetPopupMenuHandler(old);
  EXPECT_EQ(entries, (std::vector<std::pair<int, std::string>>{{1000, "ZInt"}, {0, ""}, {1002, "QREncode"}}));
  EXPECT_FALSE(page.IsModified());
}

// A back end the page does not know (a value from 3 up) shows as no value, and stays as it is
// until another is chosen.
TEST_F(KonfigurationPageTest, ABackEndThePageDoesNotKnowShowsNoValue) {
  for (int unknown : {3, 5, 99}) {
    GetQRCodeKonfiguration().m_eEncoder = static_cast<T_QRCodeKonfiguration_Encoder>(unknown);
    GetQRCodeKonfiguration().m_eDecoder = static_cast<T_QRCodeKonfiguration_Decoder>(unknown);
    CQRCodeDlg dialog;
    CSubDlgKonfiguration& page = Open(dialog);
    for (const char* label : {"Erstellen", "Einlesen"}) {
      ASSERT_NE(Row(page, label), nullptr);
      EXPECT_EQ(Row(page, label)->GetValueAsString(), "") << label << " " << unknown;
    }
    EXPECT_FALSE(SaveEnabled(page));
  }
}
