// One picture of a read with the results found in it.
#pragma once

#include "CodewerkExport.h"
#include "decode/DecodeResultArray.h"
#include "outside/Grafik.h"

class CODEWERK_EXPORT CDecodeGrafikResult {
public:
  // Takes the graphic over; keeps a copy of the results.
  CDecodeGrafikResult(CGrafik* graphic, const CDecodeResultArray& results);
  ~CDecodeGrafikResult();
  CDecodeGrafikResult(const CDecodeGrafikResult&) = delete;
  CDecodeGrafikResult& operator=(const CDecodeGrafikResult&) = delete;

  CDecodeResultArray m_arResults;
  CGrafik* m_pGrafik;
  CRect m_rectDrawn; // where the picture was last drawn in the preview; empty before
  CString m_strDatei; // the user's file it came from, if any (not our temporary copies)
};

// Draws a result's corner points, closed, over a picture of imageSize drawn into drawn.
CODEWERK_EXPORT void DrawResultOutline(wxDC& dc, CSize imageSize, const CRect& drawn, const CSubDlgDecodeResult& result);
