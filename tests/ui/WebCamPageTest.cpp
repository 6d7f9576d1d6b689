// The "WebCam" tab over real GStreamer pipelines standing in for a camera: a picture file, test
// sources that fail, start slowly or end.
#include "UiTesting.h"

#include <chrono>

namespace {

constexpr const char* kMovingPicture = "videotestsrc pattern=ball";
constexpr const char* kCannotStart = "WebCam kann nicht initialisiert werden";

class WebCamPageTest : public PageTest {
protected:
  void TearDown() override {
    unsetenv("CODEWERK_WEBCAM_SOURCE");
    PageTest::TearDown();
  }
  static void UseSource(const std::string& source) { setenv("CODEWERK_WEBCAM_SOURCE", source.c_str(), 1); }
  // A camera showing this code; the pipeline holds its picture file open while it runs.
  std::string CodeSource(const std::string& text) {
    GrayImage frame = Canvas(640, 480, 200);
    Paste(frame, WithQuietZone(RenderCode(text, 6), 4), 150, 80);
    return "filesrc location=\"" + Picture("code.png", frame) + "\" ! pngdec ! imagefreeze";
  }
  long OpenDescriptorsOfTheCode() const {
    std::error_code error;
    return std::count_if(fs::directory_iterator("/proc/self/fd"), {},
                         [&](const auto& e) { return fs::read_symlink(e.path(), error) == m_dir / "code.png"; });
  }
  // The main dialog with "Einlesen" in front; its WebCam tab starts on being shown.
  CSubDlgDecode_WebCam& Open() { return OpenDecode("WebCam").m_dlgWebCam; }
  // The button's label, whether it is enabled, and what the preview says.
  static std::string Status(CSubDlgDecode_WebCam& page) {
    return page.m_btnWebCam->GetLabel().utf8_string() + (page.m_btnWebCam->IsEnabled() ? "" : " (aus)") + " | " + page.m_strStatus.str();
  }
  static bool Running(CSubDlgDecode_WebCam& page) {
    return PumpUntil([&] { return page.m_pWebCam != nullptr; }, 5000) && page.m_btnWebCam->GetLabel() == "Stoppe WebCam";
  }
  static bool Restart(CSubDlgDecode_WebCam& page, const std::string& source) {
    return page.OnBnClickedFromWebCam(), UseSource(source), page.OnBnClickedFromWebCam(), Running(page);
  }
};

} // namespace

TEST_F(WebCamPageTest, ACodeHeldToTheCameraIsReportedOnceTillItWasOutOfViewAndNothingIsLeftBehind) {
  UseSource(CodeSource("WebCam 42"));
  CSubDlgDecode_WebCam& page = Open();
  const std::string snapshot = page.m_szBildDatei;
  ASSERT_TRUE(Running(page));
  // The code stays in front of the camera, four ticks a second: it is reported once.
  ASSERT_TRUE(PumpUntil([&] { return !m_decoded.empty(); }, 3000));
  Pump(1500);
  EXPECT_EQ(m_decoded, (std::vector<std::string>{"WebCam 42"}));
  EXPECT_TRUE(m_messages.empty());
  auto& preview = page.m_btnVorschau;
  ASSERT_EQ(preview.m_arGrafiken.GetSize(), 1);
  EXPECT_EQ(std::make_pair(preview.m_arGrafiken[0]->m_arResults.GetSize(), preview.m_arGrafiken[0]->m_pGrafik->GetSize()),
            std::make_pair(1, CSize(640, 480)));

  // The frame's edge is the picture's own grey: no black frame around it.
  const GrayImage shown = ToGray(CaptureClient(&preview));
  const CRect drawn = preview.m_arGrafiken[0]->m_rectDrawn;
  EXPECT_GT(shown.at(drawn.left, (drawn.top + drawn.bottom) / 2), 150);
  EXPECT_GT(shown.at((drawn.left + drawn.right) / 2, drawn.bottom - 2), 150);
  // And no context menu on a right click.
  int menus = 0;
  SetPopupMenuHandler([&](wxMenu&) -> UINT { return ++menus, 0; });
  wxUIActionSimulator mouse;
  mouse.MouseMove(preview.ClientToScreen(wxPoint((drawn.left + drawn.right) / 2, (drawn.top + drawn.bottom) / 2)));
  mouse.MouseClick(wxMOUSE_BTN_RIGHT), Pump(200);
  EXPECT_TRUE(menus == 0 && fs::exists(snapshot));

  // Out of view for more than two seconds (a camera on a blank wall), then back: reported again.
  ASSERT_TRUE(Restart(page, kMovingPicture));
  Pump(2500);
  ASSERT_TRUE(Restart(page, CodeSource("WebCam 42")));
  EXPECT_TRUE(PumpUntil([&] { return m_decoded.size() == 2; }, 3000));
  m_dialog.reset(); // nor the empty name-giving file
  EXPECT_FALSE(fs::exists(snapshot) || fs::exists(snapshot + ".part") || fs::exists(snapshot.substr(0, snapshot.size() - 4)));
}

TEST_F(WebCamPageTest, TicksGoOnWhileHiddenTheButtonStopsAndRestartsAndAnEndedOrMissingCameraIsTold) {
  UseSource(kMovingPicture);
  CSubDlgDecode_WebCam& page = Open();
  ASSERT_TRUE(Running(page));
  ASSERT_TRUE(PumpUntil([&] { return page.m_btnVorschau.m_arGrafiken.GetSize() == 1; }));
  const auto written = fs::last_write_time(page.m_szBildDatei);
  ToTab(0, 800); // "Erstellen"
  EXPECT_TRUE(fs::last_write_time(page.m_szBildDatei) != written && page.m_pWebCam);
  ToTab(1, 100);
  ClickOn(page.m_btnWebCam);
  EXPECT_EQ(page.m_pWebCam, nullptr);
  EXPECT_EQ(Status(page), "Starte WebCam | "); // a stopped camera leaves a blank preview
  ClickOn(page.m_btnWebCam);
  EXPECT_TRUE(Running(page) && m_decoded.empty()); // a ball is no code

  // A camera that stops sending offers a new start.
  ASSERT_TRUE(Restart(page, "videotestsrc num-buffers=10"));
  EXPECT_TRUE(PumpUntil([&] { return page.m_pWebCam == nullptr; }, 6000));
  EXPECT_EQ(Status(page), "Starte WebCam | Die WebCam liefert keine Bilder mehr");

  // No camera: said in the preview, not in a box; showing the tab again retries.
  UseSource("filesrc location=/nonexistent/kamera.png ! pngdec ! imagefreeze");
  auto& sources = Decode().m_wndTabCtrl;
  for (int attempt = 0; attempt < 2; ++attempt) {
    SelectTab(sources, "Scanner");
    sources.SetSelection(1), Pump(50);
    CStarteWebCamThread* starting = page.m_pStarteThread;
    ASSERT_NE(starting, nullptr);
    page.OnBnClickedFromWebCam(); // a second click during the start changes nothing
    EXPECT_EQ(page.m_pStarteThread, starting);
    EXPECT_EQ(Status(page), "Starte WebCam (aus) | Initialisiere WebCam");
    ASSERT_TRUE(PumpUntil([&] { return page.m_strStatus == kCannotStart; }, 3000));
    EXPECT_EQ(Status(page), std::string("Starte WebCam | ") + kCannotStart);
  }
  EXPECT_TRUE(m_messages.empty());
}

TEST_F(WebCamPageTest, ClosingDuringAStartWaitsAndClosesTheCameraThatOpened) {
  UseSource(CodeSource("langsam") + " ! identity sleep-time=1500000"); // the first frame takes 1.5 s
  CSubDlgDecode_WebCam& page = Open();
  Pump(50);
  ASSERT_NE(page.m_pStarteThread, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return OpenDescriptorsOfTheCode() == 1; }, 1000)); // the camera is opening
  ToTab(0, 50);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(m_dialog->PrepareForCloseDialog());
  EXPECT_GT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500)); // it waited
  EXPECT_EQ(m_dialog->GetTabCtrl().GetSelection(), 1); // the starting camera's page came to the front
  // The camera that opened meanwhile is closed.
  EXPECT_TRUE(!page.m_pStarteThread && !page.m_pWebCam && !page.m_nTimer && page.m_strStatus.IsEmpty());
  EXPECT_EQ(OpenDescriptorsOfTheCode(), 0);
}
