// PNG, JPEG and GIF (first frame) through stb_image.
#include "ImageDecoders.h"

#include <stb_image.h>

#include <climits>
#include <memory>

namespace tqgraphics {
namespace {

constexpr long long kStbPixelsPerByte = 8400; // deflate's 1:1032 on 1-bit rows

struct StbFree {
  void operator()(stbi_uc* p) const { stbi_image_free(p); }
};

} // namespace

bool DecodeWithStb(const std::uint8_t* data, std::size_t size, PixelFormat format, RasterImage& image,
                   std::string* error) {
  if (size > INT_MAX) {
    SetError(error, "the file is too large");
    return false;
  }
  const int length = static_cast<int>(size);
  int width = 0, height = 0, channels = 0;
  if (!stbi_info_from_memory(data, length, &width, &height, &channels)) {
    SetError(error, std::string("the picture's header is damaged (") + stbi_failure_reason() + ")");
    return false;
  }
  if (!AcceptDimensions(width, height, PlausiblePixels(size, kStbPixelsPerByte), error)) return false;
  const bool grey = channels <= 2;
  if (format == PixelFormat::Native) format = grey ? PixelFormat::Gray8 : PixelFormat::Bgr24;
  const int wanted = format == PixelFormat::Gray8 ? 1 : 3;
  std::unique_ptr<stbi_uc, StbFree> pixels(stbi_load_from_memory(data, length, &width, &height, &channels, wanted));
  if (!pixels) {
    SetError(error, std::string("the picture is damaged or truncated (") + stbi_failure_reason() + ")");
    return false;
  }
  PrepareImage(image, width, height, format);
  const std::size_t count = static_cast<std::size_t>(width) * height;
  const stbi_uc* src = pixels.get();
  if (format == PixelFormat::Gray8) {
    std::copy(src, src + count, image.pixels.begin());
    return true;
  }
  for (std::size_t i = 0; i < count; ++i) { // stb gives red-green-blue
    image.pixels[3 * i] = src[3 * i + 2];
    image.pixels[3 * i + 1] = src[3 * i + 1];
    image.pixels[3 * i + 2] = src[3 * i];
  }
  return true;
}

} // namespace tqgraphics
