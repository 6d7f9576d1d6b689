#include "Enhance.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace decodecommon {

void BinarizeLocally(RasterImage& image) {
  const int w = image.width, h = image.height;
  const int r = std::max(8, std::min(w, h) / 16);
  // Integral image of sums, one row and column larger.
  std::vector<std::uint32_t> sum(static_cast<std::size_t>(w + 1) * (h + 1), 0);
  for (int y = 0; y < h; ++y) {
    std::uint32_t row = 0;
    for (int x = 0; x < w; ++x) {
      row += image.pixels[static_cast<std::size_t>(y) * w + x];
      sum[static_cast<std::size_t>(y + 1) * (w + 1) + x + 1] = sum[static_cast<std::size_t>(y) * (w + 1) + x + 1] + row;
    }
  }
  PixelBuffer out(image.pixels.size());
  for (int y = 0; y < h; ++y) {
    const int y0 = std::max(0, y - r), y1 = std::min(h, y + r + 1);
    for (int x = 0; x < w; ++x) {
      const int x0 = std::max(0, x - r), x1 = std::min(w, x + r + 1);
      const std::uint64_t total = static_cast<std::uint64_t>(sum[static_cast<std::size_t>(y1) * (w + 1) + x1]) -
                                  sum[static_cast<std::size_t>(y0) * (w + 1) + x1] - sum[static_cast<std::size_t>(y1) * (w + 1) + x0] +
                                  sum[static_cast<std::size_t>(y0) * (w + 1) + x0];
      const std::uint64_t area = static_cast<std::uint64_t>(x1 - x0) * (y1 - y0);
      const auto v = image.pixels[static_cast<std::size_t>(y) * w + x];
      out[static_cast<std::size_t>(y) * w + x] = static_cast<std::uint64_t>(v) * area * 100 < total * 97 ? 0 : 255;
    }
  }
  image.pixels.swap(out);
}

std::vector<DecodedSymbol> ReadWithSecondLooks(RasterImage& image, const Reader& read) {
  std::vector<DecodedSymbol> symbols = read(image);
  if (!symbols.empty()) return symbols;
  InvertGray(image);
  symbols = read(image);
  if (!symbols.empty()) return symbols;
  InvertGray(image);
  BinarizeLocally(image);
  return read(image);
}

} // namespace decodecommon
