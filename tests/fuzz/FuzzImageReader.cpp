// libFuzzer target: any bytes through the picture reader, in both pixel formats.
#include "outside/ImageFile.h"

#include <cstdint>
#include <cstddef>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  RasterImage image;
  std::string error;
  if (LoadImageMemory(data, size, PixelFormat::Gray8, image, &error)) {
    // A picture that loads must have exactly the pixels it claims.
    if (image.pixels.size() != static_cast<std::size_t>(image.width) * image.height) __builtin_trap();
    LoadImageMemory(data, size, PixelFormat::Bgr24, image, &error);
  }
  return 0;
}
