// The main dialog and its tab control: pages chosen by the settings, tooltips, the close check, the
// keyboard alone (one Tab cycle on each page reaches every control a user acts on); and the
// "Konfiguration" page: rows bound to a working copy, saving with its check and notice, and the
// question when the main dialog closes over unsaved changes.
#include "UiTesting.h"
#include "config/SubDlgKonfiguration.h"
#include "sources/DecodeGrafikViewerDialog.h"

#include <gtk/gtk.h>

#include <fstream>
#include <set>

namespace {

constexpr const char* kBothValues = "Bitte geben Sie beide Werte für die WebCam-Auflösung an oder lassen Sie beide Eingaben leer.";

class MainDialogTest : public PageTest {
protected:
  void SetUp() override {
    PageTest::SetUp();
    CQRCodeKonfiguration& global = GetQRCodeKonfiguration();
    global.m_eEncoder = Encoder_QREncode, global.m_eDecoder = Decoder_ZBar, global.m_sizeWebCam = CSize(0, 0);
    global.m_nScanDpi = 300, global.m_bNurQRCodes = 0;
    fs::remove(global.GetStammdatenName().str());
  }
  void TearDown() override {
    PageTest::TearDown();
    fs::remove(GetQRCodeKonfiguration().GetStammdatenName().str());
    GetQRCodeKonfiguration() = m_saved;
  }
  CSubDlgKonfiguration& Open() { return *dynamic_cast<CSubDlgKonfiguration*>(Show(2).GetTabCtrl().m_arSubDlg[2]); }
  static wxPGProperty* Row(CSubDlgKonfiguration& page, const char* label) {
    CPropertyGridBasisDialog_BaseProperty* row = page.GetGrid().GetRow(label);
    return row ? row->GetPGProperty() : nullptr;
  }
  static bool Change(CSubDlgKonfiguration& page, const char* label, const wxVariant& value) {
    return page.GetGrid().GetWindow()->GetGrid()->ChangePropertyValue(Row(page, label), value);
  }
  // Settings in one line: encoder, decoder, webcam size, dpi, codes.
  static std::string Line(const CQRCodeKonfiguration& k) {
    return wxString::Format("enc=%d dec=%d %dx%d dpi=%d qr=%d", int(k.m_eEncoder), int(k.m_eDecoder), int(k.m_sizeWebCam.cx),
                            int(k.m_sizeWebCam.cy), int(k.m_nScanDpi), k.m_bNurQRCodes).utf8_string();
  }
  // What the settings file holds, read the way the next start reads it ("none" when there is none).
  static std::string Stored() {
    CQRCodeKonfiguration stored;
    stored.Laden();
    return fs::exists(GetQRCodeKonfiguration().GetStammdatenName().str()) ? Line(stored) : "none";
  }
  // The page's working copy, whether it is modified and "Speichern" enabled, and the stored file.
  static std::string State(CSubDlgKonfiguration& page) {
    return Line(page.m_konfiguration) + (page.IsModified() ? " modified" : "") + (page.GetDlgItem(1002)->IsEnabled() ? " save" : "") +
           " | " + Stored();
  }

  CQRCodeKonfiguration m_saved = GetQRCodeKonfiguration();
};

using KonfigurationPageTest = MainDialogTest;

} // namespace

TEST_F(KonfigurationPageTest, RowsShowTheSettingsAndWriteIntoTheWorkingCopyOnly) {
  CSubDlgKonfiguration& page = Open();
  const std::vector<std::pair<const char*, const char*>> shown = {{"Erstellen", "QRCode"}, {"Einlesen", "ZBar"}, {"Breite", ""},
      {"Höhe", ""}, {"dpi", "300"}, {"nur QR-Codes", "Nein"}, {"Drucken", "Code-Testseite"}};
  for (const auto& [label, text] : shown)
    EXPECT_EQ(Row(page, label) ? Row(page, label)->GetValueAsString() : wxString("-"), wxString::FromUTF8(text)) << label;
  EXPECT_EQ(Row(page, "Höhe")->GetParent()->GetLabel() + ": " + Row(page, "Höhe")->GetHelpString(),
            wxString::FromUTF8("WebCam Wunschauflösung: Wenn die Auflösung nicht unterstützt wird, "
                               "wird i.d.R. die nächstkleinere Auflösung gewählt."));

  // The action row's button, clicked as a user would once the row is selected, offers both back
  // ends; a dismissed menu prints nothing.
  std::vector<std::pair<int, std::string>> entries;
  SetPopupMenuHandler([&](wxMenu& menu) -> UINT {
    for (const wxMenuItem* item : menu.GetMenuItems())
      entries.emplace_back(item->IsSeparator() ? 0 : item->GetId(), item->GetItemLabelText().utf8_string());
    return 0;
  });
  wxPropertyGrid* grid = page.GetGrid().GetWindow()->GetGrid();
  grid->SelectProperty(Row(page, "Drucken"), true), Pump(200);
  ASSERT_NE(grid->GetEditorControlSecondary(), nullptr);
  ClickOn(grid->GetEditorControlSecondary()), Pump(200);
  EXPECT_EQ(entries, (std::vector<std::pair<int, std::string>>{{1000, "ZInt"}, {0, ""}, {1002, "QREncode"}}));
  EXPECT_EQ(State(page), "enc=0 dec=0 0x0 dpi=300 qr=0 | none");

  EXPECT_TRUE(Change(page, "Erstellen", 1L) && Change(page, "Einlesen", 2L));
  EXPECT_EQ(Row(page, "Einlesen")->GetValueAsString(), "ZXing + ZBar");
  EXPECT_EQ(page.m_konfiguration.m_eDecoder, Decoder_ZXingZBar);
  EXPECT_TRUE(Change(page, "Einlesen", 1L) && Change(page, "Breite", "1980") && Change(page, "Höhe", "240"));
  EXPECT_TRUE(Change(page, "nur QR-Codes", 1L) && Change(page, "dpi", " ")); // empty stands for 0
  // A user's click on the row's label selects it and shows its description.
  const wxRect cell = grid->GetPropertyRect(Row(page, "Einlesen"), Row(page, "Einlesen"));
  wxUIActionSimulator mouse;
  mouse.MouseMove(grid->ClientToScreen(wxPoint(cell.x + 40, cell.y + cell.height / 2))), mouse.MouseClick(), Pump(200);
  EXPECT_EQ(grid->GetSelection(), Row(page, "Einlesen"));
  EXPECT_FALSE(Change(page, "Breite", "1981")); // above the limit: refused, value kept
  EXPECT_FALSE(Change(page, "Höhe", "zwei"));
  EXPECT_EQ(State(page), "enc=1 dec=1 1980x240 dpi=0 qr=1 modified save | none"); // nothing written while editing
  EXPECT_EQ(GetQRCodeKonfiguration().m_eDecoder, Decoder_ZBar);
}

// Closing over changes asks and honours the answer; a webcam size needs both sides or none; saving
// writes the file with the notice and leaves the running settings.
TEST_F(KonfigurationPageTest, ClosingOverChangesAsksAndSavingChecksTheWebcamSizeAndWritesTheFile) {
  CSubDlgKonfiguration& page = Open();
  CQRCodeDlg& dialog = *m_dialog;
  dialog.GetTabCtrl().SetSelection(0);
  EXPECT_TRUE(dialog.PrepareForCloseDialog()); // unmodified: no question
  EXPECT_TRUE(m_messages.empty());
  ASSERT_TRUE(Change(page, "dpi", "600"));
  m_answers = {IDCANCEL};
  EXPECT_FALSE(dialog.PrepareForCloseDialog());
  EXPECT_EQ(dialog.GetTabCtrl().GetSelection(), 2); // brought to the front first
  EXPECT_EQ(m_messages.back(), "Änderungen der Konfiguration speichern?");
  EXPECT_EQ(m_types.back(), MB_YESNOCANCEL | MB_ICONQUESTION);
  m_answers = {IDNO};
  EXPECT_TRUE(dialog.PrepareForCloseDialog());
  EXPECT_EQ(Stored(), "none");
  m_answers = {IDYES};
  EXPECT_TRUE(dialog.PrepareForCloseDialog() && dialog.PrepareForCloseDialog()); // saved: nothing left to ask the second time
  EXPECT_EQ(Stored(), "enc=0 dec=0 0x0 dpi=600 qr=0");

  // "Ja" with a refused check still closes, and saves nothing; nor does "Speichern".
  ASSERT_TRUE(Change(page, "Höhe", "480"));
  m_messages.clear(), m_answers = {IDYES};
  EXPECT_TRUE(dialog.PrepareForCloseDialog());
  ClickOn(page.GetDlgItem(1002)), Pump(200);
  EXPECT_EQ(m_messages, (std::vector<std::string>{"Änderungen der Konfiguration speichern?", kBothValues, kBothValues}));
  EXPECT_EQ(State(page), "enc=0 dec=0 0x480 dpi=600 qr=0 modified save | enc=0 dec=0 0x0 dpi=600 qr=0");

  ASSERT_TRUE(Change(page, "Höhe", "") && Change(page, "Einlesen", 1L));
  m_messages.clear(), ClickOn(page.GetDlgItem(1002)), Pump(200);
  EXPECT_TRUE(m_messages.size() == 1 && m_messages[0].starts_with("Änderungen werden erst nach erneutem Programmstart berücksichtigt."));
  EXPECT_EQ(m_types.back() & 0xF0, MB_ICONINFORMATION);
  EXPECT_EQ(State(page), "enc=0 dec=1 0x0 dpi=600 qr=0 | enc=0 dec=1 0x0 dpi=600 qr=0");
  EXPECT_EQ(GetQRCodeKonfiguration().m_eDecoder, Decoder_ZBar);
  ASSERT_TRUE(Change(page, "Breite", "640") && Change(page, "Höhe", "480"));
  ClickOn(page.GetDlgItem(1002)), Pump(200);
  EXPECT_EQ(Stored(), "enc=0 dec=1 640x480 dpi=600 qr=0");
}

TEST_F(MainDialogTest, TheSettingsChooseTheEncodePageAndTheTooltipsNameTheLibraries) {
  const std::tuple<int, int, const char*> cases[] = {{0, 0, "ZBar"}, {1, 1, "ZXing"}, {7, 2, "ZXing + ZBar"}, {0, 3, "ZXing"}};
  for (const auto& [encoder, decoder, reader] : cases) {
    SCOPED_TRACE(encoder * 10 + decoder);
    GetQRCodeKonfiguration().m_eEncoder = static_cast<T_QRCodeKonfiguration_Encoder>(encoder);
    GetQRCodeKonfiguration().m_eDecoder = static_cast<T_QRCodeKonfiguration_Decoder>(decoder);
    CBaseSubDlgTabCtrl& tabs = Show(0).GetTabCtrl();
    auto* page = dynamic_cast<CSubDlgEncodeBase*>(tabs.m_arSubDlg[0]);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Labels(tabs), "Erstellen|Einlesen|Konfiguration|Verlauf");
    EXPECT_EQ(std::vector<std::string>({tabs.m_arSubDlg[1]->m_strToolTip.str(), tabs.m_arSubDlg[2]->m_strToolTip.str(),
                                        page->GetEncoder().GetNameBibliothek().str(), page->m_strToolTip.str()}),
              std::vector<std::string>({std::string("Bibliothek: ") + reader, "Einstellungen einsehen/ändern",
                                        encoder == 0 ? "QREncode" : "ZInt", encoder == 0 ? "Bibliothek: QRCode" : "Bibliothek: ZInt"}));
    EXPECT_TRUE(page->IsPageShown());
    // The tooltip is the tab's own: over the page there is none.
    GtkWidget* tab = gtk_notebook_get_tab_label(GTK_NOTEBOOK(tabs.GetWindow()->GetHandle()), page->GetHandle());
    ASSERT_NE(tab, nullptr);
    gchar* tip = gtk_widget_get_tooltip_text(tab);
    EXPECT_STREQ(tip, page->m_strToolTip.GetString());
    g_free(tip);
    EXPECT_TRUE(tabs.GetWindow()->GetToolTip() == nullptr && page->GetToolTip() == nullptr);
  }
}

// A settings file that cannot be read is told once, when the main dialog opens: the defaults are
// in use, and the next dialog of the same run says nothing more.
TEST_F(MainDialogTest, ABrokenSettingsFileIsToldOnceWhenTheDialogOpens) {
  CQRCodeKonfiguration& settings = GetQRCodeKonfiguration();
  const std::string path = settings.GetStammdatenName().str();
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << "\x01\x02 kein Text";
  settings.Laden();
  for (int i = 0; i < 2; ++i) Show(0);
  EXPECT_EQ(m_messages, std::vector<std::string>{"Die Einstellungsdatei „" + path + "“ kann nicht gelesen werden (Zeile 1 ist keine "
                                                 "Einstellung). Es gelten die Voreinstellungen."});
  fs::remove(path);
  settings.Laden();
}

TEST_F(MainDialogTest, OneTabCycleOnEveryPageReachesItsControlsAndThePreviewOpensWithEnter) {
  constexpr int kStrip = 1000, kSave = 1002, kCopy = 1006, kVCard = 4010, kWlan = 4011, kMeCard = 4017, kWebCam = 1007, kOpen = 1009;
  // Whether the focus visits all of ids over presses of Tab, each a person's lone key, from the main tab strip.
  auto cycleReaches = [this](int presses, std::set<int> ids) {
    m_dialog->GetTabCtrl().GetWindow()->SetFocus(), Pump(100);
    for (int i = 0; i < presses; ++i) {
      wxUIActionSimulator().Char(WXK_TAB), Pump(250);
      if (wxWindow* focus = wxWindow::FindFocus()) ids.erase(focus->GetId());
    }
    return ids.empty();
  };
  auto& decode = OpenDecode("2D Scanner");
  ToTab(0, 100);
  EXPECT_TRUE(cycleReaches(13, {1001, kVCard, kWlan, kMeCard, kCopy, kSave, kStrip}));
  ToTab(2, 300); // Konfiguration: the property grid lets the focus go again
  EXPECT_TRUE(cycleReaches(4, {kStrip}));
  ToTab(1, 300); // Einlesen, the scanner's tab: its keyboard catch is on
  EXPECT_TRUE(cycleReaches(3, {kStrip})) << "the source strip is reached";
  SelectTab(decode.m_wndTabCtrl, "WebCam");
  EXPECT_TRUE(cycleReaches(4, {kWebCam}));

  m_accept = false;
  SelectTab(decode.m_wndTabCtrl, "Datei");
  WhenModalShown(EndModal);
  decode.m_dlgDatei.DecodeFiles(Paths({Picture("vorschau.png", WithQuietZone(RenderCode("Vorschau", 4), 8))}));
  EXPECT_TRUE(cycleReaches(5, {kOpen, 4004 /* the preview */}));

  auto& preview = decode.m_dlgDatei.m_btnVorschau;
  preview.SetFocus(), Pump(100);
  for (const std::function<void()>& open : std::vector<std::function<void()>>{[] { wxUIActionSimulator().Char(WXK_RETURN); },
                                                                               [&] { ClickOn(&preview); }}) {
    int viewers = 0;
    WhenModalShown([&](wxWindow* shown) { viewers += dynamic_cast<CDecodeGrafikViewerDialog*>(shown) != nullptr, EndModal(shown); });
    open();
    EXPECT_TRUE(PumpUntil([&] { return viewers == 1; }, 2000));
  }
}
