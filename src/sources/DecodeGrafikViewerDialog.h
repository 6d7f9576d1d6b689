// A picture of a read in the image viewer, with its codes outlined wherever the viewer draws it.
#pragma once

#include "CodewerkExport.h"
#include "decode/DTemplateArray.h"
#include "decode/DecodeResultArray.h"
#include "outside/ImageViewer.h"

struct CODEWERK_EXPORT CDecodeGrafikViewerDialogItem {
  HGLOBAL m_hDib;                  // not owned: the viewer owns the page
  CDecodeResultArray m_arResults;  // a copy
};

class CODEWERK_EXPORT CDecodeGrafikViewerDialog : public CTQScanViewerDialog {
public:
  explicit CDecodeGrafikViewerDialog(wxWindow* parent);
  BOOL OnInitDialog() override;
  void DrawResultOutlines(wxDC& dc, HGLOBAL dib, const CRect& drawn);

  CDTemplateArray<CDecodeGrafikViewerDialogItem> m_arItems{1};
};
