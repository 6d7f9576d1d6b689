// libFuzzer target for one picture format's reader, chosen when building (FUZZ_FORMAT), so each
// fuzzer learns one format; 'A' is the picture reader that tells the format by the first bytes.
// Each input is decoded once; its length picks the pixel format.
#include "ImageDecoders.h"
#include "outside/ImageFile.h"

#include <cstddef>
#include <cstdint>

namespace {

using namespace tqgraphics;

void Check(const RasterImage& image) {
  if (image.pixels.size() != image.Stride() * static_cast<std::size_t>(image.height)) __builtin_trap();
  if (static_cast<long long>(image.width) * image.height > kMaxImagePixels) __builtin_trap();
}

#if FUZZ_FORMAT == 'T'
// The first pages in order, then the first again: the reader must find its way back.
void ReadTiff(const std::uint8_t* data, std::size_t size, PixelFormat format) {
  TiffFile file(data, size);
  const int pages = file.CountPages(3);
  for (int page : {0, 1, 2, 0}) {
    RasterImage image;
    std::string error;
    if (page < pages && file.Decode(page, format, image, &error)) Check(image);
  }
}
#endif

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const PixelFormat format = size % 3 == 0 ? PixelFormat::Gray8 : size % 3 == 1 ? PixelFormat::Bgr24 : PixelFormat::Native;
#if FUZZ_FORMAT == 'T'
  ReadTiff(data, size, format);
#else
  RasterImage image;
  std::string error;
  bool (*const read)(const std::uint8_t*, std::size_t, PixelFormat, RasterImage&, std::string*) =
      FUZZ_FORMAT == 'P' ? DecodePng : FUZZ_FORMAT == 'J' ? DecodeJpeg : FUZZ_FORMAT == 'G' ? DecodeGif
      : FUZZ_FORMAT == 'B' ? DecodeBmp : LoadImageMemory;
  if (read(data, size, format, image, &error)) Check(image);
  else if (error.empty()) __builtin_trap(); // a refusal always says why
#endif
  return 0;
}
