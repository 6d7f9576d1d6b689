// The printed code test page, rendered as a printer would get it: a page-sized bitmap at the
// printer's resolution, read back with an independent reader.
#include "CodeReaders.h"
#include "TestPictures.h"
#include "UiTesting.h"
#include "encode/QRCodeTestseite.h"

#include <gtest/gtest.h>
#include <wx/dcmemory.h>

#include <algorithm>
#include <cstdlib>

namespace {

struct Page {
  int ppi, width, height;
};
constexpr Page kA4At300{300, 2480, 3508}, kA4At600{600, 4960, 7016};
constexpr Page kLabel62x100At300{300, 732, 1181};

GrayImage Render(CEncoderItemBase& encoder, const Page& page, int finestDpi = 0) {
  wxBitmap bitmap(page.width, page.height, 24);
  wxMemoryDC dc(bitmap);
  dc.SetBackground(*wxWHITE_BRUSH);
  dc.Clear();
  CQRCodeTestseiteDruckenView view(encoder);
  view.m_nFeinsteAufloesung = finestDpi;
  view.SetDC(&dc);
  view.SetPPIPrinter(page.ppi, page.ppi);
  view.SetPPIScreen(96, 96);
  view.SetPageSizePixels(page.width, page.height);
  view.SetPaperRectPixels(wxRect(0, 0, page.width, page.height));
  view.OnPreparePrinting();
  view.OnBeginDocument(1, 1);
  EXPECT_TRUE(view.OnPrintPage(1));
  view.OnEndDocument();
  dc.SelectObject(wxNullBitmap);
  return ToGray(bitmap.ConvertToImage());
}

GrayImage Cut(const GrayImage& image, const wxRect& rect) {
  GrayImage part{rect.width, rect.height, {}};
  for (int y = rect.y; y < rect.GetBottom() + 1; ++y)
    part.pixels.insert(part.pixels.end(), image.pixels.begin() + y * image.width + rect.x,
                       image.pixels.begin() + y * image.width + rect.x + rect.width);
  return part;
}

// The smallest rectangle holding every dark pixel; empty when there is none.
wxRect DarkBounds(const GrayImage& image) {
  int left = image.width, top = image.height, right = -1, bottom = -1;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      if (image.at(x, y) < 128) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
  return right < 0 ? wxRect() : wxRect(left, top, right - left + 1, bottom - top + 1);
}

struct Band {
  wxRect left, right; // the two halves of the printable width
};

Band BandOf(const Page& page, int row) {
  const int margin = page.width / 10, height = (page.height - 2 * margin) / 6, half = (page.width - 2 * margin) / 2;
  const int top = margin + row * height;
  return {wxRect(margin, top, half, height), wxRect(margin + half, top, half, height)};
}

std::string Expected(int millimetres, const std::string& library) {
  return std::to_string(millimetres) + " mm\n" + library + "-Bibliothek";
}

// Each band holds its code on its side only, at no more than its nominal height, and it reads.
void ExpectSixCodes(const GrayImage& sheet, const Page& page, const std::string& library) {
  for (int row = 0; row < 6; ++row) {
    SCOPED_TRACE("row " + std::to_string(row));
    const int millimetres = 5 * (row + 1);
    const Band band = BandOf(page, row);
    const wxRect codeSide = row % 2 == 0 ? band.left : band.right;
    const wxRect otherSide = row % 2 == 0 ? band.right : band.left;
    EXPECT_TRUE(DarkBounds(Cut(sheet, otherSide)).IsEmpty());
    const wxRect code = DarkBounds(Cut(sheet, codeSide));
    const int nominal = page.ppi * millimetres * 10 / 254;
    EXPECT_EQ(code.y, 0); // at the band's top
    EXPECT_LE(code.height, nominal);
    EXPECT_GT(code.height, nominal * 8 / 10); // rounded down to whole modules, not shrunk
    EXPECT_EQ(row % 2 == 0 ? code.x : codeSide.width - code.GetRight() - 1, 0); // flush with its margin
    const auto read = ReadWithZXing(WithQuietZone(Cut(sheet, codeSide), 40));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].text, Expected(millimetres, library));
  }
}

} // namespace

TEST(CodeTestPageTest, SixCodesAlternateSidesAndReadAtThreeAndSixHundredDpi) {
  CEncoderGetCodeItem_ZInt zint;
  for (const Page& page : {kA4At300, kA4At600}) {
    SCOPED_TRACE(page.ppi);
    const GrayImage sheet = Render(zint, page);
    ExpectSixCodes(sheet, page, "ZInt");
    // The 5 mm code at 600 dpi asks for 118 pixels.
    if (page.ppi == 600) {
      EXPECT_LE(DarkBounds(Cut(sheet, BandOf(page, 0).left)).height, 118);
    }
  }
  if (const char* folder = std::getenv("CODEWERK_SCREENSHOTS"))
    SavePng(Render(zint, {150, 1240, 1754}), std::string(folder) + "/code-test-page-150dpi.png");
}

TEST(CodeTestPageTest, TheCaptionIsPrinterSizedAndCentredInTheTopMargin) {
  CEncoderGetCodeItem_QREncode qrencode;
  for (const Page& page : {kA4At300, kA4At600}) {
    SCOPED_TRACE(page.ppi);
    const GrayImage sheet = Render(qrencode, page);
    const int margin = page.width / 10;
    const wxRect caption = DarkBounds(Cut(sheet, wxRect(0, 0, page.width, margin)));
    ASSERT_FALSE(caption.IsEmpty());
    // Text of a few millimetres on paper, whatever the resolution (not 96-dpi-sized and tiny).
    EXPECT_GT(caption.height, page.ppi * 3 / 25);
    EXPECT_LT(caption.height, margin / 2 + 1);
    EXPECT_NEAR(caption.x + caption.width / 2, page.width / 2, page.ppi / 50);
    if (page.ppi == 300) ExpectSixCodes(sheet, page, "QREncode");
  }
}

TEST(CodeTestPageTest, AShortLabelPageLeavesTheLargeRowsEmpty) {
  CEncoderGetCodeItem_ZInt zint;
  const GrayImage sheet = Render(zint, kLabel62x100At300);
  for (int row = 0; row < 6; ++row) {
    SCOPED_TRACE(row);
    const Band band = BandOf(kLabel62x100At300, row);
    const wxRect code = DarkBounds(Cut(sheet, row % 2 == 0 ? band.left : band.right));
    // Bands are 172 px high: 5 and 10 mm (59 and 118 px) fit, 15 mm (177 px) and more do not.
    EXPECT_EQ(code.IsEmpty(), row >= 2);
  }
  const auto read = ReadWithZXing(WithQuietZone(Cut(sheet, BandOf(kLabel62x100At300, 1).right), 40));
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].text, Expected(10, "ZInt"));
}

TEST(CodeTestPageTest, ACoarseDeviceGetsCodesOfTheirNominalSizeFromAFinerLayout) {
  CEncoderGetCodeItem_ZInt zint;
  const GrayImage sheet = Render(zint, kA4At300, 1200);
  const double pixelsPerMillimetre = kA4At300.ppi / 25.4;
  for (int row = 0; row < 6; ++row) {
    SCOPED_TRACE(row);
    const Band band = BandOf(kA4At300, row);
    const GrayImage side = Cut(sheet, row % 2 == 0 ? band.left : band.right);
    const wxRect code = DarkBounds(side);
    // At 300 dpi in whole pixels per module the 10 mm code would be 8.5 mm.
    EXPECT_NEAR(code.height / pixelsPerMillimetre, 5.0 * (row + 1), 0.5);
    const auto read = ReadWithZXing(WithQuietZone(side, 40));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].text, Expected(5 * (row + 1), "ZInt"));
  }
}
