#include "encode/EncodedBitmap.h"

#include "outside/DibServices.h"
#include "outside/GlobalMemory.h"
#include "outside/TextServices.h"

#include <cstring>
#include <limits>
#include <optional>

namespace {

constexpr int kOneRowStretch = 10; // a linear symbol is drawn ten module rows tall
constexpr LONG kPixelsPerMeter = 2835;

struct Geometry {
  int moduleW, moduleH;
  int width, height; // pixels
  size_t stride;
  size_t blockBytes;
};

// Sizes are products of caller-given module sizes and code dimensions; anything that does not
// fit the bitmap header's 32-bit fields is refused rather than wrapped.
std::optional<Geometry> Measure(int moduleW, int moduleH, int codeWidth, int rows) {
  if (moduleW < 0 || moduleH < 0) return std::nullopt;
  const long long width = static_cast<long long>(moduleW) * codeWidth;
  const long long height = static_cast<long long>(moduleH) * rows;
  constexpr long long kMaxLong = std::numeric_limits<LONG>::max();
  if (width > kMaxLong || height > kMaxLong) return std::nullopt;
  const long long stride = DibRowStride(width, 24);
  if (stride < 0 || (height > 0 && stride > (static_cast<long long>(std::numeric_limits<DWORD>::max()) - 40) / height))
    return std::nullopt;
  return Geometry{moduleW, moduleH, static_cast<int>(width), static_cast<int>(height), static_cast<size_t>(stride),
                  40 + static_cast<size_t>(stride * height)};
}

void WriteHeader(BYTE* bits, const Geometry& g) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = g.width;
  header.biHeight = g.height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(g.stride * static_cast<size_t>(g.height));
  header.biXPelsPerMeter = kPixelsPerMeter;
  header.biYPelsPerMeter = kPixelsPerMeter;
  std::memcpy(bits, &header, sizeof header);
}

// Paints one module row into its first pixel row, then copies that row to the rest of the
// module's height: each pixel is written once and the padding keeps the allocation's zeros.
void PaintModuleRow(BYTE* pixels, const Geometry& g, int moduleRow, int rows, CEncoderItemBase& encoder, void* code,
                    int codeWidth, int askRow, DWORD dark, DWORD light) {
  BYTE* first = pixels + static_cast<size_t>(rows - 1 - moduleRow) * static_cast<size_t>(g.moduleH) * g.stride;
  BYTE* out = first;
  for (int column = 0; column < codeWidth; ++column) {
    const DWORD colour = encoder.IsCodeBitSet(code, askRow, column) ? dark : light;
    const BYTE blue = (colour >> 16) & 0xFF, green = (colour >> 8) & 0xFF, red = colour & 0xFF;
    for (int x = 0; x < g.moduleW; ++x) {
      *out++ = blue;
      *out++ = green;
      *out++ = red;
    }
  }
  const size_t rowBytes = static_cast<size_t>(out - first);
  for (int y = 1; y < g.moduleH; ++y) std::memcpy(first + static_cast<size_t>(y) * g.stride, first, rowBytes);
}

} // namespace

void* GetEncodedBitmap(const CString& text, CEncoderItemBase& encoder, CSubDlgEncodeBaseCalcAusdehnungBase& calc,
                       DWORD colourDark, DWORD colourLight) {
  void* code = encoder.GetCodeItem(GetAsUTF8String(text));
  if (!code) return nullptr;

  const int codeWidth = encoder.GetCodeWidth(code);
  const int codeHeight = encoder.GetCodeHeight(code);
  const bool oneRow = codeHeight == 1;
  const int rows = oneRow ? kOneRowStretch : codeHeight;
  std::optional<Geometry> geometry;
  if (codeWidth >= 1 && codeHeight >= 1) {
    calc.InitAusdehnung(codeWidth, rows);
    geometry = Measure(calc.m_cxModul, calc.m_cyModul, codeWidth, rows);
  }
  HGLOBAL block = geometry ? GlobalAlloc(GHND, geometry->blockBytes) : nullptr;
  if (!block) {
    encoder.DoneCode(code);
    return nullptr;
  }

  auto* bits = static_cast<BYTE*>(GlobalLock(block));
  WriteHeader(bits, *geometry);
  if (geometry->width > 0 && geometry->height > 0)
    for (int row = 0; row < rows; ++row)
      PaintModuleRow(bits + sizeof(BITMAPINFOHEADER), *geometry, row, rows, encoder, code, codeWidth, oneRow ? 0 : row,
                     colourDark, colourLight);
  GlobalUnlock(block);
  encoder.DoneCode(code);
  return block;
}
