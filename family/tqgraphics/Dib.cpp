#include "outside/DibServices.h"

#include "outside/GlobalMemory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

long long DibRowStride(long long width, int bitCount) {
  if (width < 0 || bitCount <= 0 || width > (1ll << 40)) return -1;
  return ((width * bitCount + 31) / 32) * 4;
}

bool ReadDibLayout(const void* block, size_t blockSize, DibLayout& layout) {
  if (!block || blockSize < sizeof(BITMAPINFOHEADER)) return false;
  BITMAPINFOHEADER h;
  std::memcpy(&h, block, sizeof h);
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > blockSize) return false;
  if (h.biWidth < 0 || h.biHeight == std::numeric_limits<LONG>::min()) return false;
  switch (h.biBitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
  }
  const bool rle = h.biCompression == BI_RLE8 || h.biCompression == BI_RLE4;
  if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS && !rle) return false;
  if (rle && h.biBitCount != (h.biCompression == BI_RLE8 ? 8 : 4)) return false;
  if (h.biCompression == BI_BITFIELDS && h.biBitCount != 16 && h.biBitCount != 32) return false;

  layout.width = h.biWidth;
  layout.height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  layout.topDown = h.biHeight < 0;
  layout.bitCount = h.biBitCount;
  layout.compression = h.biCompression;
  layout.paletteEntries = 0;
  if (h.biBitCount <= 8) {
    const DWORD maximum = 1u << h.biBitCount;
    layout.paletteEntries = static_cast<int>(h.biClrUsed == 0 || h.biClrUsed > maximum ? maximum : h.biClrUsed);
  }
  const size_t masks = (h.biCompression == BI_BITFIELDS && h.biSize == sizeof(BITMAPINFOHEADER)) ? 12 : 0;
  layout.headerBytes = h.biSize + masks + static_cast<size_t>(layout.paletteEntries) * sizeof(RGBQUAD);
  if (layout.headerBytes > blockSize) return false;

  if (rle) {
    layout.stride = 0;
    layout.imageBytes = std::min<size_t>(h.biSizeImage, blockSize - layout.headerBytes);
    return true;
  }
  const long long stride = DibRowStride(layout.width, layout.bitCount);
  if (stride < 0) return false;
  const unsigned long long image = static_cast<unsigned long long>(stride) * static_cast<unsigned long long>(layout.height);
  if (image > blockSize - layout.headerBytes) return false;
  layout.stride = static_cast<size_t>(stride);
  layout.imageBytes = static_cast<size_t>(image);
  return true;
}

CSize GetDIBSize(HGLOBAL dib) {
  const void* bits = GlobalLock(dib);
  DibLayout layout;
  const bool ok = ReadDibLayout(bits, GlobalSize(dib), layout);
  if (bits) GlobalUnlock(dib);
  return ok ? CSize(layout.width, layout.height) : CSize();
}

HGLOBAL CopyDIB(HGLOBAL dib) {
  const SIZE_T size = GlobalSize(dib);
  const void* source = GlobalLock(dib);
  if (!source) return nullptr;
  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
  if (void* target = GlobalLock(copy)) {
    std::memcpy(target, source, size);
    GlobalUnlock(copy);
  }
  GlobalUnlock(dib);
  return copy;
}

CRect GetKorrektRect(CSize size, const CRect& rect) {
  const long long boxW = rect.Width();
  const long long boxH = rect.Height();
  if (size.cx <= 0 || size.cy <= 0 || boxW <= 0 || boxH <= 0) return CRect(rect.left, rect.top, rect.left, rect.top);
  long long w = boxW;
  long long h = boxH;
  if (boxW * size.cy <= boxH * size.cx)
    h = std::max(1ll, (boxW * size.cy + size.cx / 2) / size.cx);
  else
    w = std::max(1ll, (boxH * size.cx + size.cy / 2) / size.cy);
  const int left = rect.left + static_cast<int>((boxW - w) / 2);
  const int top = rect.top + static_cast<int>((boxH - h) / 2);
  return CRect(left, top, left + static_cast<int>(w), top + static_cast<int>(h));
}
