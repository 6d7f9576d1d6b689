#include "encode/QRCodeTestseite.h"

#include "encode/EncodedBitmap.h"
#include "outside/DibDrawing.h"
#include "outside/DibServices.h"
#include "outside/GlobalMemory.h"
#include "outside/MessageBox.h"
#include "outside/PopupMenu.h"
#include "outside/WxText.h"

#include <wx/app.h>
#include <wx/dc.h>
#include <wx/menu.h>

namespace {

constexpr int kFirstCommand = 1000;
constexpr double kMillimetresPerInch = 25.4;
constexpr double kCaptionMillimetres = 6.0;
constexpr int kTestPageDpi = 1200;

// Device fonts differ in how they map points to pixels (a printer scales, a memory bitmap does
// not); measuring once and rescaling gives the same physical size on every context.
wxFont CaptionFont(wxDC& dc, const wxString& text, int wishedHeight) {
  wxFont font(wxFontInfo(12).Family(wxFONTFAMILY_SWISS).Bold());
  dc.SetFont(font);
  const int measured = dc.GetTextExtent(text).GetHeight();
  if (measured > 0 && wishedHeight > 0) font.SetFractionalPointSize(12.0 * wishedHeight / measured);
  return font;
}

} // namespace

CQRCodeTestseiteDruckenView::CQRCodeTestseiteDruckenView(CEncoderItemBase& encoder)
    : wxPrintout("Code-Testseite"), m_pEncoder(&encoder) {}

void CQRCodeTestseiteDruckenView::GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) {
  *minPage = *maxPage = *pageFrom = *pageTo = 1;
}

bool CQRCodeTestseiteDruckenView::OnPrintPage(int page) {
  wxDC* dc = GetDC();
  if (page != 1 || !dc) return false;
  OnDraw(*dc);
  return true;
}

void CQRCodeTestseiteDruckenView::OnDraw(wxDC& dc) {
  int width = 0, height = 0, ppiY = 0;
  GetPageSizePixels(&width, &height);
  GetPPIPrinter(&m_nLogPixelsX, &ppiY);
  if (m_nLogPixelsX > 0 && m_nFeinsteAufloesung > m_nLogPixelsX) {
    const double scale = static_cast<double>(m_nLogPixelsX) / m_nFeinsteAufloesung;
    dc.SetUserScale(scale, scale);
    width = static_cast<int>(width / scale);
    height = static_cast<int>(height / scale);
    m_nLogPixelsX = m_nFeinsteAufloesung;
  }
  const int margin = width / 10; // the same margin on all sides, taken from the width
  const wxRect printable(margin, margin, width - 2 * margin, height - 2 * margin);
  DrawCaption(dc, wxRect(printable.GetLeft(), 0, printable.GetWidth(), margin));

  const int rowHeight = printable.GetHeight() / static_cast<int>(m_arrGroessen.size());
  for (size_t row = 0; row < m_arrGroessen.size(); ++row) DrawCode(dc, static_cast<int>(row), printable, rowHeight);
}

void CQRCodeTestseiteDruckenView::DrawCaption(wxDC& dc, const wxRect& band) const {
  const wxString caption = ToWx(m_pEncoder->GetNameBibliothek());
  const int wished = std::min(static_cast<int>(m_nLogPixelsX * kCaptionMillimetres / kMillimetresPerInch), band.GetHeight() / 2);
  dc.SetFont(CaptionFont(dc, caption, wished));
  dc.SetTextForeground(*wxBLACK);
  dc.DrawLabel(caption, band, wxALIGN_CENTER);
}

void CQRCodeTestseiteDruckenView::DrawCode(wxDC& dc, int row, const wxRect& printable, int rowHeight) {
  const int millimetres = m_arrGroessen[static_cast<size_t>(row)];
  const int pixels = static_cast<int>(static_cast<double>(m_nLogPixelsX * millimetres) / kMillimetresPerInch);
  if (pixels >= rowHeight) return; // would reach into the next band
  CSubDlgEncodeBaseCalcAusdehnungFesteHoehe calc(pixels);
  HGLOBAL dib = GetEncodedBitmap(m_pEncoder->GetTestText(millimetres), *m_pEncoder, calc, 0x000000, 0xFFFFFF);
  if (!dib) return;
  const CSize size = GetDIBSize(dib);
  if (size.cx <= printable.GetWidth()) {
    const int x = row % 2 == 0 ? printable.GetLeft() : printable.GetRight() + 1 - size.cx;
    DrawDIB(dc, dib, nullptr, x, printable.GetTop() + row * rowHeight);
  }
  GlobalFree(dib);
}

CSubDlgEncodeBase* ChooseTestPageEncoder(wxWindow* page, CDTemplateArray<CSubDlgEncodeBase>& list) {
  wxMenu menu;
  for (int i = 0; i < list.GetSize(); ++i) {
    if (list[i])
      menu.Append(kFirstCommand + i, ToWx(list[i]->GetEncoder().GetNameBibliothek()));
    else
      menu.AppendSeparator();
  }
  const wxSize client = page->GetClientSize();
  const wxPoint centre = page->ClientToScreen(wxPoint(client.x / 2, client.y / 2));
  wxWindow* owner = wxTheApp && wxTheApp->GetTopWindow() ? wxTheApp->GetTopWindow() : page;
  const int chosen = static_cast<int>(MFCNextBaseTrackPopupMenu_NoInitMenuPopup(menu, centre.x, centre.y, owner, 0)) - kFirstCommand;
  return chosen >= 0 && chosen < list.GetSize() ? list[chosen] : nullptr;
}

void PrintCodeTestPage(wxWindow* page) {
  CDTemplateArray<CSubDlgEncodeBase> offered;
  offered.Add(new CSubDlgEncode_ZInt);
  offered.Add(nullptr);
  offered.Add(new CSubDlgEncode_QREncode);
  CSubDlgEncodeBase* chosen = ChooseTestPageEncoder(page, offered);
  if (!chosen) return;

  CQRCodeTestseiteDruckenView view(chosen->GetEncoder());
  // GTK hands out 300 dpi contexts; its output is vector, so laying out finer costs nothing and
  // keeps the whole-module rounding below half a millimetre (at 300 dpi 10 mm became 8.5 mm).
  view.m_nFeinsteAufloesung = kTestPageDpi;
  wxPrintDialogData data;
  data.SetMinPage(1);
  data.SetMaxPage(1);
  data.SetFromPage(1);
  data.SetToPage(1);
  wxPrinter printer(&data);
  if (!printer.Print(page, &view, true) && wxPrinter::GetLastError() == wxPRINTER_ERROR)
    AfxMessageBox("Die Code-Testseite konnte nicht gedruckt werden.", MB_OK | MB_ICONERROR);
}
