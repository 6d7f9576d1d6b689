// The printed code test page, rendered as a printer would get it: a page-sized bitmap at the
// printer's resolution, read back with an independent reader.
#include "UiTesting.h"
#include "encode/QRCodeTestseite.h"

#include <wx/dcmemory.h>

#include <algorithm>

namespace {

struct Page { int ppi, width, height; };
constexpr Page kA4At300{300, 2480, 3508}, kA4At600{600, 4960, 7016};

GrayImage Cut(const GrayImage& image, const wxRect& rect) {
  GrayImage part{rect.width, rect.height, {}};
  for (int y = rect.y; y < rect.GetBottom() + 1; ++y) {
    const auto row = image.pixels.begin() + y * image.width + rect.x;
    part.pixels.insert(part.pixels.end(), row, row + rect.width);
  }
  return part;
}

// The smallest rectangle holding every dark pixel; empty when there is none.
wxRect DarkBounds(const GrayImage& image) {
  int left = image.width, top = image.height, right = -1, bottom = -1;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      if (image.at(x, y) < 128) left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
  return right < 0 ? wxRect() : wxRect(left, top, right - left + 1, bottom - top + 1);
}

// Row's band of the printable area: the half its code is on (left for even rows), or the other.
wxRect Band(const Page& page, int row, bool codeSide = true) {
  const int margin = page.width / 10, height = (page.height - 2 * margin) / 6, half = (page.width - 2 * margin) / 2;
  return wxRect(margin + ((row % 2 == 0) == codeSide ? 0 : half), margin + row * height, half, height);
}

} // namespace

// Each band holds its code on its side only, at no more than its nominal height, and it reads; the
// caption is printer-sized and centred in the top margin. A coarse device gets codes of their
// nominal size from a finer layout (at 300 dpi in whole pixels per module the 10 mm code would be 8.5 mm).
TEST(CodeTestPageTest, SixCodesAlternateSidesAndReadAtThreeAndSixHundredDpiUnderAPrinterSizedCaption) {
  CEncoderGetCodeItem_ZInt zint;
  CEncoderGetCodeItem_QREncode qrencode;
  const std::tuple<CEncoderItemBase*, std::string, Page, int> sheets[] = {{&zint, "ZInt", kA4At300, 0}, {&zint, "ZInt", kA4At600, 0},
      {&qrencode, "QREncode", kA4At300, 0}, {&qrencode, "QREncode", kA4At600, 0}, {&zint, "ZInt", kA4At300, 1200}};
  for (const auto& [encoder, library, page, finest] : sheets) {
    SCOPED_TRACE(library + " " + std::to_string(page.ppi) + " " + std::to_string(finest));
    wxBitmap bitmap(page.width, page.height, 24);
    {
      wxMemoryDC dc(bitmap);
      dc.SetBackground(*wxWHITE_BRUSH), dc.Clear();
      CQRCodeTestseiteDruckenView view(*encoder);
      view.m_nFeinsteAufloesung = finest;
      view.SetDC(&dc), view.SetPPIPrinter(page.ppi, page.ppi), view.SetPPIScreen(96, 96);
      view.SetPageSizePixels(page.width, page.height), view.SetPaperRectPixels(wxRect(0, 0, page.width, page.height));
      view.OnPreparePrinting(), view.OnBeginDocument(1, 1);
      EXPECT_TRUE(view.OnPrintPage(1));
      view.OnEndDocument();
    }
    const GrayImage sheet = ToGray(bitmap.ConvertToImage());
    const int margin = page.width / 10;
    const wxRect caption = DarkBounds(Cut(sheet, wxRect(0, 0, page.width, margin)));
    ASSERT_FALSE(caption.IsEmpty());
    // Text of a few millimetres on paper, whatever the resolution (not 96-dpi-sized and tiny).
    EXPECT_GT(caption.height, page.ppi * 3 / 25);
    EXPECT_LT(caption.height, margin / 2 + 1);
    EXPECT_NEAR(caption.x + caption.width / 2, page.width / 2, page.ppi / 50);
    if (library == "QREncode" && page.ppi == 600) continue;
    for (int row = 0; row < 6; ++row) {
      SCOPED_TRACE("row " + std::to_string(row));
      const int millimetres = 5 * (row + 1), nominal = page.ppi * millimetres * 10 / 254;
      EXPECT_TRUE(DarkBounds(Cut(sheet, Band(page, row, false))).IsEmpty());
      const GrayImage band = Cut(sheet, Band(page, row));
      const wxRect code = DarkBounds(band);
      EXPECT_EQ(code.y, 0); // at the band's top
      EXPECT_LE(code.height, row == 0 && page.ppi == 600 ? 118 : nominal); // 5 mm at 600 dpi ask for 118 pixels
      EXPECT_GT(code.height, finest ? nominal - page.ppi / 50 : nominal * 8 / 10); // rounded down to whole modules, not shrunk
      EXPECT_EQ(row % 2 == 0 ? code.x : Band(page, row).width - code.GetRight() - 1, 0); // flush with its margin
      EXPECT_EQ(TheCode(ReadWithZXing(WithQuietZone(band, 40))),
                std::to_string(millimetres) + " mm\n" + library + "-Bibliothek");
    }
  }
}
