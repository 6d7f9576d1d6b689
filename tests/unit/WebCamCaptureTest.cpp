// The capture module over real GStreamer pipelines: frames from picture files and test sources,
// written as BMP files an independent reader checks.
#include "TestFolder.h"
#include "TestPictures.h"
#include "outside/tq_vision.h"

#include <chrono>
#include <cstdlib>

using Clock = std::chrono::steady_clock;

namespace {

class WebCamCaptureTest : public InFolder<> {
protected:
  void TearDown() override { unsetenv("CODEWERK_WEBCAM_SOURCE"), InFolder::TearDown(); }

  // The camera on a GStreamer source.
  static void* Start(const std::string& source, SIZE wish = {0, 0}) {
    setenv("CODEWERK_WEBCAM_SOURCE", source.c_str(), 1);
    return StarteWebCam(false, wish);
  }
  std::string Snapshot() const { return Path("frame.bmp"); }
};

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

} // namespace

TEST_F(WebCamCaptureTest, FramesArriveAsTheSamePictureAtTheWishedSize) {
  // An odd width: GStreamer pads rows to four bytes, the BMP pads them its own way.
  const GrayImage code = WithQuietZone(RenderCode("Kamera 1", 5), 12);
  GrayImage picture = Canvas(code.width + 3, code.height + 1, 200);
  Paste(picture, code, 0, 0);
  ASSERT_TRUE(SavePng(picture, Path("bild.png")));
  void* cam = Start("filesrc location=\"" + Path("bild.png") + "\" ! pngdec ! imagefreeze");
  ASSERT_NE(cam, nullptr);
  for (int frame = 0; frame < 3; ++frame) {
    ASSERT_TRUE(SaveWebCamImage(cam, Snapshot().c_str()));
    const GrayImage saved = LoadGrayWithStb(Snapshot());
    ASSERT_EQ(std::pair(saved.width, saved.height), std::pair(picture.width, picture.height));
    for (size_t i = 0; i < saved.pixels.size(); ++i) ASSERT_NEAR(saved.pixels[i], picture.pixels[i], 2) << i;
  }
  DoneWebCam(cam);
  EXPECT_TRUE(!fs::exists(Snapshot() + ".part") && fs::exists(Snapshot())) << "the spare goes with the camera";

  // The wished size is asked for, and no wish leaves the source's own; a camera without the wished
  // size gives one below it, not none and not a larger one (height 0: any). An unwritable path fails
  // without leaving a part, and the camera is still fine.
  const struct { const char* source; SIZE wish; int width, height; } cases[] = {
      {"videotestsrc", {640, 480}, 640, 480}, {"videotestsrc", {0, 0}, 320, 240},
      {"videotestsrc ! video/x-raw,width=(int){320,800},height=(int){240,600}", {640, 480}, 320, 0}};
  const std::string nowhere = (m_dir / "fehlt" / "frame.bmp").string();
  for (const auto& c : cases) {
    void* camera = Start(c.source, c.wish);
    ASSERT_NE(camera, nullptr) << c.source;
    EXPECT_FALSE(SaveWebCamImage(camera, nowhere.c_str()) || fs::exists(nowhere + ".part"));
    ASSERT_TRUE(SaveWebCamImage(camera, Snapshot().c_str()));
    const GrayImage saved = LoadGrayWithStb(Snapshot());
    EXPECT_EQ(std::pair(saved.width, c.height ? saved.height : 0), std::pair(c.width, c.height)) << c.source;
    DoneWebCam(camera);
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
    const auto start = Clock::now();
    EXPECT_TRUE(Start(source) == nullptr && SecondsSince(start) < bound) << source;
  }
  void* cam = Start("videotestsrc num-buffers=5");
  ASSERT_NE(cam, nullptr);
  int saved = 0;
  for (const auto start = Clock::now(); SaveWebCamImage(cam, Snapshot().c_str()) && SecondsSince(start) < 5;) ++saved;
  EXPECT_TRUE(saved >= 1 && saved <= 5) << saved;
  const auto failed = Clock::now();
  EXPECT_TRUE(!SaveWebCamImage(cam, Snapshot().c_str()) && SecondsSince(failed) < 0.6);
  EXPECT_EQ(LoadGrayWithStb(Snapshot()).width, 320); // the last good frame stays readable
  DoneWebCam(cam);
}
