// "codewerk encode" run in-process: what a script sees.
#include "CodeReaders.h"
#include "EncodeCommand.h"

#include <gtest/gtest.h>

#include <filesystem>
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
  std::istringstream in(input);
  std::ostringstream out, err;
  const int rc = RunEncodeCommand(args, in, out, err);
  return {rc, out.str(), err.str()};
}

class EncodeCommandTest : public ::testing::Test {
protected:
  void SetUp() override { fs::create_directories(m_dir); }
  void TearDown() override { fs::remove_all(m_dir); }
  std::string Path(const char* name) const { return (m_dir / name).string(); }

  fs::path m_dir = fs::temp_directory_path() / ("codewerk-encode-cli-" + std::to_string(getpid()));
};

} // namespace

TEST_F(EncodeCommandTest, WritesABmpThatReadsBackForBothEncoders) {
  for (const char* encoder : {"qrencode", "zint"}) {
    const std::string path = Path("code.bmp");
    const Outcome o = RunEncode({"--encoder", encoder, "--module", "4", "Hallo Welt", "-o", path});
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_NE(o.out.find(path), std::string::npos);
    const auto codes = ReadWithZXing(WithQuietZone(LoadGrayWithStb(path), 16));
    ASSERT_EQ(codes.size(), 1u) << encoder;
    EXPECT_EQ(codes[0].text, "Hallo Welt");
  }
}

TEST_F(EncodeCommandTest, ReadsStandardInputExactlyAndHonoursHeight) {
  const std::string path = Path("stdin.bmp");
  const Outcome o = RunEncode({"--height", "100", "-", "-o", path}, "zwei\nZeilen\n");
  ASSERT_EQ(o.exitCode, 0) << o.err;
  const GrayImage image = LoadGrayWithStb(path);
  EXPECT_LE(image.height, 100);
  EXPECT_GT(image.height, 100 - 25); // rounded down to whole modules only
  const auto codes = ReadWithZBar(WithQuietZone(image, 16));
  ASSERT_EQ(codes.size(), 1u);
  EXPECT_EQ(codes[0].text, "zwei\nZeilen\n");
}

TEST_F(EncodeCommandTest, RefusalsExplainThemselvesAndWriteNothing) {
  const std::string path = Path("refused.bmp");
  Outcome o = RunEncode({std::string(3000, 'a'), "-o", path});
  EXPECT_EQ(o.exitCode, 1);
  EXPECT_NE(o.err.find("3000 bytes"), std::string::npos) << o.err;
  EXPECT_FALSE(fs::exists(path));

  o = RunEncode({"", "-o", path});
  EXPECT_EQ(o.exitCode, 1);
  EXPECT_NE(o.err.find("empty"), std::string::npos) << o.err;

  o = RunEncode({"--module", "100000", "x", "-o", path});
  EXPECT_EQ(o.exitCode, 1);
  EXPECT_NE(o.err.find("does not fit"), std::string::npos) << o.err;
  EXPECT_FALSE(fs::exists(path));

  o = RunEncode({"x", "-o", Path("no/such/dir/x.bmp")});
  EXPECT_EQ(o.exitCode, 1);
  EXPECT_NE(o.err.find("no/such/dir/x.bmp"), std::string::npos) << o.err;
  EXPECT_NE(o.err.find("No such file"), std::string::npos) << o.err;
}

TEST_F(EncodeCommandTest, BadOptionsAreUsageErrors) {
  const std::string path = Path("x.bmp");
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"x"},                                          // no output
           {"--encoder", "qr", "x", "-o", path},           // unknown encoder
           {"--module", "0", "x", "-o", path},             // not positive
           {"--module", "3px", "x", "-o", path},
           {"--module", "2", "--height", "90", "x", "-o", path},
           {"--colour", "red", "x", "-o", path},           // unknown option
           {"a", "b", "-o", path},                         // two texts
           {"x", "-o"},                                    // option without its value
       }) {
    const Outcome o = RunEncode(args);
    EXPECT_EQ(o.exitCode, 2) << args[0];
    EXPECT_NE(o.err.find("usage:"), std::string::npos);
  }
  EXPECT_FALSE(fs::exists(path));
}
