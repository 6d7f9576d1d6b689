// GetEncodedBitmap against libqrencode encoding the same text and filling a 24-bit buffer of the
// same size: what the system adds on top of the raw back end.
#include "BenchTexts.h"
#include "RatioReporter.h"

#include "encode/CalcAusdehnung.h"
#include "encode/EncodedBitmap.h"
#include "encode/EncoderGetCodeItem_QREncode.h"
#include "outside/GlobalMemory.h"

#include <qrencode.h>

#include <string>
#include <vector>

namespace {

void Ours(benchmark::State& state, const std::string& text, int module) {
  CEncoderGetCodeItem_QREncode encoder;
  for (auto _ : state) {
    CSubDlgEncodeBaseCalcAusdehnungFest calc(module, module);
    void* dib = GetEncodedBitmap(text.c_str(), encoder, calc, 0, 0xFFFFFF);
    benchmark::DoNotOptimize(dib);
    GlobalFree(dib);
  }
}

// The same work done straight on libqrencode: encode, then paint a bottom-up 24-bit buffer.
void Raw(benchmark::State& state, const std::string& text, int module) {
  for (auto _ : state) {
    QRcode* qr = QRcode_encodeString(text.c_str(), 0, QR_ECLEVEL_L, QR_MODE_8, 1);
    const int w = qr->width * module;
    const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
    std::vector<unsigned char> pixels(stride * static_cast<size_t>(w));
    for (int y = 0; y < w; ++y) {
      unsigned char* row = pixels.data() + static_cast<size_t>(w - 1 - y) * stride;
      for (int x = 0; x < w; ++x) {
        const unsigned char v = (qr->data[(y / module) * qr->width + x / module] & 1) ? 0 : 255;
        row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = v;
      }
    }
    benchmark::DoNotOptimize(pixels.data());
    QRcode_free(qr);
  }
}

const bool registered = [] {
  static const std::string url = "https://www.example.org/shop/item?id=42&x=1"; // 43 characters
  static const std::string longText = TextOfLength(2000);
  for (const auto& [label, text] : {std::pair{"40-character URL", &url}, std::pair{"2000-byte text", &longText}})
    for (int module : {1, 8}) {
      const std::string name = std::string("encode ") + label + ", " + std::to_string(module) + "x" + std::to_string(module);
      benchmark::RegisterBenchmark((name + ": ours").c_str(), Ours, *text, module)->Unit(benchmark::kMicrosecond);
      benchmark::RegisterBenchmark((name + ": raw").c_str(), Raw, *text, module)->Unit(benchmark::kMicrosecond);
    }
  return true;
}();

} // namespace

CODEWERK_BENCHMARK_MAIN()
