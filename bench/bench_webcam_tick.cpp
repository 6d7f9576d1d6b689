// One webcam tick — grab the newest frame, write it as BMP, decode it, load it into the preview,
// report the code — against the raw zxing-cpp decode of the same frame already in memory. The time
// column is our tick; the ratio table has both sides.
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

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Ticks come every 250 ms, so a new frame is waiting (the source sends 25 per second), and a
// decode after an idle gap finds cold caches: each side runs after the same gap.
void IdleGap() { std::this_thread::sleep_for(std::chrono::milliseconds(45)); }

// Ours and raw take turns, tick by tick, so both meet the same machine: the speed of this shared
// machine drifts by a quarter from minute to minute, which made separate runs disagree.
void Paired(benchmark::State& state, const Frame* frame) {
  setenv("CODEWERK_WEBCAM_SOURCE", ("filesrc location=\"" + frame->png + "\" ! pngdec ! imagefreeze").c_str(), 1);
  CLokaleProgrammEinstellung::GetItem().SetText("QRCode", "LastDecodeSource", "Datei"); // the camera tab is built, not started
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

  ZXing::DecodeHints hints;
  hints.setFormats(ZXing::BarcodeFormat::QRCode);
  const ZXing::ImageView view(frame->bgr.data(), frame->width, frame->height, ZXing::ImageFormat::BGR);
  double ours = 0, raw = 0;
  for (auto _ : state) {
    IdleGap();
    Clock::time_point start = Clock::now();
    page.m_nTimer = 1314;
    page.OnTimer(1314);
    const double tick = MillisecondsSince(start);
    IdleGap();
    start = Clock::now();
    if (!ZXing::ReadBarcode(view, hints).isValid()) state.SkipWithError("code not found");
    raw += MillisecondsSince(start);
    ours += tick;
    state.SetIterationTime(tick / 1000);
  }
  if (reported != static_cast<int>(state.iterations())) state.SkipWithError("a tick missed the code");
  page.PrepareForCloseDialog();
  state.counters["ours"] = benchmark::Counter(ours, benchmark::Counter::kAvgIterations);
  state.counters["raw"] = benchmark::Counter(raw, benchmark::Counter::kAvgIterations);
  state.counters["ratio"] = raw > 0 ? ours / raw : 0;
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
    benchmark::RegisterBenchmark(("webcam tick " + size + ": paired").c_str(), Paired, &frame)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
  }
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const Frame& frame : frames) std::filesystem::remove(frame.png);
  wxEntryCleanup();
  return 0;
}
