#include "sources/DecodeGrafikResult.h"

#include <wx/dc.h>

#include <cmath>

CDecodeGrafikResult::CDecodeGrafikResult(CGrafik* graphic, const CDecodeResultArray& results)
    : m_arResults(results), m_pGrafik(graphic) {}

CDecodeGrafikResult::~CDecodeGrafikResult() { delete m_pGrafik; }

namespace {

int MulDiv(long long a, long long b, long long c) { return static_cast<int>(std::llround(static_cast<double>(a) * b / c)); }

} // namespace

void DrawResultOutline(wxDC& dc, CSize imageSize, const CRect& drawn, const CSubDlgDecodeResult& result) {
  const int n = result.m_arPoints.GetSize();
  if (n < 2 || drawn.Width() == 0 || drawn.Height() == 0 || imageSize.cx == 0 || imageSize.cy == 0) return;
  auto map = [&](const POINT& p) {
    return wxPoint(drawn.left + MulDiv(p.x, drawn.Width(), imageSize.cx), drawn.top + MulDiv(p.y, drawn.Height(), imageSize.cy));
  };
  const wxPen previous = dc.GetPen();
  dc.SetPen(wxPen(wxColour(0, 255, 0), 1));
  for (int i = 0; i < n; ++i) dc.DrawLine(map(result.m_arPoints[i == 0 ? n - 1 : i - 1]), map(result.m_arPoints[i]));
  dc.SetPen(previous);
}
