#include "outside/ScanPict.h"

#include "outside/DibServices.h"
#include "outside/GlobalMemory.h"

#include <cstring>

namespace {

// A bitmap block with rows bottom-up; the pixels (rows top first, bytesPerPixel each) are copied.
HGLOBAL MakeDib(int width, int height, int bitCount, const unsigned char* pixels) {
  const long long stride = DibRowStride(width, bitCount);
  if (width <= 0 || height <= 0 || stride < 0) return nullptr;
  const size_t palette = bitCount == 8 ? 256 * sizeof(RGBQUAD) : 0;
  const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(bitCount / 8);
  // Not zero-filled: every byte is written below, the row padding included (pages are large).
  HGLOBAL dib = GlobalAlloc(GMEM_MOVEABLE, 40 + palette + static_cast<size_t>(stride) * static_cast<size_t>(height));
  auto* bits = static_cast<BYTE*>(GlobalLock(dib));
  if (!bits) {
    GlobalFree(dib);
    return nullptr;
  }
  BITMAPINFOHEADER header{};
  header.biSize = 40;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = static_cast<WORD>(bitCount);
  header.biSizeImage = static_cast<DWORD>(stride * height);
  header.biXPelsPerMeter = header.biYPelsPerMeter = 2835;
  header.biClrUsed = bitCount == 8 ? 256 : 0;
  std::memcpy(bits, &header, sizeof header);
  for (int i = 0; palette && i < 256; ++i) {
    const RGBQUAD grey{BYTE(i), BYTE(i), BYTE(i), 0};
    std::memcpy(bits + 40 + i * sizeof(RGBQUAD), &grey, sizeof grey);
  }
  for (int y = 0; y < height; ++y) {
    BYTE* row = bits + 40 + palette + static_cast<size_t>(height - 1 - y) * static_cast<size_t>(stride);
    std::memcpy(row, pixels + static_cast<size_t>(y) * rowBytes, rowBytes);
    std::memset(row + rowBytes, 0, static_cast<size_t>(stride) - rowBytes);
  }
  GlobalUnlock(dib);
  return dib;
}

} // namespace

HGLOBAL MakeDib24(int width, int height, const unsigned char* bgr) { return MakeDib(width, height, 24, bgr); }

HGLOBAL MakeDib8Gray(int width, int height, const unsigned char* gray) { return MakeDib(width, height, 8, gray); }

CTQScanPict::CTQScanPict() = default;
CTQScanPict::~CTQScanPict() = default;

BOOL CTQScanPict::Lade(void*, const char* fileName) {
  m_pages.reset();
  m_bytes.clear();
  m_nPages = 0;
  if (!fileName || !ReadWholeFile(fileName, m_bytes)) return FALSE;
  m_nPages = CountImagePagesMemory(m_bytes.data(), m_bytes.size());
  m_pages = std::make_unique<PicturePages>(m_bytes.data(), m_bytes.size());
  return m_nPages > 0;
}

HGLOBAL CTQScanPict::GetPageDib(int page) const {
  // A grey scan stays grey: a third of the memory and of the bytes every later step moves.
  RasterImage image;
  if (page < 0 || page >= GetPageCount() || !m_pages->Load(page, PixelFormat::Native, image)) return nullptr;
  return image.format == PixelFormat::Gray8 ? MakeDib8Gray(image.width, image.height, image.pixels.data())
              : MakeDib24(image.width, image.height, image.pixels.data());
}

// The scan picture as the reading module hands it to the core.
extern "C" {

void* OpenScanPict(const char* path) {
  auto* scan = new CTQScanPict;
  if (scan->Lade(nullptr, path)) return scan;
  delete scan;
  return nullptr;
}

int GetScanPictPages(void* scan, int* pagesInFile) {
  const auto* pict = static_cast<const CTQScanPict*>(scan);
  if (pagesInFile) *pagesInFile = pict->GetPagesInFile();
  return pict->GetPageCount();
}

HGLOBAL GetScanPictPageDib(void* scan, int page) { return static_cast<const CTQScanPict*>(scan)->GetPageDib(page); }

void CloseScanPict(void* scan) { delete static_cast<CTQScanPict*>(scan); }

} // extern "C"
