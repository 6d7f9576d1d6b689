// Graphic objects of the graphics library: a picture that loads from a file and draws itself.
#pragma once

#include "CArray.h"
#include "CString.h"
#include "ImageFile.h"
#include "WinTypes.h"

#include <algorithm>
#include <memory>
#include <vector>

class wxDC;

class CGrafik {
public:
  virtual ~CGrafik() = default;
  // Nonzero when the file was read.
  virtual BOOL Lade(void* dc, const char* fileName) = 0;
  virtual CSize GetSize() const = 0;
  CRect GetKorrektRect(const CRect& rect) const;
  // Draws the picture into rect, smoothly scaled.
  virtual void Zeichne(wxDC& dc, const CRect& rect, void* palette) = 0;
  // Draws it into the largest rectangle of its proportions inside rect.
  void ZeichneKorrekt(wxDC& dc, const CRect& rect, void* palette);
};

// A graphic holding one bitmap (a global memory block), which it owns.
class CDIBGrafik : public CGrafik {
public:
  CDIBGrafik();
  ~CDIBGrafik() override;
  CDIBGrafik(const CDIBGrafik&) = delete;
  CDIBGrafik& operator=(const CDIBGrafik&) = delete;

  BOOL Lade(void* dc, const char* fileName) override;
  CSize GetSize() const override;
  void Zeichne(wxDC& dc, const CRect& rect, void* palette) override;

  HGLOBAL GetDib() const { return m_hDib; }
  // Takes the bitmap over (null: none), freeing the one held before.
  void SetDib(HGLOBAL dib);
  // Gives the bitmap up to the caller; the graphic holds none afterwards.
  HGLOBAL DetachDib();

private:
  struct Cache;
  HGLOBAL m_hDib = nullptr;
  std::unique_ptr<Cache> m_cache;
};

class CGrafikFormatArray {
public:
  // A new graphic for a file of a known picture type (by its extension), or null; the caller
  // deletes it.
  CGrafik* GetGrafikObject(const char* fileName) const;
};
CGrafikFormatArray& GetGrafikFormatArray();

// A drawing surface in memory whose picture becomes a bitmap.
class CMemoryDC {
public:
  CMemoryDC();
  ~CMemoryDC();
  // A surface of size, or smaller (size is updated) when that would be too large. False when
  // none can be made.
  bool SetSafeSizeOrSmaller(CSize& size);
  // Whether a surface of this size would be made as it is.
  static bool IsSafeSize(CSize size);
  wxDC* GetDC();
  // The drawn picture as a new 24-bit bitmap, which the caller owns.
  HGLOBAL DDBtoDIB();

private:
  struct Surface;
  std::unique_ptr<Surface> m_surface;
};

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
