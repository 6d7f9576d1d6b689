// One webcam tick — grab the newest frame, write it as BMP, decode it, load it into the preview,
// report the code — against the raw zxing-cpp decode of the same frame already in memory.
#include "RatioReporter.h"

#include "TestPictures.h"
#include "config/QRCodeKonfiguration.h"
#include "outside/ProgramSettings.h"
#include "outside/tq_vision.h"
#include "shell/QRCodeDlg.h"

#include <ZXing/ReadBarcode.h>
#include <wx/app.h>
#include <wx/init.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

struct Frame {
  int width, height;
  std::vector<std::uint8_t> bgr;
  std::string png;
};

Frame MakeFrame(int width, int height) {
  GrayImage scene = CodelessScene(width, height, 7);
  Paste(scene, WithQuietZone(RenderCode("https://www.example.org/q?id=12345", height / 80), 12), width / 3, height / 4);
  Frame frame{width, height, {}, {}};
  for (std::uint8_t v : scene.pixels) frame.bgr.insert(frame.bgr.end(), {v, v, v});
  frame.png = (std::filesystem::temp_directory_path() /
               ("codewerk-bench-cam-" + std::to_string(getpid()) + "-" + std::to_string(width) + ".png")).string();
  SavePng(scene, frame.png);
  return frame;
}

void Ours(benchmark::State& state, const Frame* frame) {
  setenv("CODEWERK_WEBCAM_SOURCE", ("filesrc location=\"" + frame->png + "\" ! pngdec ! imagefreeze").c_str(), 1);
  CLokaleProgrammEinstellung::GetItem().Set("QRCode", "LastDecodePage", 2); // built, but not started by showing
  CQRCodeDlg dialog;
  dialog.CreateFromTemplate();
  dialog.OnInitDialog();
  dialog.Show();
  dialog.GetTabCtrl().SetSelection(1);
  auto& decodePage = *dynamic_cast<CSubDlgDecode*>(dialog.GetTabCtrl().m_arSubDlg[1]);
  int reported = 0;
  decodePage.m_fnOnDecoded = [&](const CDecodeResultArray*, const CDTemplateArray<CDecodeGrafikResult>*) {
    return ++reported, true;
  };
  CSubDlgDecode_WebCam& page = decodePage.m_dlgWebCam;
  page.SetWebCam(StarteWebCam(false, SIZE{0, 0}));
  if (!page.m_pWebCam) state.SkipWithError("no frames from the pipeline");
  for (auto _ : state) {
    // Ticks come every 250 ms, so a new frame is waiting; the source sends 25 per second.
    state.PauseTiming();
    std::this_thread::sleep_for(std::chrono::milliseconds(45));
    state.ResumeTiming();
    page.m_nTimer = 1314;
    page.OnTimer(1314);
  }
  if (reported != static_cast<int>(state.iterations())) state.SkipWithError("a tick missed the code");
  page.PrepareForCloseDialog();
}

// Paced like a tick: a decode after an idle gap finds cold caches, on either side.
void Raw(benchmark::State& state, const Frame* frame) {
  ZXing::DecodeHints hints;
  hints.setFormats(ZXing::BarcodeFormat::QRCode);
  const ZXing::ImageView view(frame->bgr.data(), frame->width, frame->height, ZXing::ImageFormat::BGR);
  for (auto _ : state) {
    state.PauseTiming();
    std::this_thread::sleep_for(std::chrono::milliseconds(45));
    state.ResumeTiming();
    if (!ZXing::ReadBarcode(view, hints).isValid()) state.SkipWithError("code not found");
  }
}

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  wxApp::SetInstance(new wxApp);
  if (!wxEntryStart(argc, argv)) return 2;
  GetQRCodeKonfiguration().m_eDecoder = Decoder_ZXing;
  static const Frame frames[] = {MakeFrame(640, 480), MakeFrame(1280, 720)};
  for (const Frame& frame : frames) {
    const std::string size = std::to_string(frame.width) + "x" + std::to_string(frame.height);
    benchmark::RegisterBenchmark(("webcam tick " + size + ": ours").c_str(), Ours, &frame)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("webcam tick " + size + ": raw").c_str(), Raw, &frame)->Unit(benchmark::kMillisecond);
  }
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const Frame& frame : frames) std::filesystem::remove(frame.png);
  wxEntryCleanup();
  return 0;
}
