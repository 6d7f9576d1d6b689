// The "WebCam" tab over real GStreamer pipelines standing in for a camera: a picture file, test
// sources that fail, start slowly or end.
#include "TestPictures.h"
#include "UiTesting.h"
#include "outside/MessageBox.h"
#include "outside/PopupMenu.h"
#include "outside/ProgramSettings.h"
#include "shell/QRCodeDlg.h"

#include <gtest/gtest.h>
#include <wx/uiaction.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* kNoCamera = "filesrc location=/nonexistent/kamera.png ! pngdec ! imagefreeze";
constexpr const char* kMovingPicture = "videotestsrc pattern=ball";
constexpr const char* kEndingCamera = "videotestsrc num-buffers=10";

class WebCamPageTest : public ::testing::Test {
protected:
  void SetUp() override {
    fs::create_directories(m_dir);
    m_oldMessages = SetMessageBoxHandler([this](const CString& text, UINT) {
      m_messages.push_back(text.str());
      return IDOK;
    });
    RememberSource("WebCam");
  }
  void TearDown() override {
    SetMessageBoxHandler(m_oldMessages);
    unsetenv("CODEWERK_WEBCAM_SOURCE");
    fs::remove_all(m_dir);
  }

  static void UseSource(const std::string& source) { setenv("CODEWERK_WEBCAM_SOURCE", source.c_str(), 1); }
  std::string CodeSource(const std::string& text) {
    const std::string path = (m_dir / "code.png").string();
    GrayImage frame = Canvas(640, 480, 200);
    Paste(frame, WithQuietZone(RenderCode(text, 6), 4), 150, 80);
    EXPECT_TRUE(SavePng(frame, path));
    return "filesrc location=\"" + path + "\" ! pngdec ! imagefreeze";
  }

  // A camera whose first frame takes 1.5 s; it holds its picture file open while it runs.
  std::string SlowCodeSource(const std::string& text) {
    return CodeSource(text) + " ! identity sleep-time=1500000";
  }
  int OpenDescriptorsOf(const fs::path& file) const {
    int n = 0;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
      std::error_code error;
      n += fs::read_symlink(entry.path(), error) == file;
    }
    return n;
  }

  // The main dialog with "Einlesen" in front; its WebCam tab starts on being shown.
  CSubDlgDecode_WebCam& Open(CQRCodeDlg& dialog) {
    auto& decodePage = ShowDecodePage(dialog);
    decodePage.m_fnOnDecoded = [this](const CDecodeResultArray* results, const CDTemplateArray<CDecodeGrafikResult>*) {
      for (const CSubDlgDecodeResult* r : *results) m_decoded.push_back(r->m_strText.str());
      return true;
    };
    return decodePage.m_dlgWebCam;
  }
  static std::string Label(CSubDlgDecode_WebCam& page) { return page.m_btnWebCam->GetLabel().utf8_string(); }
  static bool Running(CSubDlgDecode_WebCam& page) {
    return PumpUntil([&] { return page.m_pWebCam != nullptr; }, 5000) && Label(page) == "Stoppe WebCam";
  }

  fs::path m_dir = fs::temp_directory_path() / ("codewerk-webcam-page-" + std::to_string(getpid()));
  MessageBoxHandler m_oldMessages;
  std::vector<std::string> m_messages, m_decoded;
};

} // namespace

TEST_F(WebCamPageTest, ACodeHeldToTheCameraIsReportedOnceTillItWasOutOfViewAndNothingIsLeftBehind) {
  UseSource(CodeSource("WebCam 42"));
  std::string snapshot;
  {
    CQRCodeDlg dialog;
    CSubDlgDecode_WebCam& page = Open(dialog);
    snapshot = page.m_szBildDatei;
    ASSERT_TRUE(Running(page));
    // The code stays in front of the camera, four ticks a second: it is reported once.
    ASSERT_TRUE(PumpUntil([&] { return !m_decoded.empty(); }, 3000));
    Pump(1500);
    EXPECT_EQ(m_decoded, (std::vector<std::string>{"WebCam 42"}));
    EXPECT_TRUE(m_messages.empty());
    auto& preview = page.m_btnVorschau;
    ASSERT_EQ(preview.m_arGrafiken.GetSize(), 1);
    EXPECT_EQ(preview.m_arGrafiken[0]->m_arResults.GetSize(), 1);
    EXPECT_EQ(preview.m_arGrafiken[0]->m_pGrafik->GetSize(), CSize(640, 480));
    Pump(100);
    SaveScreenshot(&dialog, "webcam-running");

    // The frame's edge is the picture's own grey: no black frame around it.
    const GrayImage shown = ToGray(CaptureClient(&preview));
    const CRect drawn = preview.m_arGrafiken[0]->m_rectDrawn;
    EXPECT_GT(shown.at(drawn.left, (drawn.top + drawn.bottom) / 2), 150);
    EXPECT_GT(shown.at((drawn.left + drawn.right) / 2, drawn.bottom - 2), 150);
    // And no context menu on a right click.
    int menus = 0;
    const PopupMenuHandler old = SetPopupMenuHandler([&](wxMenu&) -> UINT { return ++menus, 0; });
    wxUIActionSimulator mouse;
    mouse.MouseMove(preview.ClientToScreen(wxPoint((drawn.left + drawn.right) / 2, (drawn.top + drawn.bottom) / 2)));
    mouse.MouseClick(wxMOUSE_BTN_RIGHT);
    Pump(200);
    SetPopupMenuHandler(old);
    EXPECT_EQ(menus, 0);
    EXPECT_TRUE(fs::exists(snapshot));

    // Out of view for more than two seconds (a camera on a blank wall), then back: reported again.
    auto restart = [&](const std::string& source) {
      page.OnBnClickedFromWebCam();
      UseSource(source);
      page.OnBnClickedFromWebCam();
      ASSERT_TRUE(Running(page));
    };
    restart(kMovingPicture);
    Pump(2500);
    restart(CodeSource("WebCam 42"));
    EXPECT_TRUE(PumpUntil([&] { return m_decoded.size() == 2; }, 3000));
  }
  EXPECT_FALSE(fs::exists(snapshot));
  EXPECT_FALSE(fs::exists(snapshot + ".part"));
  EXPECT_FALSE(fs::exists(snapshot.substr(0, snapshot.size() - 4))); // the empty name-giving file
}

TEST_F(WebCamPageTest, NoCameraShowsWhyAndShowingTheTabAgainRetries) {
  UseSource(kNoCamera);
  CQRCodeDlg dialog;
  CSubDlgDecode_WebCam& page = Open(dialog);
  ASSERT_TRUE(PumpUntil([&] { return page.m_strStatus == "WebCam kann nicht initialisiert werden"; }, 3000));
  EXPECT_EQ(Label(page), "Starte WebCam");
  EXPECT_TRUE(page.m_btnWebCam->IsEnabled());
  EXPECT_TRUE(m_messages.empty()); // said in the preview, not in a box
  Pump(100);
  SaveScreenshot(&dialog, "webcam-no-camera");

  auto& sources = dynamic_cast<CSubDlgDecode*>(dialog.GetTabCtrl().m_arSubDlg[1])->m_wndTabCtrl;
  sources.SetSelection(2);
  Pump(100);
  sources.SetSelection(1);
  Pump(50);
  EXPECT_EQ(page.m_strStatus, "Initialisiere WebCam");
  EXPECT_FALSE(page.m_btnWebCam->IsEnabled());
  CStarteWebCamThread* starting = page.m_pStarteThread;
  ASSERT_NE(starting, nullptr);
  page.OnBnClickedFromWebCam(); // a second click during the start changes nothing
  EXPECT_EQ(page.m_pStarteThread, starting);
  EXPECT_TRUE(PumpUntil([&] { return page.m_strStatus == "WebCam kann nicht initialisiert werden"; }, 3000));
}

TEST_F(WebCamPageTest, TicksGoOnWhileHiddenAndTheButtonStopsAndRestarts) {
  UseSource(kMovingPicture);
  CQRCodeDlg dialog;
  CSubDlgDecode_WebCam& page = Open(dialog);
  ASSERT_TRUE(Running(page));
  ASSERT_TRUE(PumpUntil([&] { return page.m_btnVorschau.m_arGrafiken.GetSize() == 1; }));
  const auto written = fs::last_write_time(page.m_szBildDatei);
  dialog.GetTabCtrl().SetSelection(0); // "Erstellen"
  Pump(800);
  EXPECT_NE(fs::last_write_time(page.m_szBildDatei), written);
  EXPECT_NE(page.m_pWebCam, nullptr);
  dialog.GetTabCtrl().SetSelection(1);
  Pump(100);

  ClickOn(page.m_btnWebCam);
  EXPECT_EQ(page.m_pWebCam, nullptr);
  EXPECT_EQ(Label(page), "Starte WebCam");
  EXPECT_TRUE(page.m_strStatus.IsEmpty()); // a stopped camera leaves a blank preview
  ClickOn(page.m_btnWebCam);
  EXPECT_TRUE(Running(page));
  EXPECT_TRUE(m_decoded.empty()); // a ball is no code
}

TEST_F(WebCamPageTest, ClosingDuringAStartWaitsAndClosesTheCameraThatOpened) {
  UseSource(SlowCodeSource("langsam"));
  CQRCodeDlg dialog;
  CSubDlgDecode_WebCam& page = Open(dialog);
  Pump(50);
  ASSERT_NE(page.m_pStarteThread, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return OpenDescriptorsOf(m_dir / "code.png") == 1; }, 1000)); // the camera is opening
  dialog.GetTabCtrl().SetSelection(0);
  Pump(50);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(dialog.PrepareForCloseDialog());
  EXPECT_GT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500)); // it waited
  EXPECT_EQ(dialog.GetTabCtrl().GetSelection(), 1); // the starting camera's page came to the front
  EXPECT_EQ(page.m_pStarteThread, nullptr);
  EXPECT_EQ(page.m_pWebCam, nullptr);
  EXPECT_EQ(OpenDescriptorsOf(m_dir / "code.png"), 0); // the camera that opened meanwhile is closed
  EXPECT_TRUE(page.m_strStatus.IsEmpty());
  EXPECT_EQ(page.m_nTimer, 0u);
}

TEST_F(WebCamPageTest, ACameraThatStopsSendingOffersANewStart) {
  UseSource(kEndingCamera);
  CQRCodeDlg dialog;
  CSubDlgDecode_WebCam& page = Open(dialog);
  ASSERT_TRUE(Running(page));
  EXPECT_TRUE(PumpUntil([&] { return page.m_pWebCam == nullptr; }, 6000));
  EXPECT_EQ(Label(page), "Starte WebCam");
  EXPECT_EQ(page.m_strStatus, "Die WebCam liefert keine Bilder mehr");
  EXPECT_TRUE(page.m_btnWebCam->IsEnabled());
}
