// The "Scanner" tab on SANE's own devices: a code through pnm, feeder batches from test, faults,
// cancelling in the progress box, the device menu, and the import page.
#include "TestPictures.h"
#include "TestScanners.h"
#include "UiTesting.h"
#include "config/QRCodeKonfiguration.h"
#include "outside/MessageBox.h"
#include "outside/PopupMenu.h"
#include "outside/ProgramSettings.h"
#include "outside/Scanning.h"
#include "outside/TempFiles.h"
#include "shell/QRCodeDlg.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/menu.h>
#include <wx/timer.h>

#include <chrono>
#include <memory>

namespace {

constexpr int kScanTab = 2;

class ScannerPageTest : public ::testing::Test {
protected:
  void SetUp() override {
    m_savedMessages = SetMessageBoxHandler([this](const CString& text, UINT) {
      m_messages.push_back(text.str());
      return IDOK;
    });
    m_pnmFile = UseTestScanners() + "/code.pgm";
    UseScanner("test:0", ScanVorlage::Flachbett, "");
    RememberSource("Scanner");
  }
  void TearDown() override {
    m_dialog.reset();
    SetMessageBoxHandler(m_savedMessages);
    SetPopupMenuHandler(nullptr);
    CLokaleProgrammEinstellung::GetItem().Set("QRCode", "UseOldScanProgram", 0);
    GetQRCodeKonfiguration().m_nScanDpi = 0;
    EXPECT_EQ(ScannedFilesLeft(), 0);
  }


  // The main dialog on "Einlesen", its "Scanner" tab in front; the host handler records the codes.
  CSubDlgDecode& OpenScannerTab() {
    m_dialog = std::make_unique<CQRCodeDlg>();
    auto& page = ShowDecodePage(*m_dialog);
    page.m_fnOnDecoded = [this](const CDecodeResultArray* results, const CDTemplateArray<CDecodeGrafikResult>* images) {
      for (const CSubDlgDecodeResult* r : *results) m_decoded.push_back(r->m_strText.str());
      m_imagesReported = images->GetSize();
      return true; // taken by the host: no "Ergebnis" dialog
    };
    EXPECT_EQ(page.m_wndTabCtrl.GetSelection(), kScanTab);
    return page;
  }

  static CSubDlgDecode_ScannerBase& ScannerPage(CSubDlgDecode& page) {
    return *dynamic_cast<CSubDlgDecode_ScannerBase*>(page.m_wndTabCtrl.m_arSubDlg[kScanTab]);
  }

  static void PressVonScanner(CSubDlgDecode_ScannerBase& scanner) {
    wxCommandEvent click(wxEVT_BUTTON, 1008);
    click.SetEventObject(scanner.FindWindow(1008));
    scanner.FindWindow(1008)->GetEventHandler()->ProcessEvent(click);
  }

  std::unique_ptr<CQRCodeDlg> m_dialog;
  std::vector<std::string> m_messages, m_decoded;
  int m_imagesReported = -1;
  std::string m_pnmFile;
  MessageBoxHandler m_savedMessages;
};

} // namespace

TEST_F(ScannerPageTest, ScannerIsTheThirdTabAndTheTabIsRememberedByName) {
  struct Case {
    int oldPosition;       // "LastDecodePage" as stored before names were
    const char* name;      // "LastDecodeSource"
    bool showWebCam;
    const char* expected;
  };
  const Case cases[] = {
      {2, "", true, "Datei"},           // an old 2 meant "Datei", not the new third tab
      {1, "", true, "WebCam"},
      {0, "Scanner", true, "Scanner"},  // the name wins over any position
      {0, "Datei", false, "Datei"},     // a tab a host switched off shifts nothing
      {0, "Fax", true, "2D Scanner"},   // a name no tab has: the first
  };
  CLokaleProgrammEinstellung& settings = CLokaleProgrammEinstellung::GetItem();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    settings.Set("QRCode", "LastDecodePage", c.oldPosition);
    settings.SetText("QRCode", "LastDecodeSource", c.name);
    CQRCodeDlg dialog;
    dialog.CreateFromTemplate();
    dialog.OnInitDialog();
    auto& page = *dynamic_cast<CSubDlgDecode*>(dialog.GetTabCtrl().m_arSubDlg[1]);
    page.m_bShowWebCam = c.showWebCam;
    dialog.Show();
    dialog.GetTabCtrl().SetSelection(1);
    Pump(100);
    const int tabs = page.m_wndTabCtrl.GetPageCount();
    ASSERT_EQ(tabs, c.showWebCam ? 6 : 5);
    EXPECT_EQ(page.m_wndTabCtrl.GetTabLabel(tabs - 4), "Scanner");
    EXPECT_EQ(page.m_wndTabCtrl.GetTabLabel(tabs - 3), "Datei");
    EXPECT_EQ(page.m_wndTabCtrl.GetTabLabel(tabs - 2), "Bildschirm");
    EXPECT_EQ(page.m_wndTabCtrl.GetTabLabel(tabs - 1), "Zwischenablage");
    EXPECT_EQ(page.m_wndTabCtrl.GetTabLabel(page.m_wndTabCtrl.GetSelection()), c.expected);
  }
  EXPECT_EQ(settings.GetText("QRCode", "LastDecodeSource", ""), "Fax") << "opening chose nothing";
  CQRCodeDlg dialog;
  auto& page = ShowDecodePage(dialog);
  page.m_wndTabCtrl.SetSelection(kScanTab);
  Pump(50);
  EXPECT_EQ(settings.GetText("QRCode", "LastDecodeSource", ""), "Scanner");
  EXPECT_NE(page.m_pDlgScannerNew, nullptr) << "the batch scanner is the default";
  page.m_wndTabCtrl.SetSelection(0);
  Pump(50);
  EXPECT_TRUE(page.m_dlgBarCodeScanner.m_bHookInstalled) << "the keyboard catch follows the tab";
}

TEST_F(ScannerPageTest, ACodeOnTheChosenScannerIsReadAndShown) {
  CodePage("Lieferschein 4711", 150, m_pnmFile);
  UseScanner("", ScanVorlage::Flachbett, "filename=" + m_pnmFile);
  CSubDlgDecode& page = OpenScannerTab();
  CSubDlgDecode_ScannerBase& scanner = ScannerPage(page);
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
  EXPECT_EQ(m_imagesReported, 1);
  ASSERT_EQ(scanner.m_Vorschau.m_arGrafiken.GetSize(), 1);
  EXPECT_EQ(scanner.m_Vorschau.m_arGrafiken[0]->m_arResults.GetSize(), 1);
  EXPECT_TRUE(m_messages.empty());
}

TEST_F(ScannerPageTest, AFeederBatchAtTheSetResolutionWithoutCodes) {
  UseScanner("test:0", ScanVorlage::Einzug, "test-picture=Solid white");
  GetQRCodeKonfiguration().m_nScanDpi = 50;
  CSubDlgDecode_ScannerBase& scanner = ScannerPage(OpenScannerTab());
  PressVonScanner(scanner);
  ASSERT_EQ(scanner.m_Vorschau.m_arGrafiken.GetSize(), 10); // the test feeder holds ten sheets
  EXPECT_NEAR(scanner.m_Vorschau.m_arGrafiken[9]->m_pGrafik->GetSize().cx, 200 / 25.4 * 50, 1);
  EXPECT_EQ(m_messages, std::vector<std::string>{"Es wurden keine QR Codes erkannt."});
  EXPECT_TRUE(m_decoded.empty());
}

TEST_F(ScannerPageTest, OnlyTheSecondOfThreePagesCarriesACode) {
  CSubDlgDecode_ScannerBase& scanner = ScannerPage(OpenScannerTab());
  char folder[MAX_PATH], name[MAX_PATH];
  ASSERT_GT(GetTempPathA(MAX_PATH, folder), 0u);
  CStringArray files;
  for (const GrayImage& picture : {Canvas(300, 300), WithQuietZone(RenderCode("Seite 2", 4), 16), Canvas(300, 300)}) {
    ASSERT_NE(GetTempFileNameA(folder, "TQScanner", 0, name, ".bmp"), 0u);
    ASSERT_TRUE(SaveBmp(picture, name));
    files.Add(name);
  }
  scanner.DecodeScannedFiles(files);
  EXPECT_EQ(m_decoded, std::vector<std::string>{"Seite 2"});
  ASSERT_EQ(scanner.m_Vorschau.m_arGrafiken.GetSize(), 3);
  EXPECT_EQ(scanner.m_Vorschau.m_arGrafiken[1]->m_arResults.GetSize(), 1);
  EXPECT_EQ(scanner.m_Vorschau.m_arGrafiken[2]->m_arResults.GetSize(), 0);
  EXPECT_TRUE(files.IsEmpty());
}

TEST_F(ScannerPageTest, FaultsAreToldOnceAndNothingIsReported) {
  const std::pair<const char*, const char*> faults[] = {
      {"read-return-value=SANE_STATUS_JAMMED", "Papierstau im Einzug."},
      {"read-return-value=SANE_STATUS_NO_DOCS", "Im Einzug liegt kein Papier."},
  };
  CSubDlgDecode_ScannerBase& scanner = ScannerPage(OpenScannerTab());
  for (const auto& [options, message] : faults) {
    m_messages.clear();
    UseScanner("test:0", ScanVorlage::Einzug, options);
    PressVonScanner(scanner);
    EXPECT_EQ(m_messages, std::vector<std::string>{message});
  }
  UseTestScanners("");
  UseScanner("", ScanVorlage::Flachbett, ""); // SANE would still open a named device of a known back end
  m_messages.clear();
  PressVonScanner(scanner);
  EXPECT_EQ(m_messages, std::vector<std::string>{"Es wurde kein Scanner gefunden."});
  EXPECT_TRUE(m_decoded.empty());
}

TEST_F(ScannerPageTest, AbbrechenInTheProgressBoxStopsASlowScanAtOnce) {
  UseScanner("test:0", ScanVorlage::Einzug, "read-limit=yes;read-limit-size=1000;read-delay=yes;read-delay-duration=200000");
  CSubDlgDecode_ScannerBase& scanner = ScannerPage(OpenScannerTab());
  std::chrono::steady_clock::time_point cancelled;
  wxTimer timer;
  timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    wxWindow* box = wxWindow::FindWindowByName(kScanProgressName);
    if (!box || !box->IsShown()) return;
    timer.Stop();
    auto* abbrechen = dynamic_cast<wxButton*>(box->FindWindow(wxID_CANCEL));
    ASSERT_NE(abbrechen, nullptr);
    EXPECT_EQ(abbrechen->GetLabel(), "Abbrechen");
    SaveScreenshot(box, "scanner-progress");
    cancelled = std::chrono::steady_clock::now();
    ClickOn(abbrechen);
  });
  timer.Start(50);
  PressVonScanner(scanner);
  EXPECT_LT(std::chrono::steady_clock::now() - cancelled, std::chrono::milliseconds(1000));
  EXPECT_TRUE(m_messages.empty());
  EXPECT_TRUE(m_decoded.empty());
  EXPECT_EQ(scanner.m_Vorschau.m_arGrafiken.GetSize(), 0);
}

TEST_F(ScannerPageTest, TheImportPageScansThroughAFreshHiddenImportEachVisit) {
  CLokaleProgrammEinstellung::GetItem().Set("QRCode", "UseOldScanProgram", 1);
  CodePage("über den Import", 150, m_pnmFile);
  UseScanner("pnm:0", ScanVorlage::Flachbett, "filename=" + m_pnmFile);
  CSubDlgDecode& page = OpenScannerTab();
  EXPECT_EQ(page.m_pDlgScannerNew, nullptr);
  CSubDlgDecode_Scanner_Old& scanner = page.m_dlgScannerOld;
  ASSERT_TRUE(scanner.m_pTwain);
  EXPECT_FALSE(scanner.m_pTwain->m_import.IsShown());
  scanner.m_pTwain->m_import.SetName("erster Besuch");

  PressVonScanner(scanner);
  EXPECT_EQ(m_decoded, std::vector<std::string>{"über den Import"});
  EXPECT_EQ(scanner.m_Vorschau.m_arGrafiken.GetSize(), 1);
  EXPECT_EQ(ScannedFilesLeft(), 1) << "only the name the page keeps for its scans";

  page.m_wndTabCtrl.SetSelection(0);
  Pump(50);
  EXPECT_FALSE(scanner.m_pTwain);
  page.m_wndTabCtrl.SetSelection(kScanTab);
  Pump(50);
  ASSERT_TRUE(scanner.m_pTwain);
  EXPECT_NE(scanner.m_pTwain->m_import.GetName(), "erster Besuch");
}
