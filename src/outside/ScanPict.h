// Bitmap blocks made from pixels, and the family's multi-page scan pictures (TIFF files) read
// page by page into them. Nothing here draws: it needs no window system.
#pragma once

#include "CString.h"
#include "ImageFile.h"
#include "WinTypes.h"

#include <algorithm>
#include <memory>

// A 24-bit bitmap block of these blue-green-red pixels (rows top first, no padding).
HGLOBAL MakeDib24(int width, int height, const unsigned char* bgr);
// An 8-bit bitmap block with a grey ramp of these grey values, a third of the 24-bit size.
HGLOBAL MakeDib8Gray(int width, int height, const unsigned char* gray);

// The family's multi-page scan pictures are multi-page TIFF files.
extern const char* const ExtensionTQScan;
bool IsTQScanExtension(const CString& extension);
CString GetExtensionOhnePunkt(const CString& path);

class CTQScanPict {
public:
  CTQScanPict();
  ~CTQScanPict();
  // Nonzero when the file was read; its pages are then available as bitmaps.
  BOOL Lade(void* dc, const char* fileName);
  // At most kMaxImagePages; GetPagesInFile tells whether the file has more.
  int GetPageCount() const { return std::min(m_nPages, kMaxImagePages); }
  int GetPagesInFile() const { return m_nPages; }
  // A new bitmap of the page (the caller owns it), or null. Pages in order are read fastest.
  HGLOBAL GetPageDib(int page) const;

private:
  PixelBuffer m_bytes; // the whole file, read once for all its pages
  int m_nPages = 0;    // counted up to one more than the limit
  mutable std::unique_ptr<PicturePages> m_pages;
};
