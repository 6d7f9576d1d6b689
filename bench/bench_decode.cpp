// DecodeImage of a 24-bit BMP frame file against the raw library decoding the same frame's pixels
// already in memory, for both back ends.
#include "RatioReporter.h"

#include "CodeReaders.h"
#include "TestPictures.h"
#include "outside/tq_zbar.h"
#include "outside/tq_zxing.h"

#include <ZXing/ReadBarcode.h>
#include <stb_image_write.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Frame {
  int width, height;
  std::vector<std::uint8_t> bgr;  // as the file holds it, top row first
  std::vector<std::uint8_t> gray; // what ZBar is given
  std::string path;
};

// A grey office scene with one code in it, written as a 24-bit BMP.
Frame MakeFrame(int width, int height) {
  GrayImage scene = CodelessScene(width, height, 11);
  const GrayImage code = WithQuietZone(RenderCode("https://www.example.org/q?id=12345", height / 80), 12);
  Paste(scene, code, width / 3, height / 4);
  Frame frame{width, height, {}, scene.pixels, {}};
  for (std::uint8_t v : scene.pixels) frame.bgr.insert(frame.bgr.end(), {v, v, v});
  frame.path = (std::filesystem::temp_directory_path() /
                ("codewerk-bench-" + std::to_string(getpid()) + "-" + std::to_string(width) + ".bmp")).string();
  stbi_write_bmp(frame.path.c_str(), width, height, 3, frame.bgr.data());
  return frame;
}

void FileZXing(benchmark::State& state, const Frame* frame) {
  for (auto _ : state) {
    void* handle = ZXING_DecodeImageMultipleResults(frame->path.c_str(), true);
    if (ZXING_GetDecodeResultCount(handle) != 1) state.SkipWithError("code not found");
    ZXING_FreeDecodeResult(handle);
  }
}

void RawZXing(benchmark::State& state, const Frame* frame) {
  ZXing::DecodeHints hints;
  hints.setFormats(ZXing::BarcodeFormat::QRCode);
  const ZXing::ImageView view(frame->bgr.data(), frame->width, frame->height, ZXing::ImageFormat::BGR);
  for (auto _ : state)
    if (ZXing::ReadBarcodes(view, hints).size() != 1) state.SkipWithError("code not found");
}

void FileZBar(benchmark::State& state, const Frame* frame) {
  for (auto _ : state) {
    void* handle = ZBar_DecodeImage(frame->path.c_str(), true);
    if (ZBar_GetDecodeResultCount(handle) != 1) state.SkipWithError("code not found");
    ZBar_FreeDecodeResult(handle);
  }
}

void RawZBar(benchmark::State& state, const Frame* frame) {
  for (auto _ : state) {
    const auto codes = ReadWithZBar(GrayImage{frame->width, frame->height, frame->gray}, true);
    if (codes.size() != 1) state.SkipWithError("code not found");
  }
}

const bool registered = [] {
  static const Frame frames[] = {MakeFrame(640, 480), MakeFrame(1920, 1080)};
  for (const Frame& frame : frames) {
    const std::string size = std::to_string(frame.width) + "x" + std::to_string(frame.height);
    benchmark::RegisterBenchmark(("decode zxing " + size + ": ours").c_str(), FileZXing, &frame)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("decode zxing " + size + ": raw").c_str(), RawZXing, &frame)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("decode zbar " + size + ": ours").c_str(), FileZBar, &frame)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("decode zbar " + size + ": raw").c_str(), RawZBar, &frame)->Unit(benchmark::kMillisecond);
  }
  std::atexit([] { for (const Frame& f : frames) std::filesystem::remove(f.path); });
  return true;
}();

} // namespace

CODEWERK_BENCHMARK_MAIN()
