// "codewerk decode" run in-process: lines for people, JSON for scripts, exit status for both.
#include "DecodeCommand.h"
#include "HostilePictures.h"
#include "TestPictures.h"
#include "config/QRCodeKonfiguration.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Outcome {
  int exitCode;
  std::string out, err;
};

class DecodeCommandTest : public ::testing::Test {
protected:
  void SetUp() override {
    fs::create_directories(m_dir);
    m_settings = GetQRCodeKonfiguration();
  }
  void TearDown() override {
    GetQRCodeKonfiguration() = m_settings; // the command changes this process's settings
    fs::remove_all(m_dir);
  }

  Outcome Decode(std::vector<std::string> args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int rc = RunDecodeCommand(args, in, out, err);
    return {rc, out.str(), err.str()};
  }
  std::string Picture(const std::string& name, const GrayImage& image) {
    const std::string path = (m_dir / name).string();
    EXPECT_TRUE(SavePng(image, path));
    return path;
  }
  std::string Code(const std::string& name, const std::string& text) {
    return Picture(name, WithQuietZone(RenderCode(text, 4), 8));
  }

  fs::path m_dir = fs::temp_directory_path() / ("codewerk-decode-cli-" + std::to_string(getpid()));
  CQRCodeKonfiguration m_settings;
};

} // namespace

TEST_F(DecodeCommandTest, OneLinePerCodeWithLineBreaksShown) {
  const std::string file = Code("zwei.png", "zwei\nZeilen \\ Ende");
  Outcome o = Decode({file});
  EXPECT_EQ(o.exitCode, 0) << o.err;
  EXPECT_EQ(o.out, "QRCode: zwei\\nZeilen \\\\ Ende\n");

  o = Decode({"--decoder", "zbar", "--points", file});
  EXPECT_EQ(o.exitCode, 0);
  EXPECT_EQ(o.out.rfind("QR-Code: zwei\\nZeilen \\\\ Ende  [", 0), 0u) << o.out;
  EXPECT_NE(o.out.find("  [9,9 "), std::string::npos) << o.out; // the code's top-left corner, give or take a pixel
}

TEST_F(DecodeCommandTest, SeveralFilesAreNamedAndAnUnreadableOneDoesNotStopTheOthers) {
  const std::string good = Code("gut.png", "gut");
  const std::string empty = Picture("leer.png", Canvas(100, 100));
  std::ofstream(m_dir / "kaputt.png") << "not a picture";
  const Outcome o = Decode({good, (m_dir / "kaputt.png").string(), empty});
  EXPECT_EQ(o.exitCode, 2);
  EXPECT_EQ(o.out, good + ": QRCode: gut\n");
  EXPECT_NE(o.err.find("cannot read " + (m_dir / "kaputt.png").string() + ": not a picture file"), std::string::npos) << o.err;
  EXPECT_NE(o.err.find("no code found in " + empty), std::string::npos);

  EXPECT_EQ(Decode({empty}).exitCode, 1);
}

TEST_F(DecodeCommandTest, JsonObjectsPerFileForScripts) {
  const std::string file = Code("json.png", "sagt \"Hallo\"\t\xC3\xBC");
  const std::string missing = (m_dir / "fehlt.png").string();
  const Outcome o = Decode({"--json", file, missing});
  EXPECT_EQ(o.exitCode, 2);
  std::istringstream lines(o.out);
  std::string first, second;
  std::getline(lines, first);
  std::getline(lines, second);
  EXPECT_EQ(first.rfind("{\"file\":\"" + file + "\",\"results\":[{\"text\":\"sagt \\\"Hallo\\\"\\t\xC3\xBC\","
                        "\"symbology\":\"QRCode\",\"points\":[[", 0), 0u) << first;
  EXPECT_EQ(second, "{\"file\":\"" + missing + "\",\"error\":\"No such file or directory\"}");
}

TEST_F(DecodeCommandTest, AllFormatsOverridesTheSettingsForThisRunOnly) {
  const std::string file = Picture("ean.png", WithQuietZone(RenderEan13("978316148410", 2), 10));
  EXPECT_EQ(Decode({file}).exitCode, 1); // the settings say: QR codes only
  const Outcome o = Decode({"--all-formats", file});
  EXPECT_EQ(o.out, "EAN-13: 9783161484100\n");
  EXPECT_EQ(m_settings.m_bNurQRCodes, 1);
}

TEST_F(DecodeCommandTest, BadOptionsAreUsageErrors) {
  for (const auto& args : std::vector<std::vector<std::string>>{{}, {"--decoder", "quagga", "x.png"}, {"--fast", "x.png"}}) {
    const Outcome o = Decode(args);
    EXPECT_EQ(o.exitCode, 2);
    EXPECT_NE(o.err.find("usage:"), std::string::npos) << o.err;
  }
}

TEST_F(DecodeCommandTest, EveryPageOfAScanIsReadAndMarkedUpToThePageLimit) {
  const std::string a = Code("a.png", "Seite eins"), b = Code("b.png", "Seite zwei"), c = Code("c.png", "Seite drei");
  const std::string scan = (m_dir / "scan.tif").string();
  ASSERT_EQ(std::system(("convert " + a + " " + b + " " + c + " -compress lzw " + scan).c_str()), 0);
  Outcome o = Decode({scan});
  EXPECT_EQ(o.exitCode, 0);
  EXPECT_EQ(o.out, scan + " (page 1): QRCode: Seite eins\n" + scan + " (page 2): QRCode: Seite zwei\n" + scan +
                       " (page 3): QRCode: Seite drei\n");

  for (const HostileFile& file : MakeHostilePictures())
    if (file.name == "tiff-10000-pages.tif")
      std::ofstream(m_dir / file.name, std::ios::binary).write(reinterpret_cast<const char*>(file.bytes.data()), static_cast<long>(file.bytes.size()));
  const std::string many = (m_dir / "tiff-10000-pages.tif").string();
  o = Decode({"--json", many});
  EXPECT_EQ(o.exitCode, 2);
  EXPECT_NE(o.out.find("{\"file\":\"" + many + " (page 1000)\",\"results\":[]}"), std::string::npos);
  EXPECT_EQ(o.out.find("(page 1001)"), std::string::npos);
  EXPECT_NE(o.err.find(many + ": more than 1000 pages; only the first 1000 pages were read"), std::string::npos) << o.err;
}

TEST_F(DecodeCommandTest, ABatchOnSeveralThreadsComesOutInTheFilesOrderWithTheBadOneOnItsOwnLine) {
  std::vector<std::string> files, expected;
  for (int i = 0; i < 12; ++i) {
    files.push_back(i == 5 ? (m_dir / "fehlt.png").string() : Code("c" + std::to_string(i) + ".png", "Nr. " + std::to_string(i)));
    expected.push_back(i == 5 ? "{\"file\":\"" + files.back() + "\",\"error\":\"No such file or directory\"}"
                              : "{\"file\":\"" + files.back() + "\",\"results\":[{\"text\":\"Nr. " + std::to_string(i) + "\"");
  }
  std::vector<std::string> args = {"--json", "--jobs", "4"};
  args.insert(args.end(), files.begin(), files.end());
  const Outcome o = Decode(args);
  EXPECT_EQ(o.exitCode, 2);
  std::istringstream lines(o.out);
  std::string line;
  for (const std::string& start : expected) {
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line.rfind(start, 0), 0u) << line;
  }
  EXPECT_FALSE(std::getline(lines, line)) << line;
}

TEST_F(DecodeCommandTest, NamesComeFromStandardInputByLineOrByNul) {
  const std::string a = Code("a b.png", "erste"), b = Code("b.png", "zweite");
  for (const auto& [flags, input] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"-"}, a + "\n\n" + b + "\n"}, {{"--null", "-"}, a + '\0' + b + '\0'}, {{"--jobs", "1", "-"}, a + "\n" + b}}) {
    const Outcome o = Decode(flags, input);
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(o.out, a + ": QRCode: erste\n" + b + ": QRCode: zweite\n");
  }
  EXPECT_EQ(Decode({"--jobs", "0", a}).exitCode, 2);
}

TEST_F(DecodeCommandTest, ABrokenSettingsFileIsOneLineOnStandardErrorAndTheDefaultsServe) {
  CQRCodeKonfiguration& settings = GetQRCodeKonfiguration();
  const std::string path = settings.GetStammdatenName().str();
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path) << "[A]\nDec 1\n";
  settings.Laden();
  const Outcome o = Decode({Code("code.png", "trotzdem")});
  EXPECT_EQ(o.exitCode, 0);
  EXPECT_EQ(o.out, "QRCode: trotzdem\n");
  EXPECT_EQ(o.err, "codewerk: the settings file " + path + " cannot be read (line 2 is no setting); the defaults are in use\n");
  fs::remove(path);
  settings.Laden();
}

TEST_F(DecodeCommandTest, AVersion40CodeIsPrintedWholeByBothDecoders) {
  std::string text;
  for (int word = 0; text.size() < 2953; ++word) text += "Wort" + std::to_string(word) + " ";
  text.resize(2953);
  const std::string file = Picture("v40.png", WithQuietZone(RenderCode(text, 3), 12));
  for (const char* decoder : {"zxing", "zbar"}) {
    const Outcome o = Decode({"--decoder", decoder, file});
    EXPECT_EQ(o.exitCode, 0) << decoder << o.err;
    EXPECT_EQ(o.out.substr(o.out.find(": ") + 2), text + "\n") << decoder;
  }
}
