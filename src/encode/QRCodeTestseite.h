// The code test page: six codes of one back end at 5 to 30 mm, printed on one sheet, so the user
// can find the smallest printed size their scanner or webcam still reads.
#pragma once

#include "CodewerkExport.h"
#include "decode/DTemplateArray.h"
#include "encode/SubDlgEncode.h"

#include <wx/print.h>

#include <vector>

class wxDC;
class wxWindow;

class CODEWERK_EXPORT CQRCodeTestseiteDruckenView : public wxPrintout {
public:
  explicit CQRCodeTestseiteDruckenView(CEncoderItemBase& encoder);

  // Draws the page on a printer context of GetPageSizePixels() at GetPPIPrinter().
  void OnDraw(wxDC& dc);

  bool OnPrintPage(int page) override;
  bool HasPage(int page) override { return page == 1; }
  void GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) override;

  std::vector<int> m_arrGroessen{5, 10, 15, 20, 25, 30}; // nominal sizes in millimetres
  int m_nLogPixelsX = 0;        // the resolution the page is laid out in
  int m_nFeinsteAufloesung = 0; // a coarser device is drawn on at this resolution, scaled down
  CEncoderItemBase* m_pEncoder; // borrowed

private:
  void DrawCaption(wxDC& dc, const wxRect& band) const;
  void DrawCode(wxDC& dc, int row, const wxRect& printable, int rowHeight);
};

// The pop-up menu of the offered back ends at the centre of the page; null when none was chosen.
CODEWERK_EXPORT CSubDlgEncodeBase* ChooseTestPageEncoder(wxWindow* page, CDTemplateArray<CSubDlgEncodeBase>& list);

// The whole operation: choose the back end, then the print dialog for exactly one page.
CODEWERK_EXPORT void PrintCodeTestPage(wxWindow* page);
