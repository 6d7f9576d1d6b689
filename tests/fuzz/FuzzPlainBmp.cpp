// libFuzzer target for the plain BMP fast path, which reads a file a block of rows at a time.
// Whatever it accepts, the whole-file reader must read to the same pixels.
#include "ImageDecoders.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const int fd = memfd_create("bmp", MFD_CLOEXEC);
  if (fd < 0 || write(fd, data, size) != static_cast<ssize_t>(size)) __builtin_trap();
  const PixelFormat format = size % 2 ? PixelFormat::Gray8 : PixelFormat::Native;
  RasterImage fast, whole;
  std::string error;
  if (size > 0 && tqgraphics::ReadPlainBmpFile(fd, size, format, fast)) {
    if (!tqgraphics::DecodeBmp(data, size, format, whole, &error)) __builtin_trap();
    if (fast.width != whole.width || fast.height != whole.height || fast.format != whole.format || fast.pixels != whole.pixels)
      __builtin_trap();
  }
  close(fd);
  return 0;
}
