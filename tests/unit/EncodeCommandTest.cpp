// "codewerk encode" run in-process: files a user can use, read back by independent readers, at
// the size asked for; and what a script sees when something is wrong.
#include "CodeFileChecks.h"
#include "CodeReaders.h"
#include "EncodeCommand.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Outcome {
  int exitCode;
  std::string out, err;
};

Outcome RunEncode(std::vector<std::string> args, const std::string& input = "") {
  std::FILE* in = input.empty() ? std::fopen("/dev/null", "r") : fmemopen(const_cast<char*>(input.data()), input.size(), "r");
  char *outText = nullptr, *errText = nullptr;
  std::size_t outSize = 0, errSize = 0;
  std::FILE* out = open_memstream(&outText, &outSize);
  std::FILE* err = open_memstream(&errText, &errSize);
  const int rc = RunEncodeCommand(args, in, out, err);
  std::fclose(in), std::fclose(out), std::fclose(err);
  Outcome outcome{rc, std::string(outText, outSize), std::string(errText, errSize)};
  std::free(outText), std::free(errText);
  return outcome;
}

class EncodeCommandTest : public ::testing::Test {
protected:
  void SetUp() override { fs::create_directories(m_dir); }
  void TearDown() override { fs::remove_all(m_dir); }
  std::string Path(const std::string& name) const { return (m_dir / name).string(); }

  fs::path m_dir = fs::temp_directory_path() / ("codewerk-encode-cli-" + std::to_string(getpid()));
};

} // namespace

TEST_F(EncodeCommandTest, EveryFormatReadsBackWithItsQuietZoneAndAtItsSize) {
  const std::string text = "Grüße aus dem Büro: https://www.example.org/a?b=1";
  for (const char* encoder : {"qrencode", "zint"})
    for (const std::string format : {"bmp", "png", "svg", "pdf"}) {
      const std::string path = Path(std::string(encoder) + "." + format);
      const Outcome o = RunEncode({"--encoder", encoder, "--size-mm", "25", "--level", "M", text, "-o", path});
      ASSERT_EQ(o.exitCode, 0) << o.err;
      const GrayImage picture = CodeFilePicture(path);
      ASSERT_FALSE(picture.empty()) << path;
      EXPECT_GT(picture.at(2, 2), 200) << path << ": no quiet zone";
      for (const auto& codes : {ReadWithZXing(picture), ReadWithZBar(picture)}) {
        ASSERT_EQ(codes.size(), 1u) << path;
        EXPECT_EQ(codes[0].text, text) << path;
      }
      if (format != "bmp") {
        // 25 mm of code, the quiet zone of 4 modules on each side on top.
        int modules = 0;
        std::sscanf(o.out.c_str(), "%*s %*s (%d x", &modules);
        EXPECT_NEAR(CodeFileMillimetres(path), 25.0 * (modules + 8) / modules, 0.1) << path;
      }
    }
}

TEST_F(EncodeCommandTest, ByDefaultFourPixelsAModuleAndFourModulesOfQuietZone) {
  const std::string path = Path("standard.png");
  const Outcome o = RunEncode({"-", "-o", path}, "zwei\nZeilen\n");
  ASSERT_EQ(o.exitCode, 0) << o.err;
  const GrayImage picture = LoadGrayWithStb(path);
  EXPECT_EQ(picture.width, (21 + 8) * 4);
  const auto codes = ReadWithZBar(picture);
  ASSERT_EQ(codes.size(), 1u);
  EXPECT_EQ(codes[0].text, "zwei\nZeilen\n"); // standard input taken exactly
  EXPECT_EQ(RunEncode({"--height", "100", "x", "-o", path}).exitCode, 0);
  EXPECT_EQ(LoadGrayWithStb(path).height, 87); // 29 modules of 3 pixels
}

TEST_F(EncodeCommandTest, RefusalsExplainThemselvesAndWriteNothing) {
  struct Case {
    std::vector<std::string> args;
    std::string input;
    int exitCode;
    std::string says;
  };
  const std::string path = Path("refused.png");
  const Case cases[] = {
      {{std::string(3000, 'a'), "-o", path}, "", 1, "at most 2953"},
      {{"--level", "H", std::string(1300, 'a'), "-o", path}, "", 1, "at most 1273"},
      {{"", "-o", path}, "", 1, "empty"},
      {{"--module", "100000", "x", "-o", path}, "", 1, "more than 32768"},
      {{"x", "-o", Path("no/such/dir/x.png")}, "", 1, "No such file"},
      {{"-", "-o", path}, std::string("a\0b", 3), 2, "NUL byte"},
      {{"-", "-o", path}, "\xFF\xFE", 2, "not valid UTF-8"},
      {{"--height", "5", "x", "-o", path}, "", 2, "cannot hold a module"},
      {{"--size-mm", "1", "--dpi", "72", "x", "-o", path}, "", 2, "smaller than one pixel"},
  };
  for (const Case& c : cases) {
    const Outcome o = RunEncode(c.args, c.input);
    EXPECT_EQ(o.exitCode, c.exitCode) << c.says << ": " << o.err;
    EXPECT_NE(o.err.find(c.says), std::string::npos) << o.err;
    EXPECT_FALSE(fs::exists(path)) << c.says;
  }
}

TEST_F(EncodeCommandTest, BadOptionsAreUsageErrors) {
  const std::string path = Path("x.png");
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"x"},                                          // no output
           {"--encoder", "qr", "x", "-o", path},           // unknown encoder
           {"--module", "0", "x", "-o", path},             // not positive
           {"--module", "3px", "x", "-o", path},
           {"--module", "2", "--height", "90", "x", "-o", path},
           {"--size-mm", "20", "--module", "2", "x", "-o", path},
           {"--dpi", "600", "x", "-o", path},              // a resolution without a size
           {"--level", "X", "x", "-o", path},
           {"x", "-o", Path("x.gif")},                     // a format not written
           {"--format", "tiff", "x", "-o", path},
           {"--colour", "red", "x", "-o", path},           // unknown option
           {"a", "b", "-o", path},                         // two texts
           {"x", "-o"},                                    // option without its value
       }) {
    const Outcome o = RunEncode(args);
    EXPECT_EQ(o.exitCode, 2) << args[0] << " " << args[1];
    EXPECT_NE(o.err.find("usage:"), std::string::npos);
  }
  EXPECT_FALSE(fs::exists(path));
  EXPECT_EQ(RunEncode({"--version"}).out, std::string("codewerk ") + CODEWERK_VERSION + "\n");
}
