#include "shell/QRCodeStatic.h"

#include "encode/CalcAusdehnung.h"
#include "encode/EncodedBitmap.h"
#include "encode/SubDlgEncode.h"
#include "outside/DibDrawing.h"
#include "outside/DibServices.h"
#include "outside/GlobalMemory.h"
#include "outside/WxText.h"

#include <wx/dcclient.h>

namespace {

constexpr int kQuietZoneModules = 4;

} // namespace

CQRCodeStatic::CQRCodeStatic(wxWindow* parent, wxWindowID id, const wxString& text, const wxPoint& pos,
                             const wxSize& size) {
  Create(parent, id, text, pos, size);
}

bool CQRCodeStatic::Create(wxWindow* parent, wxWindowID id, const wxString& text, const wxPoint& pos,
                           const wxSize& size) {
  if (!wxControl::Create(parent, id, pos, size, wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE)) return false;
  SetLabel(text);
  // All drawing happens in OnDraw; the background is never erased, so a failed code's hatch
  // shows over what was there.
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
    wxPaintDC dc(this);
    const wxSize client = GetClientSize();
    OnDraw(dc, CRect(0, 0, client.x, client.y));
  });
  return true;
}

void CQRCodeStatic::OnDraw(wxDC& dc, const CRect& rect) {
  // One pixel per module and a whole number of pixels per module on screen: the bitmap stays
  // small however large the control, and the code stays sharp and square.
  CSubDlgEncodeBaseCalcAusdehnungFest onePixel(1, 1);
  HGLOBAL dib = GetEncodedBitmap(FromWx(GetLabel()), GetCurrentEncoder().GetEncoder(), onePixel, 0, 0xFFFFFF);
  if (!dib) {
    DrawNoCode(dc, rect);
    return;
  }
  const CSize size = GetDIBSize(dib);
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(*wxWHITE_BRUSH);
  dc.DrawRectangle(rect.left, rect.top, rect.Width(), rect.Height());
  _StretchDIB(dc, dib, nullptr, GetCrispRect(size, rect, kQuietZoneModules), CRect(0, 0, size.cx, size.cy));
  GlobalFree(dib);
}

void CQRCodeStatic::DrawNoCode(wxDC& dc, const CRect& rect) {
  const wxColour red(255, 0, 0);
  CAutoBrush brush(wxBrush(red, wxBRUSHSTYLE_CROSSDIAG_HATCH));
  CAutoPen pen(wxPen(red, 1, wxPENSTYLE_SOLID));
  dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
  brush.SelectInto(dc);
  pen.SelectInto(dc);
  dc.DrawRectangle(rect.left, rect.top, rect.Width(), rect.Height());
}
