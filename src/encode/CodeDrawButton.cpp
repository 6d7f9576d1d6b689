#include "encode/CodeDrawButton.h"

#include "encode/SubDlgEncode.h"
#include "outside/DibDrawing.h"
#include "outside/DibServices.h"
#include "outside/WxText.h"

#include <wx/dcbuffer.h>

namespace {

// The text broken into lines at blanks so that each fits width.
wxString Wrapped(const wxString& text, wxDC& dc, int width) {
  wxString out, line;
  for (const wxString& word : wxSplit(text, ' ')) {
    const wxString candidate = line.empty() ? word : line + " " + word;
    if (!line.empty() && dc.GetTextExtent(candidate).x > width) {
      out += line + "\n";
      line = word;
    } else {
      line = candidate;
    }
  }
  return out + line;
}

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
  if (!m_pSubDlg->m_hDib) {
    // No code for the text: the area says why, wrapped to its width.
    const wxRect area(rect.left + 8, rect.top + 8, rect.Width() - 16, rect.Height() - 16);
    dc.SetTextForeground(*wxBLACK);
    dc.SetFont(GetFont());
    dc.DrawLabel(Wrapped(ToWx(m_pSubDlg->m_strKeinCode), dc, area.width), area, wxALIGN_CENTER);
    return;
  }
  m_codeRect = GetCrispRect(GetDIBSize(m_pSubDlg->m_hDib), rect, kQuietZoneModules);
  StretchDIB(dc, m_pSubDlg->m_hDib, nullptr, m_codeRect.left, m_codeRect.top, m_codeRect.Width(), m_codeRect.Height());
}
