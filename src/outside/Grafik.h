// Graphic objects of the graphics library: a picture that loads from a file and draws itself.
#pragma once

#include "CArray.h"
#include "CString.h"
#include "ImageFile.h"
#include "ScanPict.h"
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

