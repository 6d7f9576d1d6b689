#include "Enhance.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace decodecommon {

void BinarizeLocally(RasterImage& image) {
  const int w = image.width, h = image.height;
  const int r = std::max(8, std::min(w, h) / 16);
  // The window's column sums move down a row at a time (2r + 1 rows of 255 fit 32 bits for any
  // picture); a row's prefix sums over them give each window's total in 64 bits.
  std::vector<std::uint32_t> column(static_cast<std::size_t>(w), 0);
  std::vector<std::uint64_t> prefix(static_cast<std::size_t>(w) + 1, 0);
  const std::uint8_t* in = image.pixels.data();
  auto addRow = [&](int y, int sign) {
    const std::uint8_t* row = in + static_cast<std::size_t>(y) * w;
    for (int x = 0; x < w; ++x) column[static_cast<std::size_t>(x)] += static_cast<std::uint32_t>(sign * row[x]);
  };
  PixelBuffer out(image.pixels.size());
  int top = 0, bottom = 0; // rows [top, bottom) are in the column sums
  for (int y = 0; y < h; ++y) {
    for (; bottom < std::min(h, y + r + 1); ++bottom) addRow(bottom, 1);
    for (; top < y - r; ++top) addRow(top, -1);
    for (int x = 0; x < w; ++x) prefix[static_cast<std::size_t>(x) + 1] = prefix[static_cast<std::size_t>(x)] + column[static_cast<std::size_t>(x)];
    const std::uint64_t rows = static_cast<std::uint64_t>(bottom - top);
    const std::uint8_t* row = in + static_cast<std::size_t>(y) * w;
    std::uint8_t* target = out.data() + static_cast<std::size_t>(y) * w;
    for (int x = 0; x < w; ++x) {
      const int x0 = std::max(0, x - r), x1 = std::min(w, x + r + 1);
      const std::uint64_t total = prefix[static_cast<std::size_t>(x1)] - prefix[static_cast<std::size_t>(x0)];
      const std::uint64_t area = static_cast<std::uint64_t>(x1 - x0) * rows;
      target[x] = static_cast<std::uint64_t>(row[x]) * area * 100 < total * 97 ? 0 : 255;
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
