// The "Bildschirm" and "Zwischenablage" tabs: a code another window shows, read through the X
// server and through a stand-in portal on a private session bus; a picture and two picture files
// on the clipboard, read by the button and by Ctrl+V.
#include "TestScanners.h"
#include "UiTesting.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/frame.h>
#include <wx/statbmp.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace {

// A program whose output the test reads, ended with the test.
struct Child {
  std::FILE* out;
  const pid_t pid = std::stoi(Line()); // the shell's, which the program takes over
  explicit Child(const std::string& command) : out(popen(("echo $$; exec " + command).c_str(), "r")) {}
  std::string Line() {
    char line[512] = "";
    return std::fgets(line, sizeof line, out) ? std::string(line, std::strcspn(line, "\n")) : "0";
  }
  ~Child() { kill(pid, SIGTERM), pclose(out); }
};

class ScreenSourcesTest : public PageTest {
protected:
  void TearDown() override {
    m_dialog.reset();
    EXPECT_EQ(ScannedFilesLeft(), 0) << "screen shots and clipboard pictures are removed once read";
    PageTest::TearDown();
  }
  // The main dialog on "Einlesen" with this source in front, or as the only one.
  CSubDlgDecode_ScannerBase& Open(const char* source, bool only = false) {
    RememberSource(source), Show(1, [&](CSubDlgDecode& page) {
      if (only) page.m_bShow2DScanner = page.m_bShowWebCam = page.m_bShowScanner = page.m_bShowDatei = page.m_bShowZwischenablage = false;
      page.m_fnOnNotFound = [this](const CDTemplateArray<CDecodeGrafikResult>*) { return ++m_notFound, true; };
    });
    auto* shown = dynamic_cast<CSubDlgDecode_ScannerBase*>(Decode().m_wndTabCtrl.m_arSubDlg[Decode().m_wndTabCtrl.GetSelection()]);
    return shown ? *shown : throw std::runtime_error(std::string("no tab \"") + source + "\" in front"); // fails the test at once
  }
  std::string CodeFile(const std::string& text) { return Picture(text + ".png", WithQuietZone(RenderCode(text, 5), 20)); }
  wxBitmap BitmapOf(const std::string& text) { return wxBitmap(wxImage(CodeFile(text))); }
  // No desktop portal: the shot goes through X.
  void NoPortal() { unsetenv("DBUS_SESSION_BUS_ADDRESS"), setenv("XDG_RUNTIME_DIR", m_dir.c_str(), 1); }
  std::string FirstMessage() const { return m_messages.empty() ? "" : m_messages[0]; }

  int m_notFound = 0;
};

} // namespace

// As the only source it takes the shot at once, and later ones never read our own windows.
TEST_F(ScreenSourcesTest, BildschirmReadsAnotherWindowsCodeThroughXButNeverOurOwnWindows) {
  NoPortal();
  auto* other = new wxFrame(nullptr, wxID_ANY, "andere Anwendung", wxPoint(760, 280), wxSize(260, 260)); // beside where ours opens
  new wxStaticBitmap(other, wxID_ANY, BitmapOf("Lieferschein 4711"));
  other->Show(), Pump(300);
  CSubDlgDecode_ScannerBase& source = Open("Bildschirm", true);
  EXPECT_EQ(Decoded(1), std::vector<std::string>{"Lieferschein 4711"}) << FirstMessage();
  other->Destroy(), Pump(300);
  ClickOn(source.FindWindow(1008)); // our own preview shows the code now; it must not be read
  ASSERT_TRUE(PumpUntil([&] { return m_notFound == 1; }, 10000)) << m_decoded.size() << " " << m_messages.size();
  EXPECT_TRUE(m_decoded.size() == 1 && m_messages.empty());
}

// A portal that answers gives the shot, a cancel does nothing, a failure falls back to X.
TEST_F(ScreenSourcesTest, BildschirmGoesThroughThePortalWhereOneAnswers) {
  Child bus("dbus-daemon --session --nofork --print-address=1");
  setenv("DBUS_SESSION_BUS_ADDRESS", bus.Line().c_str(), 1), setenv("TMPDIR", m_dir.c_str(), 1);
  const std::string picture = CodeFile("Portal-Bild");
  CSubDlgDecode_ScannerBase* source = nullptr;
  for (const char* answer : {"", "--cancel", "--fail"}) {
    SCOPED_TRACE(answer);
    Child portal(std::string(STAND_IN_PORTAL) + " " + picture + " " + answer);
    ASSERT_EQ(portal.Line(), "ready");
    if (!source) source = &Open("Bildschirm");
    ClickOn(source->FindWindow(1008));
    if (!*answer) {
      EXPECT_EQ(Decoded(1), std::vector<std::string>{"Portal-Bild"}) << FirstMessage();
      EXPECT_FALSE(fs::exists(m_dir / "stand-in-portal-1.png")) << "the portal's file in a temporary place is removed";
    } else if (answer[2] == 'c') {
      Pump(1500);
      EXPECT_TRUE(m_decoded.size() == 1 && m_notFound == 0);
    } else {
      EXPECT_TRUE(PumpUntil([&] { return m_notFound == 1; }, 5000)); // the X server shows no code
    }
    EXPECT_TRUE(m_messages.empty());
  }
  unsetenv("DBUS_SESSION_BUS_ADDRESS"), unsetenv("TMPDIR");
}

TEST_F(ScreenSourcesTest, ZwischenablageReadsAPictureAndCtrlVReadsCopiedFilesLeavingThemBe) {
  auto copy = [](wxDataObject* data) {
    wxClipboardLocker open;
    ASSERT_TRUE(!!open);
    wxTheClipboard->SetData(data);
  };
  copy(new wxBitmapDataObject(BitmapOf("aus der Zwischenablage")));
  CSubDlgDecode_ScannerBase& source = Open("Zwischenablage");
  ClickOn(source.FindWindow(1008));
  EXPECT_EQ(Decoded(1), std::vector<std::string>{"aus der Zwischenablage"}) << FirstMessage();

  auto* files = new wxFileDataObject;
  for (const std::string text : {"Datei eins", "Datei zwei"})
    files->AddFile(CodeFile(text));
  copy(files);
  source.FindWindow(1008)->SetFocus(), Pump(100);
  wxUIActionSimulator().Char('v', wxMOD_CONTROL);
  EXPECT_EQ(Decoded(3), (std::vector<std::string>{"aus der Zwischenablage", "Datei eins", "Datei zwei"})) << FirstMessage();
  EXPECT_TRUE(fs::exists(m_dir / "Datei eins.png") && fs::exists(m_dir / "Datei zwei.png")) << "the user's files stay";

  copy(new wxTextDataObject("nur Text"));
  ClickOn(source.FindWindow(1008));
  PumpUntil([&] { return !m_messages.empty(); }, 3000);
  EXPECT_EQ(FirstMessage(), "In der Zwischenablage ist weder ein Bild noch eine Bilddatei.");
}

TEST_F(ScreenSourcesTest, AModalMainDialogStaysOpenThroughTheShot) {
  NoPortal();
  RememberSource("Bildschirm");
  CQRCodeDlg dialog;
  ASSERT_TRUE(dialog.CreateFromTemplate());
  dialog.OnInitDialog();
  bool stillOpen = false;
  WhenModalShown([&](wxWindow*) {
    dialog.GetTabCtrl().SetSelection(1), Pump(300);
    auto& page = *dynamic_cast<CSubDlgDecode*>(dialog.GetTabCtrl().m_arSubDlg[1]);
    EXPECT_EQ(page.m_wndTabCtrl.GetTabLabel(page.m_wndTabCtrl.GetSelection()), "Bildschirm");
    ClickOn(page.m_wndTabCtrl.m_arSubDlg[page.m_wndTabCtrl.GetSelection()]->FindWindow(1008));
    PumpUntil([&] { return !m_messages.empty(); }, 10000);
    stillOpen = dialog.IsModal() && dialog.IsShown();
    dialog.EndModal(wxID_CANCEL);
  });
  dialog.ShowModal();
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(m_messages, std::vector<std::string>{"Es wurden keine QR Codes erkannt."});
}
