// The "Bildschirm" and "Zwischenablage" tabs: a code another window shows, read through the X
// server and through a stand-in portal on a private session bus; a picture and two picture files
// on the clipboard, read by the button and by Ctrl+V.
#include "TestPictures.h"
#include "TestScanners.h"
#include "UiTesting.h"
#include "outside/MessageBox.h"
#include "shell/QRCodeDlg.h"

#include <gtest/gtest.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/frame.h>
#include <wx/statbmp.h>
#include <wx/uiaction.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

wxImage ImageOf(const GrayImage& gray) {
  wxImage image(gray.width, gray.height);
  for (int y = 0; y < gray.height; ++y)
    for (int x = 0; x < gray.width; ++x) image.SetRGB(x, y, gray.at(x, y), gray.at(x, y), gray.at(x, y));
  return image;
}

GrayImage CodePicture(const std::string& text) { return WithQuietZone(RenderCode(text, 5), 20); }

// A program started with its output on a pipe, ended with the test.
struct Child {
  pid_t pid = -1;
  std::FILE* out = nullptr;

  explicit Child(std::vector<std::string> argv) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return;
    pid = fork();
    if (pid == 0) {
      dup2(pipeFds[1], 1);
      close(pipeFds[0]), close(pipeFds[1]);
      std::vector<char*> args;
      for (std::string& a : argv) args.push_back(a.data());
      args.push_back(nullptr);
      execvp(args[0], args.data());
      _exit(127);
    }
    close(pipeFds[1]);
    out = fdopen(pipeFds[0], "r");
  }
  std::string Line() {
    char line[512] = "";
    return out && std::fgets(line, sizeof line, out) ? std::string(line, std::strcspn(line, "\n")) : std::string();
  }
  ~Child() {
    if (pid > 0) kill(pid, SIGTERM), waitpid(pid, nullptr, 0);
    if (out) std::fclose(out);
  }
};

class ScreenSourcesTest : public ::testing::Test {
protected:
  void SetUp() override {
    m_savedMessages = SetMessageBoxHandler([this](const CString& text, UINT) {
      m_messages.push_back(text.str());
      return IDOK;
    });
    fs::create_directories(m_dir);
  }
  void TearDown() override {
    m_dialog.reset();
    SetMessageBoxHandler(m_savedMessages);
    EXPECT_EQ(ScannedFilesLeft(), 0) << "screen shots and clipboard pictures are removed once read";
    fs::remove_all(m_dir);
  }

  // The main dialog on "Einlesen" with this source in front; the host handler records the codes.
  CSubDlgDecode_ScannerBase& Open(const char* source) {
    RememberSource(source);
    m_dialog = std::make_unique<CQRCodeDlg>();
    CSubDlgDecode& page = ShowDecodePage(*m_dialog);
    page.m_fnOnDecoded = [this](const CDecodeResultArray* results, const CDTemplateArray<CDecodeGrafikResult>*) {
      for (const CSubDlgDecodeResult* r : *results) m_decoded.push_back(r->m_strText.str());
      return true;
    };
    page.m_fnOnNotFound = [this](const CDTemplateArray<CDecodeGrafikResult>*) { return ++m_notFound, true; };
    return *dynamic_cast<CSubDlgDecode_ScannerBase*>(page.m_wndTabCtrl.m_arSubDlg[page.m_wndTabCtrl.GetSelection()]);
  }
  static void Press(CSubDlgDecode_ScannerBase& source) { ClickOn(source.FindWindow(1008)); }

  std::string Saved(const std::string& text, const std::string& name) {
    const std::string path = (m_dir / name).string();
    EXPECT_TRUE(SavePng(CodePicture(text), path));
    return path;
  }

  fs::path m_dir = fs::temp_directory_path() / ("codewerk-screen-" + std::to_string(getpid()));
  std::unique_ptr<CQRCodeDlg> m_dialog;
  std::vector<std::string> m_messages, m_decoded;
  int m_notFound = 0;
  MessageBoxHandler m_savedMessages;
};

} // namespace

TEST_F(ScreenSourcesTest, BildschirmReadsAnotherWindowsCodeThroughXButNeverOurOwnWindows) {
  unsetenv("DBUS_SESSION_BUS_ADDRESS"); // no portal: the X server
  setenv("XDG_RUNTIME_DIR", m_dir.c_str(), 1);
  auto* other = new wxFrame(nullptr, wxID_ANY, "andere Anwendung", wxPoint(760, 280), wxSize(260, 260));
  new wxStaticBitmap(other, wxID_ANY, wxBitmap(ImageOf(CodePicture("Lieferschein 4711"))));
  other->Show();
  Pump(300);
  CSubDlgDecode_ScannerBase& source = Open("Bildschirm");
  Press(source);
  ASSERT_TRUE(PumpUntil([&] { return !m_decoded.empty(); }, 10000)) << (m_messages.empty() ? "" : m_messages[0]);
  EXPECT_EQ(m_decoded, std::vector<std::string>{"Lieferschein 4711"});
  SaveScreenshot(m_dialog.get(), "bildschirm-page");
  other->Destroy();
  Pump(300);
  Press(source); // our own preview shows the code now; it must not be read
  ASSERT_TRUE(PumpUntil([&] { return m_notFound == 1; }, 10000)) << m_decoded.size() << " " << m_messages.size();
  EXPECT_EQ(m_decoded.size(), 1u);
  EXPECT_TRUE(m_messages.empty());
}

TEST_F(ScreenSourcesTest, BildschirmAsTheOnlySourceTakesTheShotAtOnce) {
  unsetenv("DBUS_SESSION_BUS_ADDRESS");
  setenv("XDG_RUNTIME_DIR", m_dir.c_str(), 1);
  auto* other = new wxFrame(nullptr, wxID_ANY, "andere Anwendung", wxPoint(760, 280), wxSize(260, 260));
  new wxStaticBitmap(other, wxID_ANY, wxBitmap(ImageOf(CodePicture("nur Bildschirm"))));
  other->Show();
  m_dialog = std::make_unique<CQRCodeDlg>();
  ASSERT_TRUE(m_dialog->CreateFromTemplate());
  m_dialog->OnInitDialog();
  auto& page = *dynamic_cast<CSubDlgDecode*>(m_dialog->GetTabCtrl().m_arSubDlg[1]);
  page.m_bShow2DScanner = page.m_bShowWebCam = page.m_bShowScanner = page.m_bShowDatei = page.m_bShowZwischenablage = false;
  page.m_fnOnDecoded = [this](const CDecodeResultArray* results, const CDTemplateArray<CDecodeGrafikResult>*) {
    for (const CSubDlgDecodeResult* r : *results) m_decoded.push_back(r->m_strText.str());
    return true;
  };
  m_dialog->Show();
  m_dialog->GetTabCtrl().SetSelection(1);
  EXPECT_TRUE(PumpUntil([&] { return !m_decoded.empty(); }, 10000));
  EXPECT_EQ(m_decoded, std::vector<std::string>{"nur Bildschirm"});
  other->Destroy();
}

TEST_F(ScreenSourcesTest, BildschirmGoesThroughThePortalWhereOneAnswersACancelDoesNothingAFailureFallsBackToX) {
  Child bus({"dbus-daemon", "--session", "--nofork", "--print-address=1"});
  const std::string address = bus.Line();
  ASSERT_FALSE(address.empty());
  setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
  setenv("TMPDIR", m_dir.c_str(), 1);
  const std::string portalPicture = Saved("Portal-Bild", "portal.png");
  CSubDlgDecode_ScannerBase* source = nullptr;
  {
    Child portal({STAND_IN_PORTAL, portalPicture});
    ASSERT_EQ(portal.Line(), "ready");
    source = &Open("Bildschirm");
    Press(*source);
    ASSERT_TRUE(PumpUntil([&] { return !m_decoded.empty(); }, 10000)) << (m_messages.empty() ? "" : m_messages[0]);
    EXPECT_EQ(m_decoded, std::vector<std::string>{"Portal-Bild"});
    EXPECT_FALSE(fs::exists(m_dir / "stand-in-portal-1.png")) << "the portal's file in a temporary place is removed";
  }
  {
    Child portal({STAND_IN_PORTAL, portalPicture, "--cancel"});
    ASSERT_EQ(portal.Line(), "ready");
    Press(*source);
    Pump(1500);
    EXPECT_EQ(m_decoded.size(), 1u);
    EXPECT_EQ(m_notFound, 0);
    EXPECT_TRUE(m_messages.empty());
  }
  {
    Child portal({STAND_IN_PORTAL, portalPicture, "--fail"});
    ASSERT_EQ(portal.Line(), "ready");
    Press(*source); // a portal that fails leaves it to the X server, where there is no code
    ASSERT_TRUE(PumpUntil([&] { return m_notFound == 1; }, 5000));
    EXPECT_TRUE(m_messages.empty());
  }
  unsetenv("DBUS_SESSION_BUS_ADDRESS");
  unsetenv("TMPDIR");
}

TEST_F(ScreenSourcesTest, ZwischenablageReadsAPictureAndCtrlVReadsCopiedFilesLeavingThemBe) {
  {
    wxClipboardLocker open;
    ASSERT_TRUE(!!open);
    wxTheClipboard->SetData(new wxBitmapDataObject(wxBitmap(ImageOf(CodePicture("aus der Zwischenablage")))));
  }
  CSubDlgDecode_ScannerBase& source = Open("Zwischenablage");
  Press(source);
  ASSERT_TRUE(PumpUntil([&] { return !m_decoded.empty(); }, 5000)) << (m_messages.empty() ? "" : m_messages[0]);
  EXPECT_EQ(m_decoded, std::vector<std::string>{"aus der Zwischenablage"});

  const std::string first = Saved("Datei eins", "eins.png"), second = Saved("Datei zwei", "zwei.png");
  {
    wxClipboardLocker open;
    auto* files = new wxFileDataObject;
    files->AddFile(first), files->AddFile(second);
    wxTheClipboard->SetData(files);
  }
  source.FindWindow(1008)->SetFocus();
  Pump(100);
  wxUIActionSimulator keys;
  keys.Char('v', wxMOD_CONTROL);
  ASSERT_TRUE(PumpUntil([&] { return m_decoded.size() == 3; }, 5000)) << (m_messages.empty() ? "" : m_messages[0]);
  EXPECT_EQ(m_decoded[1], "Datei eins");
  EXPECT_EQ(m_decoded[2], "Datei zwei");
  EXPECT_TRUE(fs::exists(first) && fs::exists(second)) << "the user's files stay";

  {
    wxClipboardLocker open;
    wxTheClipboard->SetData(new wxTextDataObject("nur Text"));
  }
  Press(source);
  ASSERT_TRUE(PumpUntil([&] { return !m_messages.empty(); }, 3000));
  EXPECT_EQ(m_messages[0], "In der Zwischenablage ist weder ein Bild noch eine Bilddatei.");
}

TEST_F(ScreenSourcesTest, AModalMainDialogStaysOpenThroughTheShot) {
  unsetenv("DBUS_SESSION_BUS_ADDRESS");
  setenv("XDG_RUNTIME_DIR", m_dir.c_str(), 1);
  RememberSource("Bildschirm");
  CQRCodeDlg dialog;
  ASSERT_TRUE(dialog.CreateFromTemplate());
  dialog.OnInitDialog();
  bool stillOpen = false;
  WhenModalShown([&](wxWindow*) {
    dialog.GetTabCtrl().SetSelection(1);
    Pump(300);
    auto& page = *dynamic_cast<CSubDlgDecode*>(dialog.GetTabCtrl().m_arSubDlg[1]);
    Press(*dynamic_cast<CSubDlgDecode_ScannerBase*>(page.m_wndTabCtrl.m_arSubDlg[page.m_wndTabCtrl.GetSelection()]));
    PumpUntil([&] { return !m_messages.empty(); }, 10000);
    stillOpen = dialog.IsModal() && dialog.IsShown();
    dialog.EndModal(wxID_CANCEL);
  });
  dialog.ShowModal();
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(m_messages, std::vector<std::string>{"Es wurden keine QR Codes erkannt."});
}
