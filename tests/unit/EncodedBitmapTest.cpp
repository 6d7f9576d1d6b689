// GetEncodedBitmap: the bitmap's exact layout, the calculators, and every failure path.
#include "encode/CalcAusdehnung.h"
#include "encode/EncodedBitmap.h"
#include "encode/EncoderGetCodeItem_QREncode.h"
#include "outside/DibServices.h"
#include "outside/GlobalMemory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A code whose modules the test chooses; it records how it is used.
class PatternEncoder : public CEncoderItemBase {
public:
  explicit PatternEncoder(std::vector<std::string> rows) : m_rows(std::move(rows)) {}

  CString GetNameBibliothek() override { return "Pattern"; }
  void* GetCodeItem(const CString& text) override {
    ++made;
    lastText = text.str();
    return refuse ? nullptr : this;
  }
  int GetCodeWidth(void*) override { return widthOverride >= 0 ? widthOverride : static_cast<int>(m_rows[0].size()); }
  int GetCodeHeight(void*) override { return static_cast<int>(m_rows.size()); }
  bool IsCodeBitSet(void*, int row, int column) override {
    ++asked;
    maxRowAsked = std::max(maxRowAsked, row);
    return m_rows[static_cast<size_t>(row)][static_cast<size_t>(column)] == '#';
  }
  void DoneCode(void* code) override {
    EXPECT_EQ(code, this);
    ++done;
  }

  bool refuse = false;
  int widthOverride = -1;
  int made = 0, asked = 0, done = 0, maxRowAsked = -1;
  std::string lastText;

private:
  std::vector<std::string> m_rows;
};

struct Bitmap {
  explicit Bitmap(HGLOBAL h) : handle(h) {}
  ~Bitmap() { if (handle) GlobalFree(handle); }
  const BITMAPINFOHEADER& header() const { return *static_cast<const BITMAPINFOHEADER*>(GlobalLock(handle)); }
  const BYTE* pixels() const { return static_cast<const BYTE*>(GlobalLock(handle)) + 40; }
  HGLOBAL handle;
};

void* Render(CEncoderItemBase& encoder, CSubDlgEncodeBaseCalcAusdehnungBase& calc, const char* text = "x",
             DWORD dark = 0, DWORD light = 0xFFFFFF) {
  return GetEncodedBitmap(text, encoder, calc, dark, light);
}

} // namespace

TEST(EncodedBitmapTest, TwentyOneModulesAtOnePixelMakeTheDocumentedBlock) {
  CEncoderGetCodeItem_QREncode qr;
  CSubDlgEncodeBaseCalcAusdehnungFest calc(1, 1);
  Bitmap dib(GetEncodedBitmap("hello", qr, calc, 0, 0xFFFFFF));
  ASSERT_NE(dib.handle, nullptr);
  const BITMAPINFOHEADER& h = dib.header();
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 21);
  EXPECT_EQ(h.biHeight, 21);
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biBitCount, 24);
  EXPECT_EQ(h.biCompression, 0u);
  EXPECT_EQ(h.biSizeImage, 1344u); // stride 64 (63 rounded up) x 21 rows
  EXPECT_EQ(h.biXPelsPerMeter, 2835);
  EXPECT_EQ(h.biYPelsPerMeter, 2835);
  EXPECT_EQ(h.biClrUsed, 0u);
  EXPECT_EQ(h.biClrImportant, 0u);
  EXPECT_EQ(GlobalSize(dib.handle), 1384u);
  for (int row = 0; row < 21; ++row) EXPECT_EQ(dib.pixels()[row * 64 + 63], 0) << "padding of stored row " << row;
  EXPECT_EQ(GetDIBSize(dib.handle), CSize(21, 21));
}

TEST(EncodedBitmapTest, TopLeftModuleIsStoredInTheLastRowAndColoursAreBlueGreenRed) {
  PatternEncoder code({"#..", "...", "..."});
  CSubDlgEncodeBaseCalcAusdehnungFest calc(2, 1);
  Bitmap dib(Render(code, calc, "x", 0x0000FF /* red */, 0x00FF00 /* green */));
  ASSERT_NE(dib.handle, nullptr);
  const size_t stride = 20; // 6 pixels x 3 bytes, padded
  const BYTE* lastStored = dib.pixels() + 2 * stride;
  EXPECT_EQ(std::vector<BYTE>(lastStored, lastStored + 6), (std::vector<BYTE>{0, 0, 0xFF, 0, 0, 0xFF}));
  EXPECT_EQ(std::vector<BYTE>(lastStored + 6, lastStored + 9), (std::vector<BYTE>{0, 0xFF, 0}));
  EXPECT_EQ(std::vector<BYTE>(dib.pixels(), dib.pixels() + 3), (std::vector<BYTE>{0, 0xFF, 0})); // bottom-left light
  EXPECT_EQ(lastStored[18], 0);
  EXPECT_EQ(lastStored[19], 0);
}

TEST(EncodedBitmapTest, OneRowSymbolIsStretchedToTenIdenticalRowsAskingOnlyRowZero) {
  std::string row;
  for (int i = 0; i < 80; ++i) row += (i % 3 == 0) ? '#' : '.';
  PatternEncoder code({row});
  CSubDlgEncodeBaseCalcAusdehnungFest calc(1, 1);
  Bitmap dib(Render(code, calc));
  ASSERT_NE(dib.handle, nullptr);
  EXPECT_EQ(GetDIBSize(dib.handle), CSize(80, 10));
  EXPECT_EQ(code.maxRowAsked, 0);
  const size_t stride = 240;
  for (int r = 1; r < 10; ++r) EXPECT_EQ(std::memcmp(dib.pixels(), dib.pixels() + r * stride, stride), 0) << r;
  EXPECT_EQ(dib.pixels()[0], 0);    // column 0 dark
  EXPECT_EQ(dib.pixels()[3], 0xFF); // column 1 light
}

TEST(EncodedBitmapTest, FixedHeightGivesSquareModulesRoundedDown) {
  PatternEncoder v2(std::vector<std::string>(25, std::string(25, '#')));
  CSubDlgEncodeBaseCalcAusdehnungFesteHoehe height(100);
  Bitmap a(Render(v2, height));
  EXPECT_EQ(height.m_cxModul, 4);
  EXPECT_EQ(height.m_cyModul, 4);
  EXPECT_EQ(GetDIBSize(a.handle), CSize(100, 100));

  // The same calculator used again reports the second code's module size.
  PatternEncoder v4(std::vector<std::string>(33, std::string(33, '#')));
  Bitmap b(Render(v4, height));
  EXPECT_EQ(height.m_cxModul, 3);
  EXPECT_EQ(GetDIBSize(b.handle), CSize(99, 99));
}

TEST(EncodedBitmapTest, FixedSizeBelowTheModuleCountGivesAHeaderOnlyBlock) {
  PatternEncoder v10(std::vector<std::string>(57, std::string(57, '.')));
  CSubDlgEncodeBaseCalcAusdehnungFesteGroesse size(CSize(50, 50));
  Bitmap dib(Render(v10, size));
  ASSERT_NE(dib.handle, nullptr);
  EXPECT_EQ(GlobalSize(dib.handle), 40u);
  EXPECT_EQ(dib.header().biWidth, 0);
  EXPECT_EQ(dib.header().biHeight, 0);
  EXPECT_EQ(dib.header().biSizeImage, 0u);
  EXPECT_EQ(v10.done, 1);

  CSubDlgEncodeBaseCalcAusdehnungFesteGroesse wide(CSize(200, 120));
  Bitmap dib2(Render(v10, wide));
  EXPECT_EQ(wide.m_cxModul, 3);
  EXPECT_EQ(wide.m_cyModul, 2);
  EXPECT_EQ(GetDIBSize(dib2.handle), CSize(171, 114));
}

TEST(EncodedBitmapTest, EveryHandleIsReleasedOnceAndRefusalsAllocateNothing) {
  PatternEncoder code({"#.", ".#"});
  code.refuse = true;
  CSubDlgEncodeBaseCalcAusdehnungFest one(1, 1);
  EXPECT_EQ(Render(code, one), nullptr);
  EXPECT_EQ(code.done, 0); // a null handle is never passed back

  code.refuse = false;
  CSubDlgEncodeBaseCalcAusdehnungFest absurd(100000, 100000);
  EXPECT_EQ(Render(code, absurd), nullptr);
  EXPECT_EQ(code.done, 1);

  // 2^31 pixels wide does not fit the header's signed width.
  CSubDlgEncodeBaseCalcAusdehnungFest tooWide(1 << 30, 1);
  EXPECT_EQ(Render(code, tooWide), nullptr);
  EXPECT_EQ(code.done, 2);

  // A block just over 4 GiB would wrap to a small one in 32-bit arithmetic.
  CSubDlgEncodeBaseCalcAusdehnungFest wrapping(0x10000, 0x8000);
  EXPECT_EQ(Render(code, wrapping), nullptr);
  EXPECT_EQ(code.done, 3);

  CSubDlgEncodeBaseCalcAusdehnungFest negative(-1, 1);
  EXPECT_EQ(Render(code, negative), nullptr);
  EXPECT_EQ(code.done, 4);

  code.widthOverride = 0; // a back end claiming an empty code
  EXPECT_EQ(Render(code, one), nullptr);
  EXPECT_EQ(code.done, 5);
  EXPECT_EQ(code.made, 6);
}

TEST(EncodedBitmapTest, TextReachesTheEncoderAsUtf8) {
  PatternEncoder code({"#"});
  CSubDlgEncodeBaseCalcAusdehnungFest one(1, 1);
  Bitmap dib(Render(code, one, "Gr\xC3\xBC\xC3\x9F" "e"));
  EXPECT_EQ(code.lastText, "Gr\xC3\xBC\xC3\x9F" "e");
}
