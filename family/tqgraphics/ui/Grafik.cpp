#include "outside/Grafik.h"

#include "outside/DibDrawing.h"
#include "outside/DibServices.h"
#include "outside/GlobalMemory.h"
#include "outside/ImageFile.h"

#include <wx/bitmap.h>
#include <wx/dc.h>
#include <wx/dcmemory.h>
#include <wx/image.h>

#include <algorithm>
#include <cstring>
#include <cerrno>
#include <strings.h>
#include <unistd.h>

namespace {

bool ReadFully(int fd, void* buffer, std::size_t bytes) {
  for (std::size_t done = 0; done < bytes;) {
    const ssize_t n = read(fd, static_cast<char*>(buffer) + done, bytes - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// A plain BMP file is a bitmap block behind a 14-byte file header: read straight into the block,
// without decoding and copying (the webcam preview loads one every tick). Null when the file is
// anything else; the general reader takes it then.
HGLOBAL ReadPlainBmpAsDib(const char* fileName) {
  std::size_t fileBytes = 0;
  const int fd = OpenPictureFile(fileName, fileBytes);
  if (fd < 0) return nullptr;
  HGLOBAL dib = nullptr;
  BYTE header[14];
  if (fileBytes > sizeof header && ReadFully(fd, header, sizeof header) && header[0] == 'B' && header[1] == 'M') {
    const size_t bytes = fileBytes - sizeof header;
    const DWORD pixelsAt = header[10] | header[11] << 8 | header[12] << 16 | static_cast<DWORD>(header[13]) << 24;
    dib = GlobalAlloc(GMEM_MOVEABLE, bytes);
    void* block = dib ? GlobalLock(dib) : nullptr;
    DibLayout layout;
    const bool plain = block && ReadFully(fd, block, bytes) && ReadDibLayout(block, bytes, layout) &&
                       layout.compression == 0 && pixelsAt == sizeof header + layout.headerBytes;
    if (block) GlobalUnlock(dib);
    if (!plain && dib) dib = GlobalFree(dib);
  }
  close(fd);
  return dib;
}

} // namespace

CRect CGrafik::GetKorrektRect(const CRect& rect) const { return ::GetKorrektRect(GetSize(), rect); }

void CGrafik::ZeichneKorrekt(wxDC& dc, const CRect& rect, void* palette) { Zeichne(dc, GetKorrektRect(rect), palette); }

// The picture scaled for the last size it was drawn at: previews repaint often, always alike.
struct CDIBGrafik::Cache {
  wxImage image;
  wxBitmap scaled;
  wxSize scaledSize;
};

CDIBGrafik::CDIBGrafik() = default;
CDIBGrafik::~CDIBGrafik() { SetDib(nullptr); }

void CDIBGrafik::SetDib(HGLOBAL dib) {
  if (m_hDib && m_hDib != dib) GlobalFree(m_hDib);
  m_hDib = dib;
  m_cache.reset();
}

HGLOBAL CDIBGrafik::DetachDib() {
  HGLOBAL dib = m_hDib;
  m_hDib = nullptr;
  m_cache.reset();
  return dib;
}

BOOL CDIBGrafik::Lade(void*, const char* fileName) {
  if (HGLOBAL dib = fileName ? ReadPlainBmpAsDib(fileName) : nullptr) {
    SetDib(dib);
    return TRUE;
  }
  RasterImage image;
  if (!fileName || !LoadImageFile(fileName, PixelFormat::Native, image)) return FALSE;
  const bool grey = image.format == PixelFormat::Gray8;
  HGLOBAL dib = grey ? MakeDib8Gray(image.width, image.height, image.pixels.data())
                     : MakeDib24(image.width, image.height, image.pixels.data());
  if (!dib) return FALSE;
  SetDib(dib);
  return TRUE;
}

CSize CDIBGrafik::GetSize() const { return m_hDib ? GetDIBSize(m_hDib) : CSize(); }

void CDIBGrafik::Zeichne(wxDC& dc, const CRect& rect, void*) {
  if (!m_hDib || rect.IsRectEmpty()) return;
  if (!m_cache) m_cache = std::make_unique<Cache>(Cache{DibToImage(m_hDib), {}, {}});
  if (!m_cache->image.IsOk()) return;
  const double scale = dc.GetContentScaleFactor();
  const wxSize device(std::max(1, static_cast<int>(rect.Width() * scale)), std::max(1, static_cast<int>(rect.Height() * scale)));
  if (m_cache->scaledSize != device || !m_cache->scaled.IsOk()) {
    m_cache->scaled = wxBitmap(m_cache->image.Scale(device.x, device.y, wxIMAGE_QUALITY_HIGH), -1, scale);
    m_cache->scaledSize = device;
  }
  dc.DrawBitmap(m_cache->scaled, rect.left, rect.top);
}

CGrafik* CGrafikFormatArray::GetGrafikObject(const char* fileName) const {
  static const char* const known[] = {"bmp", "dib", "png", "jpg", "jpeg", "jpe", "gif", "tif", "tiff"};
  const CString extension = GetExtensionOhnePunkt(fileName ? fileName : "");
  for (const char* type : known)
    if (strcasecmp(extension, type) == 0) return new CDIBGrafik();
  return nullptr;
}

CGrafikFormatArray& GetGrafikFormatArray() {
  static CGrafikFormatArray formats;
  return formats;
}

// The largest surface a preview makes: enough for a page scanned at 300 dpi.
constexpr int kMaxSurfaceSide = 4096;

struct CMemoryDC::Surface {
  wxBitmap bitmap;
  wxMemoryDC dc;
};

CMemoryDC::CMemoryDC() = default;
CMemoryDC::~CMemoryDC() = default;

bool CMemoryDC::SetSafeSizeOrSmaller(CSize& size) {
  if (size.cx <= 0 || size.cy <= 0) return false;
  const double shrink = std::min(1.0, static_cast<double>(kMaxSurfaceSide) / std::max(size.cx, size.cy));
  size = CSize(std::max(1, static_cast<int>(size.cx * shrink)), std::max(1, static_cast<int>(size.cy * shrink)));
  m_surface = std::make_unique<Surface>();
  if (!m_surface->bitmap.Create(size.cx, size.cy, 24)) {
    m_surface.reset();
    return false;
  }
  m_surface->dc.SelectObject(m_surface->bitmap);
  m_surface->dc.SetBackground(*wxWHITE_BRUSH);
  m_surface->dc.Clear();
  return true;
}

bool CMemoryDC::IsSafeSize(CSize size) {
  return size.cx > 0 && size.cy > 0 && std::max(size.cx, size.cy) <= kMaxSurfaceSide;
}

wxDC* CMemoryDC::GetDC() { return m_surface ? &m_surface->dc : nullptr; }

HGLOBAL CMemoryDC::DDBtoDIB() {
  if (!m_surface) return nullptr;
  m_surface->dc.SelectObject(wxNullBitmap);
  const wxImage image = m_surface->bitmap.ConvertToImage();
  m_surface->dc.SelectObject(m_surface->bitmap);
  std::vector<unsigned char> bgr(static_cast<size_t>(image.GetWidth()) * image.GetHeight() * 3);
  const unsigned char* rgb = image.GetData();
  for (size_t i = 0; i < bgr.size(); i += 3) bgr[i] = rgb[i + 2], bgr[i + 1] = rgb[i + 1], bgr[i + 2] = rgb[i];
  return MakeDib24(image.GetWidth(), image.GetHeight(), bgr.data());
}
