#include "outside/DibDrawing.h"

#include "outside/DibServices.h"
#include "outside/GlobalMemory.h"
#include "outside/ImageFile.h"

#include <wx/bitmap.h>
#include <wx/dc.h>
#include <wx/image.h>

#include <algorithm>
#include <cmath>

wxImage DibToImage(HGLOBAL dib) {
  const void* bits = GlobalLock(dib);
  RasterImage pixels;
  const bool ok = LoadDibPixels(bits, GlobalSize(dib), PixelFormat::Bgr24, pixels);
  if (bits) GlobalUnlock(dib);
  if (!ok) return wxImage();
  wxImage image(pixels.width, pixels.height, false);
  unsigned char* rgb = image.GetData();
  const size_t count = static_cast<size_t>(pixels.width) * pixels.height;
  for (size_t i = 0; i < count; ++i) {
    rgb[3 * i] = pixels.pixels[3 * i + 2];
    rgb[3 * i + 1] = pixels.pixels[3 * i + 1];
    rgb[3 * i + 2] = pixels.pixels[3 * i];
  }
  return image;
}

namespace {

// Scales to the destination's device pixels (the display may draw two device pixels per unit),
// so modules keep hard edges on every screen.
bool DrawScaled(wxDC& dc, const wxImage& picture, const CRect& destination) {
  if (!picture.IsOk() || destination.IsRectEmpty()) return false;
  const double scale = dc.GetContentScaleFactor();
  const int width = std::max(1, static_cast<int>(std::lround(destination.Width() * scale)));
  const int height = std::max(1, static_cast<int>(std::lround(destination.Height() * scale)));
  const bool enlarging = width >= picture.GetWidth() && height >= picture.GetHeight();
  const wxImage scaled = (width == picture.GetWidth() && height == picture.GetHeight())
                             ? picture
                             : picture.Scale(width, height, enlarging ? wxIMAGE_QUALITY_NEAREST : wxIMAGE_QUALITY_BOX_AVERAGE);
  dc.DrawBitmap(wxBitmap(scaled, -1, scale), destination.left, destination.top);
  return true;
}

} // namespace

BOOL StretchDIB(wxDC& dc, HGLOBAL dib, void*, int x, int y, int width, int height, DWORD) {
  return DrawScaled(dc, DibToImage(dib), CRect(x, y, x + width, y + height));
}

BOOL _StretchDIB(wxDC& dc, HGLOBAL dib, void*, const CRect& destination, const CRect& source, DWORD) {
  wxImage picture = DibToImage(dib);
  if (!picture.IsOk()) return FALSE;
  if (!source.IsRectEmpty()) {
    const wxRect part = wxRect(source.left, source.top, source.Width(), source.Height())
                            .Intersect(wxRect(0, 0, picture.GetWidth(), picture.GetHeight()));
    if (part.IsEmpty()) return FALSE;
    picture = picture.GetSubImage(part);
  }
  return DrawScaled(dc, picture, destination);
}

BOOL DrawDIB(wxDC& dc, HGLOBAL dib, void*, int x, int y) {
  const wxImage picture = DibToImage(dib);
  if (!picture.IsOk()) return FALSE;
  dc.DrawBitmap(wxBitmap(picture), x, y);
  return TRUE;
}

CRect GetCrispRect(CSize size, const CRect& rect, int margin) {
  if (size.cx <= 0 || size.cy <= 0 || rect.IsRectEmpty()) return GetKorrektRect(size, rect);
  const long long perPixel = std::min(static_cast<long long>(rect.Width()) / (size.cx + 2ll * margin),
                                      static_cast<long long>(rect.Height()) / (size.cy + 2ll * margin));
  if (perPixel < 1) return margin > 0 ? GetCrispRect(size, rect, 0) : GetKorrektRect(size, rect);
  const int width = static_cast<int>(size.cx * perPixel);
  const int height = static_cast<int>(size.cy * perPixel);
  const int left = rect.left + (rect.Width() - width) / 2;
  const int top = rect.top + (rect.Height() - height) / 2;
  return CRect(left, top, left + width, top + height);
}
