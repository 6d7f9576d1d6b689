// GetEncodedBitmap against libqrencode encoding the same text and filling a 24-bit buffer of the
// same size: what the system adds on top of the raw back end.
#include "encode/CalcAusdehnung.h"
#include "encode/EncodedBitmap.h"
#include "encode/EncoderGetCodeItem_QREncode.h"
#include "outside/GlobalMemory.h"

#include <benchmark/benchmark.h>
#include <qrencode.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const std::string kUrl = "https://www.example.org/shop/item?id=42&x=1"; // 40+ characters

std::string TextOfLength(size_t n) {
  std::string text;
  while (text.size() < n) text += "Lorem ipsum dolor sit amet, consectetur adipiscing elit. ";
  text.resize(n);
  return text;
}

const std::string& TextFor(int which) {
  static const std::string longText = TextOfLength(2000);
  return which == 0 ? kUrl : longText;
}

void BM_GetEncodedBitmap(benchmark::State& state) {
  const std::string& text = TextFor(static_cast<int>(state.range(0)));
  const int module = static_cast<int>(state.range(1));
  CEncoderGetCodeItem_QREncode encoder;
  for (auto _ : state) {
    CSubDlgEncodeBaseCalcAusdehnungFest calc(module, module);
    void* dib = GetEncodedBitmap(text.c_str(), encoder, calc, 0, 0xFFFFFF);
    benchmark::DoNotOptimize(dib);
    GlobalFree(dib);
  }
}

// The same work done straight on libqrencode: encode, then paint a bottom-up 24-bit buffer.
void BM_RawQrencode(benchmark::State& state) {
  const std::string& text = TextFor(static_cast<int>(state.range(0)));
  const int module = static_cast<int>(state.range(1));
  for (auto _ : state) {
    QRcode* qr = QRcode_encodeString(text.c_str(), 0, QR_ECLEVEL_L, QR_MODE_8, 1);
    const int w = qr->width * module;
    const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
    std::vector<unsigned char> pixels(stride * w);
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

} // namespace

// Arguments: text (0 = 40-character URL, 1 = 2000 bytes), pixels per module.
BENCHMARK(BM_GetEncodedBitmap)->ArgsProduct({{0, 1}, {1, 8}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawQrencode)->ArgsProduct({{0, 1}, {1, 8}})->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
