#include "outside/ImageViewer.h"

#include "outside/DibDrawing.h"
#include "outside/DibServices.h"
#include "outside/GlobalMemory.h"

#include <wx/button.h>
#include <wx/dcbuffer.h>
#include <wx/sizer.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMinZoom = 0.02, kMaxZoom = 32.0, kStep = 1.25;

} // namespace

bool CImageViewerWnd::Create(wxWindow* parent) {
  if (!wxScrolledCanvas::Create(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxHSCROLL | wxVSCROLL | wxWANTS_CHARS))
    return false;
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  SetScrollRate(1, 1);
  Bind(wxEVT_PAINT, &CImageViewerWnd::OnPaint, this);
  Bind(wxEVT_SIZE, &CImageViewerWnd::OnSize, this);
  Bind(wxEVT_MOUSEWHEEL, &CImageViewerWnd::OnWheel, this);
  Bind(wxEVT_CHAR_HOOK, &CImageViewerWnd::OnKey, this);
  return true;
}

void CImageViewerWnd::SetPage(HGLOBAL dib) {
  m_hDib = dib;
  m_image = dib ? DibToImage(dib) : wxImage();
  ZoomToFit();
}

void CImageViewerWnd::AddPostDrawAction(PostDrawAction action) { m_postDraw.push_back(std::move(action)); }

double CImageViewerWnd::FitZoom() const {
  if (!m_image.IsOk()) return 1.0;
  const wxSize client = GetClientSize();
  return std::clamp(std::min(static_cast<double>(client.x) / m_image.GetWidth(), static_cast<double>(client.y) / m_image.GetHeight()),
                    kMinZoom, kMaxZoom);
}

void CImageViewerWnd::ZoomToFit() {
  m_fit = true;
  m_zoom = FitZoom();
  UpdateVirtualSize();
  Refresh();
}

void CImageViewerWnd::ZoomBy(double factor, wxPoint around) {
  if (!m_image.IsOk()) return;
  // The picture point under the pointer stays under it.
  const CRect before = GetDrawnRect();
  const double px = (around.x - before.left) / m_zoom, py = (around.y - before.top) / m_zoom;
  m_fit = false;
  m_zoom = std::clamp(m_zoom * factor, kMinZoom, kMaxZoom);
  UpdateVirtualSize();
  Scroll(std::max(0, static_cast<int>(std::lround(px * m_zoom - around.x))),
         std::max(0, static_cast<int>(std::lround(py * m_zoom - around.y))));
  Refresh();
}

void CImageViewerWnd::UpdateVirtualSize() {
  if (!m_image.IsOk()) return SetVirtualSize(0, 0);
  SetVirtualSize(static_cast<int>(std::ceil(m_image.GetWidth() * m_zoom)), static_cast<int>(std::ceil(m_image.GetHeight() * m_zoom)));
}

CRect CImageViewerWnd::GetDrawnRect() const {
  if (!m_image.IsOk()) return CRect();
  const wxSize client = GetClientSize();
  const int width = static_cast<int>(std::lround(m_image.GetWidth() * m_zoom));
  const int height = static_cast<int>(std::lround(m_image.GetHeight() * m_zoom));
  // Centred while it is smaller than the window; scrolled otherwise.
  const wxPoint scrolled = CalcScrolledPosition(wxPoint(0, 0));
  const int left = width < client.x ? (client.x - width) / 2 : scrolled.x;
  const int top = height < client.y ? (client.y - height) / 2 : scrolled.y;
  return CRect(left, top, left + width, top + height);
}

void CImageViewerWnd::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  dc.SetBackground(wxBrush(wxColour(96, 96, 96)));
  dc.Clear();
  if (!m_image.IsOk()) return;
  const CRect drawn = GetDrawnRect();
  const wxSize client = GetClientSize();
  // Only the visible part is scaled: a zoomed page can be far larger than the window.
  const wxRect visible = wxRect(drawn.left, drawn.top, drawn.Width(), drawn.Height()).Intersect(wxRect(client));
  if (!visible.IsEmpty()) {
    const int sx = static_cast<int>(std::floor((visible.x - drawn.left) / m_zoom));
    const int sy = static_cast<int>(std::floor((visible.y - drawn.top) / m_zoom));
    const int sw = std::min(m_image.GetWidth() - sx, static_cast<int>(std::ceil(visible.width / m_zoom)) + 1);
    const int sh = std::min(m_image.GetHeight() - sy, static_cast<int>(std::ceil(visible.height / m_zoom)) + 1);
    if (sw > 0 && sh > 0) {
      const wxImage part = m_image.GetSubImage(wxRect(sx, sy, sw, sh));
      const int dw = std::max(1, static_cast<int>(std::lround(sw * m_zoom)));
      const int dh = std::max(1, static_cast<int>(std::lround(sh * m_zoom)));
      dc.DrawBitmap(wxBitmap(part.Scale(dw, dh, wxIMAGE_QUALITY_HIGH)), drawn.left + static_cast<int>(std::lround(sx * m_zoom)),
                    drawn.top + static_cast<int>(std::lround(sy * m_zoom)));
    }
  }
  for (const auto& action : m_postDraw) action(dc, m_hDib, drawn);
}

void CImageViewerWnd::OnSize(wxSizeEvent& event) {
  event.Skip();
  if (m_fit) ZoomToFit();
  else Refresh();
}

void CImageViewerWnd::OnWheel(wxMouseEvent& event) {
  const double factor = event.GetWheelRotation() > 0 ? kStep : 1 / kStep;
  ZoomBy(factor, event.GetPosition());
}

void CImageViewerWnd::OnKey(wxKeyEvent& event) {
  const wxPoint centre(GetClientSize().x / 2, GetClientSize().y / 2);
  switch (event.GetKeyCode()) {
    case '+':
    case WXK_NUMPAD_ADD: ZoomBy(kStep, centre); break;
    case '-':
    case WXK_NUMPAD_SUBTRACT: ZoomBy(1 / kStep, centre); break;
    case '0':
    case WXK_NUMPAD0: ZoomToFit(); break;
    default: event.Skip();
  }
}

void CBaseImageViewerCtrl::AddDib(HGLOBAL dib) {
  if (dib) m_arPages.Add(dib);
}

void CBaseImageViewerCtrl::ClearAll() {
  for (HGLOBAL page : m_arPages) GlobalFree(page);
  m_arPages.RemoveAll();
}

CTQScanViewerDialog::CTQScanViewerDialog(wxWindow* parent) : m_pParent(parent) {}

CTQScanViewerDialog::~CTQScanViewerDialog() = default;

BOOL CTQScanViewerDialog::OnInitDialog() {
  if (GetHandle()) return TRUE;
  if (!wxDialog::Create(m_pParent, wxID_ANY, "Grafik", wxDefaultPosition, wxDefaultSize,
                        wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER | wxMAXIMIZE_BOX))
    return FALSE;
  m_pViewer = new CImageViewerWnd();
  m_pViewer->Create(this);
  auto* zoomOut = new wxButton(this, wxID_ZOOM_OUT, wxString::FromUTF8("−"), wxDefaultPosition, FromDIP(wxSize(36, -1)));
  auto* zoomIn = new wxButton(this, wxID_ZOOM_IN, "+", wxDefaultPosition, FromDIP(wxSize(36, -1)));
  auto* fit = new wxButton(this, wxID_ZOOM_FIT, "Einpassen");
  auto* close = new wxButton(this, wxID_CANCEL, wxString::FromUTF8("Schließen"));
  const auto centre = [this] { return wxPoint(m_pViewer->GetClientSize().x / 2, m_pViewer->GetClientSize().y / 2); };
  zoomOut->Bind(wxEVT_BUTTON, [this, centre](wxCommandEvent&) { m_pViewer->ZoomBy(0.8, centre()); });
  zoomIn->Bind(wxEVT_BUTTON, [this, centre](wxCommandEvent&) { m_pViewer->ZoomBy(1.25, centre()); });
  fit->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { m_pViewer->ZoomToFit(); });
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->Add(zoomOut, 0, wxRIGHT, FromDIP(4));
  buttons->Add(zoomIn, 0, wxRIGHT, FromDIP(4));
  buttons->Add(fit);
  buttons->AddStretchSpacer();
  buttons->Add(close);
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(m_pViewer, 1, wxEXPAND);
  column->Add(buttons, 0, wxEXPAND | wxALL, FromDIP(8));
  SetSizer(column);
  SetEscapeId(wxID_CANCEL);
  SetSize(FromDIP(wxSize(800, 600)));
  CentreOnScreen();
  return TRUE;
}

void CTQScanViewerDialog::ShowPage(int index) {
  if (!m_pViewer || index < 0 || index >= m_viewerCtrl.GetPageCount()) return;
  m_nPage = index;
  m_pViewer->SetPage(m_viewerCtrl.GetPage(index));
}

INT_PTR CTQScanViewerDialog::DoModal() {
  if (!OnInitDialog()) return IDCANCEL;
  ShowPage(m_nPage);
  m_pViewer->SetFocus();
  return ShowModal() == wxID_OK ? IDOK : IDCANCEL;
}
