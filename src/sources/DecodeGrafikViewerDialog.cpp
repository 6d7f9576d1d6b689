#include "sources/DecodeGrafikViewerDialog.h"

#include "outside/DibServices.h"
#include "sources/DecodeGrafikResult.h"

CDecodeGrafikViewerDialog::CDecodeGrafikViewerDialog(wxWindow* parent) : CTQScanViewerDialog(parent) {}

BOOL CDecodeGrafikViewerDialog::OnInitDialog() {
  const BOOL made = CTQScanViewerDialog::OnInitDialog();
  if (CImageViewerWnd* viewer = GetImageViewerWnd())
    viewer->AddPostDrawAction([this](wxDC& dc, HGLOBAL dib, const CRect& drawn) { DrawResultOutlines(dc, dib, drawn); });
  return made;
}

void CDecodeGrafikViewerDialog::DrawResultOutlines(wxDC& dc, HGLOBAL dib, const CRect& drawn) {
  m_arItems.ForEach([&](CDecodeGrafikViewerDialogItem* item) {
    if (item->m_hDib != dib) return;
    const CSize size = GetDIBSize(dib);
    item->m_arResults.ForEach([&](CSubDlgDecodeResult* result) { DrawResultOutline(dc, size, drawn, *result); });
  });
}
