#include "encode/CodeDrawButton.h"

#include "encode/SubDlgEncode.h"
#include "outside/DibDrawing.h"
#include "outside/DibServices.h"

#include <wx/dcbuffer.h>

namespace {

constexpr int kQuietZoneModules = 4; // what a reader needs around a code to find it on screen

} // namespace

CCodeDrawButton::CCodeDrawButton(CSubDlgEncodeBase* pSubDlg) : m_pSubDlg(pSubDlg) {}

bool CCodeDrawButton::Create(wxWindow* parent) {
  if (!wxWindow::Create(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE)) return false;
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    const wxSize size = GetClientSize();
    DrawItem(dc, CRect(0, 0, size.x, size.y));
  });
  return true;
}

void CCodeDrawButton::DrawItem(wxDC& dc, const CRect& rect) {
  m_codeRect = CRect();
  if (!m_pSubDlg) return;
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(*wxWHITE_BRUSH);
  dc.DrawRectangle(rect.left, rect.top, rect.Width(), rect.Height());
  if (!m_pSubDlg->m_hDib) return;
  m_codeRect = GetCrispRect(GetDIBSize(m_pSubDlg->m_hDib), rect, kQuietZoneModules);
  StretchDIB(dc, m_pSubDlg->m_hDib, nullptr, m_codeRect.left, m_codeRect.top, m_codeRect.Width(), m_codeRect.Height());
}
