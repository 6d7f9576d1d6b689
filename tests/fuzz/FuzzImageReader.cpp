// libFuzzer target: any bytes through the picture reader, which tells the format by the first
// bytes. Each input is decoded once; its length picks the pixel format.
#include "outside/ImageFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  RasterImage image;
  std::string error;
  const PixelFormat format = size % 2 ? PixelFormat::Gray8 : PixelFormat::Bgr24;
  if (LoadImageMemory(data, size, format, image, &error)) {
    // A picture that loads must have exactly the pixels it claims.
    if (image.pixels.size() != image.Stride() * static_cast<std::size_t>(image.height)) __builtin_trap();
  } else if (error.empty()) {
    __builtin_trap(); // a refusal always says why
  }
  return 0;
}
