#include "Enhance.h"

#include "LinearChecks.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace decodecommon {

void BinarizeLocally(RasterImage& image, int windowDivisor) {
  const int w = image.width, h = image.height;
  const int r = std::max(8, std::min(w, h) / std::max(1, windowDivisor));
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

namespace {

std::vector<DecodedSymbol> ReadChecked(const RasterImage& picture, const Reader& read) {
  std::vector<DecodedSymbol> found = read(picture);
  DropNestedLinearCodes(found);
  return found;
}

RasterImage Binarized(const RasterImage& image, int windowDivisor) {
  RasterImage copy = image;
  BinarizeLocally(copy, windowDivisor);
  return copy;
}

// Looks at changed pictures one after another. Two-dimensional symbols carry their own error
// correction and count at once; a linear one counts when an earlier look found it too.
class ExtraLooks {
public:
  explicit ExtraLooks(const Reader& read) : m_read(read) {}

  std::vector<DecodedSymbol> Look(const RasterImage& picture) {
    std::vector<DecodedSymbol> found = ReadChecked(picture, m_read), kept;
    for (const DecodedSymbol& s : found)
      if (s.matrix || std::any_of(m_looks.begin(), m_looks.end(), [&](const auto& look) { return Agrees(look, s); }))
        kept.push_back(s);
    if (HasDisagreeingLinearCodes(kept)) SettleDisagreements(kept, {});
    m_unconfirmed |= std::any_of(found.begin(), found.end(), [](const DecodedSymbol& s) { return !s.matrix; });
    m_looks.push_back(std::move(found));
    return kept;
  }
  bool LinearSymbolAwaitsConfirmation() const { return m_unconfirmed; }

private:
  const Reader& m_read;
  std::vector<std::vector<DecodedSymbol>> m_looks;
  bool m_unconfirmed = false;
};

} // namespace

std::vector<DecodedSymbol> ReadWithSecondLooks(RasterImage& image, const Reader& read) {
  std::vector<DecodedSymbol> symbols = ReadChecked(image, read);
  if (HasDisagreeingLinearCodes(symbols)) SettleDisagreements(symbols, ReadChecked(Binarized(image, 16), read));
  if (!symbols.empty()) return symbols;
  ExtraLooks looks(read);
  InvertGray(image);
  symbols = looks.Look(image);
  // Light bars on a dark ground are confirmed in the negative, thresholded.
  if (symbols.empty() && looks.LinearSymbolAwaitsConfirmation()) symbols = looks.Look(Binarized(image, 16));
  InvertGray(image);
  if (!symbols.empty()) return symbols;
  symbols = looks.Look(Binarized(image, 16));
  if (!symbols.empty() || !looks.LinearSymbolAwaitsConfirmation()) return symbols;
  return looks.Look(Binarized(image, 32));
}

} // namespace decodecommon
