// The "Scanner" tab on SANE's own devices: a code through pnm, feeder batches from test, faults,
// cancelling in the progress box, the device menu, and the import page.
#include "TestScanners.h"
#include "UiTesting.h"
#include "config/QRCodeKonfiguration.h"
#include "outside/Scanning.h"

#include <wx/button.h>
#include <wx/timer.h>

#include <chrono>

namespace {

constexpr int kScanTab = 2;

class ScannerPageTest : public PageTest {
protected:
  void SetUp() override {
    PageTest::SetUp();
    m_pnmFile = UseTestScanners() + "/code.pgm";
    UseScanner("test:0", ScanVorlage::Flachbett, "");
  }
  void TearDown() override {
    m_dialog.reset();
    CLokaleProgrammEinstellung::GetItem().Set("QRCode", "UseOldScanProgram", 0), GetQRCodeKonfiguration().m_nScanDpi = 0;
    EXPECT_EQ(ScannedFilesLeft(), 0);
    PageTest::TearDown();
  }
  static CSubDlgDecode_ScannerBase& ScannerPage(CSubDlgDecode& page) {
    return *dynamic_cast<CSubDlgDecode_ScannerBase*>(page.m_wndTabCtrl.m_arSubDlg[kScanTab]);
  }
  static void PressVonScanner(CSubDlgDecode_ScannerBase& scanner) {
    wxCommandEvent click(wxEVT_BUTTON, 1008);
    click.SetEventObject(scanner.FindWindow(1008)), scanner.FindWindow(1008)->GetEventHandler()->ProcessEvent(click);
  }

  std::string m_pnmFile;
};

} // namespace

TEST_F(ScannerPageTest, ScannerIsTheThirdTabAndTheTabIsRememberedByName) {
  // "LastDecodePage" as stored before names were, "LastDecodeSource", WebCam shown, the tab opened: an old 2 meant "Datei", not
  // the new third tab; the name wins over any position; a tab a host switched off shifts nothing; a name no tab has: the first.
  const std::tuple<int, const char*, bool, const char*> cases[] = {
      {2, "", true, "Datei"}, {1, "", true, "WebCam"}, {0, "Scanner", true, "Scanner"}, {0, "Datei", false, "Datei"},
      {0, "Fax", true, "2D Scanner"}};
  CLokaleProgrammEinstellung& settings = CLokaleProgrammEinstellung::GetItem();
  for (const auto& [oldPosition, name, showWebCam, expected] : cases) {
    SCOPED_TRACE(expected);
    m_dialog.reset(); // it keeps its tab on closing
    settings.Set("QRCode", "LastDecodePage", oldPosition), settings.SetText("QRCode", "LastDecodeSource", name);
    Show(1, [&](CSubDlgDecode& page) { page.m_bShowWebCam = showWebCam; });
    CBaseSubDlgTabCtrl& tabs = Decode().m_wndTabCtrl;
    EXPECT_EQ(Labels(tabs), std::string("2D Scanner|") + (showWebCam ? "WebCam|" : "") + "Scanner|Datei|Bildschirm|Zwischenablage");
    EXPECT_EQ(tabs.GetTabLabel(tabs.GetSelection()), expected);
  }
  EXPECT_EQ(settings.GetText("QRCode", "LastDecodeSource", ""), "Fax") << "opening chose nothing";
  CSubDlgDecode& page = OpenDecode();
  SelectTab(page.m_wndTabCtrl, "Scanner");
  EXPECT_EQ(settings.GetText("QRCode", "LastDecodeSource", ""), "Scanner");
  SelectTab(page.m_wndTabCtrl, "2D Scanner");
  EXPECT_TRUE(page.m_dlgBarCodeScanner.m_bHookInstalled) << "the keyboard catch follows the tab";
}

TEST_F(ScannerPageTest, TheChosenScannersCodeIsReadAFeederBatchAndPagesWithoutCodesAndFaultsAreTold) {
  CodePage("Lieferschein 4711", 150, m_pnmFile);
  UseScanner("", ScanVorlage::Flachbett, "filename=" + m_pnmFile);
  CSubDlgDecode& page = OpenDecode("Scanner");
  CSubDlgDecode_ScannerBase& scanner = ScannerPage(page);
  auto& previews = scanner.m_Vorschau.m_arGrafiken;
  // The menu offers every device with each of its sources; the choice is kept.
  std::vector<std::string> offered;
  SetPopupMenuHandler([&](wxMenu& menu) -> UINT {
    for (const wxMenuItem* item : menu.GetMenuItems()) offered.push_back(item->GetItemLabelText().utf8_string());
    for (const wxMenuItem* item : menu.GetMenuItems())
      if (item->GetItemLabelText().Contains("(pnm:0)")) return static_cast<UINT>(item->GetId());
    return 0;
  });
  page.m_pDlgScannerNew->m_btnScannen.ShowAuswahlMenu();
  EXPECT_EQ(offered.size(), 8u) << "test:0 and :1 with flatbed and feeder, pnm:0 and :1, a line, \"Scanner neu suchen\"";
  EXPECT_EQ(ScanAuswahl::Lade("QRCode").device, "pnm:0");
  EXPECT_TRUE(scanner.FindWindow(1008)->GetLabel().Contains("(pnm:0)"));
  PressVonScanner(scanner);
  EXPECT_EQ(m_decoded, std::vector<std::string>{"Lieferschein 4711"});
  ASSERT_EQ(std::make_pair(m_images, previews.GetSize()), std::make_pair(1, 1));
  EXPECT_EQ(previews[0]->m_arResults.GetSize(), 1);
  EXPECT_TRUE(m_messages.empty());

  UseScanner("test:0", ScanVorlage::Einzug, "test-picture=Solid white"), GetQRCodeKonfiguration().m_nScanDpi = 50;
  PressVonScanner(scanner);
  if (!m_messages.empty() && m_messages.front().rfind("Der Scanner antwortet nicht mehr", 0) == 0)
    m_messages.clear(), PressVonScanner(scanner); // SANE's test driver hung at a page's end (see ScannerTest.cpp)
  ASSERT_EQ(previews.GetSize(), 10); // the test feeder holds ten sheets
  EXPECT_NEAR(previews[9]->m_pGrafik->GetSize().cx, 200 / 25.4 * 50, 1);
  EXPECT_EQ(m_messages, std::vector<std::string>{"Es wurden keine QR Codes erkannt."});

  // Only the second of three pages carries a code.
  char folder[MAX_PATH], name[MAX_PATH];
  ASSERT_GT(GetTempPathA(MAX_PATH, folder), 0u);
  CStringArray files;
  for (const GrayImage& picture : {Canvas(300, 300), WithQuietZone(RenderCode("Seite 2", 4), 16), Canvas(300, 300)}) {
    ASSERT_NE(GetTempFileNameA(folder, "TQScanner", 0, name, ".bmp"), 0u);
    ASSERT_TRUE(SaveBmp(picture, name));
    files.Add(name);
  }
  m_decoded.clear();
  scanner.DecodeScannedFiles(files);
  EXPECT_EQ(m_decoded, std::vector<std::string>{"Seite 2"});
  ASSERT_EQ(previews.GetSize(), 3);
  EXPECT_EQ(std::make_pair(previews[1]->m_arResults.GetSize(), previews[2]->m_arResults.GetSize()), std::make_pair(1, 0));
  EXPECT_TRUE(files.IsEmpty());

  // Faults are told once and nothing is reported.
  m_decoded.clear(), m_messages.clear();
  for (const char* options : {"read-return-value=SANE_STATUS_JAMMED", "read-return-value=SANE_STATUS_NO_DOCS", ""}) {
    if (*options) UseScanner("test:0", ScanVorlage::Einzug, options);
    else UseTestScanners(""), UseScanner("", ScanVorlage::Flachbett, ""); // SANE would still open a named device of a known back end
    PressVonScanner(scanner);
  }
  EXPECT_EQ(m_messages, (std::vector<std::string>{"Papierstau im Einzug.", "Im Einzug liegt kein Papier.",
                                                  "Es wurde kein Scanner gefunden."}));
  EXPECT_TRUE(m_decoded.empty());
}

TEST_F(ScannerPageTest, AbbrechenInTheProgressBoxStopsASlowScanAtOnce) {
  UseScanner("test:0", ScanVorlage::Einzug, "read-limit=yes;read-limit-size=1000;read-delay=yes;read-delay-duration=200000");
  CSubDlgDecode_ScannerBase& scanner = ScannerPage(OpenDecode("Scanner"));
  std::chrono::steady_clock::time_point cancelled;
  wxTimer timer;
  timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    wxWindow* box = wxWindow::FindWindowByName(kScanProgressName);
    if (!box || !box->IsShown()) return;
    timer.Stop();
    auto* abbrechen = dynamic_cast<wxButton*>(box->FindWindow(wxID_CANCEL));
    ASSERT_TRUE(abbrechen && abbrechen->GetLabel() == "Abbrechen");
    cancelled = std::chrono::steady_clock::now();
    ClickOn(abbrechen);
  });
  timer.Start(50);
  PressVonScanner(scanner);
  EXPECT_LT(std::chrono::steady_clock::now() - cancelled, std::chrono::milliseconds(1000));
  EXPECT_TRUE(m_messages.empty() && m_decoded.empty() && scanner.m_Vorschau.m_arGrafiken.IsEmpty());
}

TEST_F(ScannerPageTest, TheImportPageScansThroughAFreshHiddenImportEachVisit) {
  CLokaleProgrammEinstellung::GetItem().Set("QRCode", "UseOldScanProgram", 1);
  CodePage("über den Import", 150, m_pnmFile);
  UseScanner("pnm:0", ScanVorlage::Flachbett, "filename=" + m_pnmFile);
  CSubDlgDecode& page = OpenDecode("Scanner");
  CSubDlgDecode_Scanner_Old& scanner = page.m_dlgScannerOld;
  ASSERT_TRUE(!page.m_pDlgScannerNew && scanner.m_pTwain && !scanner.m_pTwain->m_import.IsShown());
  scanner.m_pTwain->m_import.SetName("erster Besuch");
  PressVonScanner(scanner);
  EXPECT_EQ(m_decoded, std::vector<std::string>{"über den Import"});
  // Left: only the name the page keeps for its scans.
  EXPECT_EQ(std::make_pair(scanner.m_Vorschau.m_arGrafiken.GetSize(), ScannedFilesLeft()), std::make_pair(1, 1));
  SelectTab(page.m_wndTabCtrl, "Datei");
  EXPECT_FALSE(scanner.m_pTwain);
  SelectTab(page.m_wndTabCtrl, "Scanner");
  ASSERT_TRUE(scanner.m_pTwain);
  EXPECT_NE(scanner.m_pTwain->m_import.GetName(), "erster Besuch");
}
