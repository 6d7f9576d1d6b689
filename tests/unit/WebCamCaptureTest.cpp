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
  std::string PictureSource(const GrayImage& image) {
    const std::string path = (m_dir / "bild.png").string();
    EXPECT_TRUE(SavePng(image, path));
    return "filesrc location=\"" + path + "\" ! pngdec ! imagefreeze";
  }
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
  UseSource(PictureSource(picture));
  void* cam = StarteWebCam(false, SIZE{0, 0});
  ASSERT_NE(cam, nullptr);
  for (int frame = 0; frame < 3; ++frame) {
    ASSERT_TRUE(SaveWebCamImage(cam, Snapshot().c_str()));
    const GrayImage saved = LoadGrayWithStb(Snapshot());
    ASSERT_EQ(saved.width, picture.width);
    ASSERT_EQ(saved.height, picture.height);
    int worst = 0;
    for (size_t i = 0; i < saved.pixels.size(); ++i) worst = std::max(worst, std::abs(saved.pixels[i] - picture.pixels[i]));
    EXPECT_LE(worst, 2);
  }
  const auto read = ReadWithZXing(LoadGrayWithStb(Snapshot()));
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].text, "Kamera 1");
  DoneWebCam(cam);
  EXPECT_FALSE(fs::exists(Snapshot() + ".part")); // the spare goes with the camera
  EXPECT_TRUE(fs::exists(Snapshot()));
}

TEST_F(WebCamCaptureTest, TheWishedSizeIsAskedForAndNoWishLeavesTheSourcesOwn) {
  UseSource("videotestsrc");
  for (const auto& [wish, expected] : {std::pair{SIZE{640, 480}, SIZE{640, 480}}, std::pair{SIZE{0, 0}, SIZE{320, 240}}}) {
    void* cam = StarteWebCam(false, wish);
    ASSERT_NE(cam, nullptr);
    ASSERT_TRUE(SaveWebCamImage(cam, Snapshot().c_str()));
    const GrayImage saved = LoadGrayWithStb(Snapshot());
    EXPECT_EQ(saved.width, expected.cx);
    EXPECT_EQ(saved.height, expected.cy);
    DoneWebCam(cam);
  }
  // A camera without the wished size gives one below it, not none and not a larger one.
  UseSource("videotestsrc ! video/x-raw,width=(int){320,800},height=(int){240,600}");
  void* cam = StarteWebCam(false, SIZE{640, 480});
  ASSERT_NE(cam, nullptr);
  ASSERT_TRUE(SaveWebCamImage(cam, Snapshot().c_str()));
  EXPECT_EQ(LoadGrayWithStb(Snapshot()).width, 320);
  DoneWebCam(cam);
}

TEST_F(WebCamCaptureTest, NoCameraGivesNullInBoundedTime) {
  const std::vector<std::pair<std::string, double>> sources = {
      {"filesrc location=/nonexistent/kamera.png ! pngdec ! imagefreeze", 1.0}, // fails at once
      {"v4l2src device=/dev/codewerk-no-camera", 1.0},
      {"kameraquelle-gibt-es-nicht", 1.0},                                       // unknown element
      {"videotestsrc is-live=true ! valve drop=true", 8.0},                      // runs, sends nothing
  };
  for (const auto& [source, bound] : sources) {
    SCOPED_TRACE(source);
    UseSource(source);
    const auto start = Clock::now();
    EXPECT_EQ(StarteWebCam(false, SIZE{0, 0}), nullptr);
    EXPECT_LT(SecondsSince(start), bound);
  }
}

TEST_F(WebCamCaptureTest, ASourceThatEndsMakesTheNextSavesFailQuicklyAndKeepsTheLastFile) {
  UseSource("videotestsrc num-buffers=5");
  void* cam = StarteWebCam(false, SIZE{0, 0});
  ASSERT_NE(cam, nullptr);
  int saved = 0;
  const auto start = Clock::now();
  while (SaveWebCamImage(cam, Snapshot().c_str()) && SecondsSince(start) < 5) ++saved;
  EXPECT_GE(saved, 1);
  EXPECT_LE(saved, 5);
  const auto failed = Clock::now();
  EXPECT_FALSE(SaveWebCamImage(cam, Snapshot().c_str()));
  EXPECT_LT(SecondsSince(failed), 0.6);
  EXPECT_EQ(LoadGrayWithStb(Snapshot()).width, 320); // the last good frame stays readable
  DoneWebCam(cam);
}

TEST_F(WebCamCaptureTest, AnUnwritablePathFailsWithoutLeavingAPart) {
  UseSource("videotestsrc");
  void* cam = StarteWebCam(false, SIZE{0, 0});
  ASSERT_NE(cam, nullptr);
  const std::string nowhere = (m_dir / "fehlt" / "frame.bmp").string();
  EXPECT_FALSE(SaveWebCamImage(cam, nowhere.c_str()));
  EXPECT_FALSE(fs::exists(nowhere + ".part"));
  EXPECT_TRUE(SaveWebCamImage(cam, Snapshot().c_str())); // the camera is still fine
  DoneWebCam(cam);
  DoneWebCam(nullptr);
}
