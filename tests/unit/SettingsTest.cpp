// The settings file: defaults, broken files, saving that keeps what others wrote, and copies.
#include "TestFolder.h"
#include "config/QRCodeKonfiguration.h"
#include "outside/MessageBox.h"
#include "outside/Profile.h"
#include "outside/TextServices.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <sys/resource.h>
#include <filesystem>
#include <fstream>

namespace {

// Encoder, decoder, webcam size, scan resolution, QR codes only, history on and its size.
std::string Values(const CQRCodeKonfiguration& k) {
  return GetFormatedString("%d %d %ldx%ld %ld %d %d %ld", int(k.m_eEncoder), int(k.m_eDecoder), long(k.m_sizeWebCam.cx),
                           long(k.m_sizeWebCam.cy), long(k.m_nScanDpi), k.m_bNurQRCodes, k.m_bVerlaufAktiv, long(k.m_nVerlaufMax)).str();
}
const std::string kDefaults = "1 1 0x0 0 1 1 1000";

// Each test has a config folder of its own.
class SettingsTest : public ::testing::Test {
protected:
  void SetUp() override { fs::create_directories(File().parent_path()), setenv("XDG_CONFIG_HOME", m_home.c_str(), 1); }
  void TearDown() override { setenv("XDG_CONFIG_HOME", m_saved.c_str(), 1), fs::remove_all(m_home); }
  fs::path File() const { return m_home / "Brennwald Systemtechnik" / "QRCode.ini"; }
  void WriteFile(const std::string& content) const { std::ofstream(File(), std::ios::binary) << content; }
  // The file's bytes, and how many files its folder holds.
  std::string Saved() const {
    return FileText(File()) + "(" + std::to_string(std::distance(fs::directory_iterator(File().parent_path()), {})) + " files)";
  }

  const std::string m_saved = std::getenv("XDG_CONFIG_HOME");
  const fs::path m_home = fs::path(m_saved) / ::testing::UnitTest::GetInstance()->current_test_info()->name();
};

} // namespace

// Missing keys and broken values take their defaults. A file that is no settings file keeps the
// defaults and says why, in the user's words and, for a command line, in English; the next save
// keeps it beside the new one.
TEST_F(SettingsTest, EachFileLoadsItsValuesOrTheDefaultsWithAReasonAndSavingKeepsWhatOthersWrote) {
  EXPECT_EQ(CQRCodeKonfiguration().GetStammdatenName().str(), File().string());
  const struct { std::string content, values, reason; } cases[] = { // reason empty: the file loads
      {"(no file)", kDefaults, ""},
      {"[A]\nEnc=0\n", "0 1 0x0 0 1 1 1000", ""}, {"[A]\nDec=2\n", "1 2 0x0 0 1 1 1000", ""},
      {"[a]\r\n  enc = 0 \r\n[WC]\r\ncx=640\r\ncy=480\r\n[DEC]\r\nQR=0\r\n[SC]\r\ndpi=-300\r\n", "0 1 640x480 -300 0 1 1000", ""},
      {"[A]\nEnc=99999999999\nDec=12abc\n[WC]\ncx=\ncy=0x10\n", kDefaults, ""},
      {"Enc=0\nDec=0\n", kDefaults, ""}, // keys without their section
      {std::string("\x00\x01\xFF[A\n=\n\xC3\x28", 10), kDefaults, "holds no text"}, {"[A]\nEnc=\xC3\x28\n", kDefaults, "holds no text"},
      {"[A]\nEnc 0\n", kDefaults, "line 2 is no setting"}, {std::string(5 << 20, '['), kDefaults, "too large"},
      {"(a folder)", kDefaults, "not a regular file"}, // a folder in its place
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.content.substr(0, 30));
    if (c.content == "(a folder)") fs::create_directories(File());
    else if (c.content != "(no file)") WriteFile(c.content);
    CQRCodeKonfiguration settings;
    EXPECT_EQ(settings.Laden(), c.reason.empty());
    EXPECT_EQ(Values(settings), c.values);
    if (c.reason.empty()) continue;
    EXPECT_NE(settings.GetLastErrorText().Find("QRCode.ini“ kann nicht gelesen werden"), -1) << settings.GetLastErrorText().str();
    EXPECT_NE(settings.GetLastLoadReason().find(c.reason), std::string::npos) << settings.GetLastLoadReason();
    settings.m_eEncoder = Encoder_QREncode;
    ASSERT_TRUE(settings.Sichern()) << settings.GetLastErrorText().str();
    EXPECT_NE(FileText(File()).find("Enc=0"), std::string::npos);
    const fs::path kept = File().string() + ".defekt";
    EXPECT_EQ(fs::is_directory(kept) ? "(a folder)" : FileText(kept), c.content);
    fs::remove_all(kept), fs::remove_all(File());
  }

  // Saving keeps what others wrote and leaves no temporary file; a full disk leaves the old file whole;
  // a failed save says why. Copies carry the settings.
  WriteFile("; written by hand\n[Other]\nx=1\n\n[A]\nEnc=0\nFoo=bar\n\n[Zuletzt]\ny=2\n");
  CQRCodeKonfiguration settings;
  settings.Laden();
  settings.m_eDecoder = Decoder_ZBar;
  settings.m_sizeWebCam = CSize(1280, 720);
  ASSERT_TRUE(settings.Sichern()) << settings.GetLastErrorText().str();
  const std::string saved = "; written by hand\n[Other]\nx=1\n\n[A]\nEnc=0\nFoo=bar\nDec=0\n\n[Zuletzt]\ny=2\n\n"
                            "[WC]\ncx=1280\ncy=720\n\n[SC]\ndpi=0\n\n[DEC]\nQR=1\n\n[H]\nAktiv=1\nMax=1000\n";
  EXPECT_EQ(Saved(), saved + "(1 files)");
  CQRCodeKonfiguration reread;
  reread.Laden();
  EXPECT_EQ(Values(reread), "0 0 1280x720 0 1 1 1000");

  // Files may not grow beyond 100 bytes now, as on a disk that is full.
  struct rlimit unlimited;
  getrlimit(RLIMIT_FSIZE, &unlimited);
  const struct rlimit small = {100, unlimited.rlim_max};
  reread.m_eDecoder = Decoder_ZXing;
  auto previousSignal = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  const bool savedOnFullDisk = reread.Sichern();
  setrlimit(RLIMIT_FSIZE, &unlimited), std::signal(SIGXFSZ, previousSignal);
  EXPECT_TRUE(!savedOnFullDisk && reread.GetLastErrorText().Find("QRCode.ini") != -1) << reread.GetLastErrorText().str();
  EXPECT_EQ(Saved(), saved + "(1 files)");

  // A file where the folder should be; the failure is reported through the message box.
  fs::remove_all(File().parent_path());
  std::ofstream(File().parent_path()) << "a file where the folder should be";
  EXPECT_TRUE(!settings.Sichern() && settings.GetLastErrorText().Find("QRCode.ini") != -1) << settings.GetLastErrorText().str();
  CString shown;
  auto previous = SetMessageBoxHandler([&](const CString& text, UINT) { shown = text; return IDOK; });
  settings.ShowLastErrorMsgBox_Speichern(), SetMessageBoxHandler(previous);
  EXPECT_EQ(shown, settings.GetLastErrorText());

  // Copies carry the settings but not the file name; the scratch profile they go through.
  CQRCodeKonfiguration source;
  std::tie(source.m_eEncoder, source.m_eDecoder, source.m_sizeWebCam, source.m_nScanDpi, source.m_bNurQRCodes, source.m_bVerlaufAktiv,
           source.m_nVerlaufMax) = std::tuple(Encoder_QREncode, Decoder_ZXingZBar, CSize(320, 240), 600, 0, 0, 50);
  setenv("XDG_CONFIG_HOME", "/elsewhere", 1);
  CQRCodeKonfiguration elsewhere;
  setenv("XDG_CONFIG_HOME", m_home.c_str(), 1);
  elsewhere = source;
  CQRCodeKonfiguration copy(source);
  source = source;
  const auto named = [](const CQRCodeKonfiguration& k) { return Values(k) + " in " + k.GetStammdatenName().str(); };
  EXPECT_EQ(std::vector<std::string>({named(elsewhere), named(copy), Values(source)}),
            std::vector<std::string>({"0 2 320x240 600 0 0 50 in /elsewhere/Brennwald Systemtechnik/QRCode.ini",
                                      "0 2 320x240 600 0 0 50 in ", "0 2 320x240 600 0 0 50"}));

  PROFILEHANDLE scratch(1);
  WritePrivateProfileInt("A", "Enc", 1, -7, &scratch), WritePrivateProfileLong("WC", "cx", 0, 2147483647, &scratch);
  int i = 0, missing = 0, none = 0;
  LONG l = 0;
  GetPrivateProfileIntA("a", "ENC", 1, i, &scratch), GetPrivateProfileLong("WC", "cx", 0, l, &scratch); // sections and keys in any case
  GetPrivateProfileIntA("A", "missing", 42, missing, &scratch), GetPrivateProfileIntA("A", "Enc", 5, none, nullptr);
  EXPECT_EQ(std::vector<long>({i, l, missing, none}), std::vector<long>({-7, 2147483647, 42, 5}));
}
