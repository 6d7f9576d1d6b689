// The capture module over real GStreamer pipelines: frames from picture files and test sources,
// written as BMP files an independent reader checks.
#include "CodeReaders.h"
#include "TestPictures.h"
#include "outside/tq_vision.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

class WebCamCaptureTest : public ::testing::Test {
protected:
  void SetUp() override { fs::create_directories(m_dir); }
  void TearDown() override {
    unsetenv("CODEWERK_WEBCAM_SOURCE");
    fs::remove_all(m_dir);
  }

  void UseSource(const std::string& source) { setenv("CODEWERK_WEBCAM_SOURCE", source.c_str(), 1); }
  std::string Snapshot() const { return (m_dir / "frame.bmp").string(); }

  fs::path m_dir = fs::temp_directory_path() / ("codewerk-webcam-" + std::to_string(getpid()));
};

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

} // namespace

TEST_F(WebCamCaptureTest, AFrameArrivesAsTheSamePictureAndItsCodeReads) {
  // An odd width: GStreamer pads rows to four bytes, the BMP pads them its own way.
  const GrayImage code = WithQuietZone(RenderCode("Kamera 1", 5), 12);
  GrayImage picture = Canvas(code.width + 3, code.height + 1, 200);
  Paste(picture, code, 0, 0);
  ASSERT_TRUE(SavePng(picture, (m_dir / "bild.png").string()));
  UseSource("filesrc location=\"" + (m_dir / "bild.png").string() + "\" ! pngdec ! imagefreeze");
  void* cam = StarteWebCam(false, SIZE{0, 0});
  ASSERT_NE(cam, nullptr);
  for (int frame = 0; frame < 3; ++frame) {
    ASSERT_TRUE(SaveWebCamImage(cam, Snapshot().c_str()));
    const GrayImage saved = LoadGrayWithStb(Snapshot());
    ASSERT_EQ(saved.width, picture.width);
    ASSERT_EQ(saved.height, picture.height);
    for (size_t i = 0; i < saved.pixels.size(); ++i) ASSERT_NEAR(saved.pixels[i], picture.pixels[i], 2) << i;
  }
  const auto read = ReadWithZXing(LoadGrayWithStb(Snapshot()));
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].text, "Kamera 1");
  DoneWebCam(cam);
  EXPECT_FALSE(fs::exists(Snapshot() + ".part")); // the spare goes with the camera
  EXPECT_TRUE(fs::exists(Snapshot()));
}

// The wished size is asked for, and no wish leaves the source's own; a camera without the wished
// size gives one below it, not none and not a larger one. An unwritable path fails without leaving
// a part, and the camera is still fine.
TEST_F(WebCamCaptureTest, TheWishedSizeIsAskedForAndAnUnwritablePathLeavesNoPart) {
  const struct { const char* source; SIZE wish; int width, height; } cases[] = {
      {"videotestsrc", {640, 480}, 640, 480}, {"videotestsrc", {0, 0}, 320, 240},
               {"videotestsrc ! video/x-raw,width=(int){320,800},height=(int){240,600}", {640, 480}, 320, 0}};
  const std::string nowhere = (m_dir / "fehlt" / "frame.bmp").string();
  for (const auto& c : cases) {
    UseSource(c.source);
    void* cam = StarteWebCam(false, c.wish);
    ASSERT_NE(cam, nullptr) << c.source;
    EXPECT_FALSE(SaveWebCamImage(cam, nowhere.c_str()));
    EXPECT_FALSE(fs::exists(nowhere + ".part"));
    ASSERT_TRUE(SaveWebCamImage(cam, Snapshot().c_str()));
    const GrayImage saved = LoadGrayWithStb(Snapshot());
    EXPECT_EQ(saved.width, c.width) << c.source;
    if (c.height) { EXPECT_EQ(saved.height, c.height) << c.source; }
    DoneWebCam(cam);
  }
  DoneWebCam(nullptr);
}

// No camera gives null in bounded time: a file that fails at once, a missing device, an unknown
// element, a source that runs and sends nothing. A source that ends makes the next saves fail
// quickly and keeps the last file.
TEST_F(WebCamCaptureTest, NoCameraOrAnEndedSourceFailsInBoundedTime) {
  for (const auto& [source, bound] : {std::pair{"filesrc location=/nonexistent/kamera.png ! pngdec ! imagefreeze", 1.0},
                                      {"v4l2src device=/dev/codewerk-no-camera", 1.0}, {"kameraquelle-gibt-es-nicht", 1.0},
                                      {"videotestsrc is-live=true ! valve drop=true", 8.0}}) {
    UseSource(source);
    const auto start = Clock::now();
    EXPECT_EQ(StarteWebCam(false, SIZE{0, 0}), nullptr) << source;
    EXPECT_LT(SecondsSince(start), bound) << source;
  }
  UseSource("videotestsrc num-buffers=5");
  void* cam = StarteWebCam(false, SIZE{0, 0});
  ASSERT_NE(cam, nullptr);
  int saved = 0;
  for (const auto start = Clock::now(); SaveWebCamImage(cam, Snapshot().c_str()) && SecondsSince(start) < 5;) ++saved;
  EXPECT_GE(saved, 1);
  EXPECT_LE(saved, 5);
  const auto failed = Clock::now();
  EXPECT_FALSE(SaveWebCamImage(cam, Snapshot().c_str()));
  EXPECT_LT(SecondsSince(failed), 0.6);
  EXPECT_EQ(LoadGrayWithStb(Snapshot()).width, 320); // the last good frame stays readable
  DoneWebCam(cam);
}
