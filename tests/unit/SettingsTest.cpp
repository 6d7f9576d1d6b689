// The settings file: defaults, broken files, saving that keeps what others wrote, and copies.
#include "config/QRCodeKonfiguration.h"
#include "outside/MessageBox.h"
#include "outside/Profile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <sys/resource.h>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class SettingsTest : public ::testing::Test {
protected:
  void SetUp() override {
    m_home = fs::path(std::getenv("XDG_CONFIG_HOME")) / ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::create_directories(m_home);
    m_saved = std::getenv("XDG_CONFIG_HOME");
    setenv("XDG_CONFIG_HOME", m_home.c_str(), 1);
  }
  void TearDown() override {
    setenv("XDG_CONFIG_HOME", m_saved.c_str(), 1);
    fs::remove_all(m_home);
  }
  fs::path File() const { return m_home / "Brennwald Systemtechnik" / "QRCode.ini"; }
  void WriteFile(const std::string& content) const {
    fs::create_directories(File().parent_path());
    std::ofstream(File(), std::ios::binary) << content;
  }
  std::string ReadFile() const {
    std::ifstream in(File(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
  }
  static void ExpectDefaults(const CQRCodeKonfiguration& k, const std::string& what) {
    EXPECT_EQ(k.m_eEncoder, Encoder_ZInt) << what;
    EXPECT_EQ(k.m_eDecoder, Decoder_ZXing) << what;
    EXPECT_EQ(k.m_sizeWebCam, CSize(0, 0)) << what;
    EXPECT_EQ(k.m_nScanDpi, 0) << what;
    EXPECT_EQ(k.m_bNurQRCodes, 1) << what;
  }

  fs::path m_home;
  std::string m_saved;
};

} // namespace

TEST_F(SettingsTest, TheFileLivesInTheUsersConfigFolder) {
  CQRCodeKonfiguration settings;
  EXPECT_EQ(settings.GetStammdatenName().str(), File().string());
  EXPECT_TRUE(settings.Laden()); // no file yet: no error, defaults
  ExpectDefaults(settings, "no file");
}

TEST_F(SettingsTest, MissingKeysAndBrokenValuesTakeTheirDefaults) {
  WriteFile("[A]\nEnc=0\n");
  CQRCodeKonfiguration onlyEncoder;
  onlyEncoder.Laden();
  EXPECT_EQ(onlyEncoder.m_eEncoder, Encoder_QREncode);
  EXPECT_EQ(onlyEncoder.m_eDecoder, Decoder_ZXing);

  WriteFile("[a]\r\n  enc = 0 \r\n[WC]\r\ncx=640\r\ncy=480\r\n[DEC]\r\nQR=0\r\n[SC]\r\ndpi=-300\r\n");
  CQRCodeKonfiguration windowsStyle;
  windowsStyle.Laden();
  EXPECT_EQ(windowsStyle.m_eEncoder, Encoder_QREncode);
  EXPECT_EQ(windowsStyle.m_sizeWebCam, CSize(640, 480));
  EXPECT_EQ(windowsStyle.m_nScanDpi, -300); // taken as it is; readers judge it
  EXPECT_EQ(windowsStyle.m_bNurQRCodes, 0);

  for (const std::string& broken : {std::string("[A]\nEnc=99999999999\nDec=12abc\n[WC]\ncx=\ncy=0x10\n"),
                                   std::string("Enc=0\nDec=0\n")}) { // keys without their section
    WriteFile(broken);
    CQRCodeKonfiguration settings;
    EXPECT_TRUE(settings.Laden());
    ExpectDefaults(settings, broken.substr(0, 20));
  }

  WriteFile("[A]\nDec=2\n");
  CQRCodeKonfiguration outside;
  outside.Laden();
  EXPECT_EQ(outside.m_eDecoder, 2);
}

// A file that is no settings file keeps the defaults and says why, in the user's words and, for a
// command line, in English; the next save keeps it beside the new one.
TEST_F(SettingsTest, ABrokenFileKeepsTheDefaultsSaysWhyAndIsKeptAsideOnTheNextSave) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {std::string("\x00\x01\xFF[A\n=\n\xC3\x28", 10), "holds no text"},
      {"[A]\nEnc=\xC3\x28\n", "holds no text"},
      {"[A]\nEnc 0\n", "line 2 is no setting"},
      {std::string(5 << 20, '['), "too large"},
      {"", "not a regular file"}, // a folder in its place
  };
  for (const auto& [content, reason] : cases) {
    if (reason == "not a regular file") fs::create_directories(File());
    else WriteFile(content);
    CQRCodeKonfiguration settings;
    EXPECT_FALSE(settings.Laden()) << reason;
    ExpectDefaults(settings, reason);
    EXPECT_NE(settings.GetLastErrorText().Find("QRCode.ini“ kann nicht gelesen werden"), -1) << settings.GetLastErrorText().str();
    EXPECT_NE(settings.GetLastLoadReason().find(reason), std::string::npos) << settings.GetLastLoadReason();
    settings.m_eEncoder = Encoder_QREncode;
    ASSERT_TRUE(settings.Sichern()) << reason << ": " << settings.GetLastErrorText().str();
    EXPECT_NE(ReadFile().find("Enc=0"), std::string::npos) << reason;
    const fs::path kept = File().string() + ".defekt";
    EXPECT_TRUE(fs::exists(kept)) << reason;
    if (reason != "not a regular file") {
      std::ifstream in(kept, std::ios::binary);
      EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), content) << reason;
    }
    fs::remove_all(kept);
    fs::remove_all(File());
  }
}

TEST_F(SettingsTest, SavingKeepsWhatOthersWroteAndLeavesNoTemporaryFile) {
  WriteFile("; written by hand\n[Other]\nx=1\n\n[A]\nEnc=0\nFoo=bar\n\n[Zuletzt]\ny=2\n");
  CQRCodeKonfiguration settings;
  settings.Laden();
  settings.m_eDecoder = Decoder_ZBar;
  settings.m_sizeWebCam = CSize(1280, 720);
  ASSERT_TRUE(settings.Sichern()) << settings.GetLastErrorText().str();
  EXPECT_EQ(ReadFile(),
            "; written by hand\n[Other]\nx=1\n\n[A]\nEnc=0\nFoo=bar\nDec=0\n\n[Zuletzt]\ny=2\n\n"
            "[WC]\ncx=1280\ncy=720\n\n[SC]\ndpi=0\n\n[DEC]\nQR=1\n\n[H]\nAktiv=1\nMax=1000\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(File().parent_path()), fs::directory_iterator()), 1);

  CQRCodeKonfiguration reread;
  reread.Laden();
  EXPECT_EQ(reread.m_eDecoder, Decoder_ZBar);
  EXPECT_EQ(reread.m_sizeWebCam, CSize(1280, 720));
}

TEST_F(SettingsTest, AFullDiskLeavesTheOldFileWholeAndNoTemporaryFile) {
  const std::string old = "[Other]\nnote=" + std::string(200, 'x') + "\n[A]\nEnc=0\n";
  WriteFile(old);
  CQRCodeKonfiguration settings;
  settings.Laden();
  settings.m_eDecoder = Decoder_ZBar;
  // Files may not grow beyond 100 bytes now, as on a disk that is full.
  struct rlimit saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  struct rlimit small = saved;
  small.rlim_cur = 100;
  auto previousSignal = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  const bool saved1 = settings.Sichern();
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousSignal);
  EXPECT_FALSE(saved1);
  EXPECT_NE(settings.GetLastErrorText().Find("QRCode.ini"), -1);
  EXPECT_EQ(ReadFile(), old);
  EXPECT_EQ(std::distance(fs::directory_iterator(File().parent_path()), fs::directory_iterator()), 1);
}

TEST_F(SettingsTest, AFailedSaveIsReportedThroughTheMessageBox) {
  std::ofstream(m_home / "Brennwald Systemtechnik") << "a file where the folder should be";
  CQRCodeKonfiguration settings;
  EXPECT_FALSE(settings.Sichern());
  EXPECT_NE(settings.GetLastErrorText().Find("QRCode.ini"), -1);

  CString shown;
  auto previous = SetMessageBoxHandler([&](const CString& text, UINT) { shown = text; return IDOK; });
  settings.ShowLastErrorMsgBox_Speichern();
  SetMessageBoxHandler(previous);
  EXPECT_EQ(shown, settings.GetLastErrorText());
}

TEST_F(SettingsTest, CopiesCarryTheSixSettingsButNotTheFileName) {
  CQRCodeKonfiguration source;
  source.m_eEncoder = Encoder_QREncode;
  source.m_eDecoder = static_cast<T_QRCodeKonfiguration_Decoder>(2);
  source.m_sizeWebCam = CSize(320, 240);
  source.m_nScanDpi = 600;
  source.m_bNurQRCodes = 0;

  CQRCodeKonfiguration target;
  setenv("XDG_CONFIG_HOME", "/elsewhere", 1);
  CQRCodeKonfiguration elsewhere;
  setenv("XDG_CONFIG_HOME", m_home.c_str(), 1);
  elsewhere = source;
  EXPECT_EQ(elsewhere.GetStammdatenName(), "/elsewhere/Brennwald Systemtechnik/QRCode.ini");
  EXPECT_EQ(elsewhere.m_eEncoder, Encoder_QREncode);
  EXPECT_EQ(elsewhere.m_eDecoder, 2);
  EXPECT_EQ(elsewhere.m_sizeWebCam, CSize(320, 240));
  EXPECT_EQ(elsewhere.m_nScanDpi, 600);
  EXPECT_EQ(elsewhere.m_bNurQRCodes, 0);

  CQRCodeKonfiguration copy(source);
  EXPECT_EQ(copy.m_nScanDpi, 600);
  EXPECT_EQ(copy.GetStammdatenName(), "");

  source = source;
  EXPECT_EQ(source.m_sizeWebCam, CSize(320, 240));
  (void)target;
}

TEST(ProfileTest, ScratchProfileReadsBackWhatWasWritten) {
  PROFILEHANDLE scratch(1);
  WritePrivateProfileInt("A", "Enc", 1, -7, &scratch);
  WritePrivateProfileLong("WC", "cx", 0, 2147483647, &scratch);
  int i = 0;
  LONG l = 0;
  GetPrivateProfileIntA("a", "ENC", 1, i, &scratch);
  GetPrivateProfileLong("WC", "cx", 0, l, &scratch);
  EXPECT_EQ(i, -7);
  EXPECT_EQ(l, 2147483647);
  GetPrivateProfileIntA("A", "missing", 42, i, &scratch);
  EXPECT_EQ(i, 42);
  GetPrivateProfileIntA("A", "Enc", 5, i, nullptr);
  EXPECT_EQ(i, 5);
}
