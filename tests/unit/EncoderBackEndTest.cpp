// The encoder back-end modules against their raw libraries, and the items' own rules.
#include "CodeReaders.h"
#include "encode/CalcAusdehnung.h"
#include "encode/EncodedBitmap.h"
#include "encode/EncoderGetCodeItem_QREncode.h"
#include "encode/EncoderGetCodeItem_ZInt.h"
#include "outside/CodePage.h"
#include "outside/GlobalMemory.h"
#include "outside/tq_qrencode.h"
#include "outside/tq_zint.h"

#include <gtest/gtest.h>
#include <qrencode.h>
#include <zint.h>

#include <memory>
#include <string>

namespace {

const char* const kSamples[] = {"hello", "https://www.example.org/path?q=1", "12345678901234567890",
                                "MiXeD case Text with 0123 and symbols $%*+-./:"};

// What ZBar reads from a code handle, drawn at four pixels per module with a quiet zone.
std::string ReadHandle(CEncoderItemBase& item, void* code) {
  GrayImage image;
  image.width = item.GetCodeWidth(code);
  image.height = item.GetCodeHeight(code);
  for (int row = 0; row < image.height; ++row)
    for (int column = 0; column < image.width; ++column)
      image.pixels.push_back(item.IsCodeBitSet(code, row, column) ? 0 : 255);
  item.DoneCode(code);
  const auto codes = ReadWithZBar(WithQuietZone(image, 4, 4));
  return codes.size() == 1 ? codes[0].text : "<read " + std::to_string(codes.size()) + " codes>";
}

// What ZBar reads from a text encoded through an item and GetEncodedBitmap.
std::string ReadBack(CEncoderItemBase& item, const CString& text) {
  CSubDlgEncodeBaseCalcAusdehnungFest calc(4, 4);
  HGLOBAL dib = GetEncodedBitmap(text, item, calc, 0, 0xFFFFFF);
  if (!dib) return "<no code>";
  const auto codes = ReadWithZBar(WithQuietZone(GrayFromDib(dib), 16));
  GlobalFree(dib);
  return codes.size() == 1 ? codes[0].text : "<read " + std::to_string(codes.size()) + " codes>";
}

struct AnsiCodePage {
  explicit AnsiCodePage(const char* name) { SetAnsiCodeSetName(name); }
  ~AnsiCodePage() { SetAnsiCodeSetName(nullptr); }
};

} // namespace

TEST(QREncodeModuleTest, ModulesMatchLibqrencodeForAsciiTexts) {
  for (const char* text : kSamples) {
    std::unique_ptr<QRcode, decltype(&QRcode_free)> raw(QRcode_encodeString(text, 0, QR_ECLEVEL_L, QR_MODE_8, 1), QRcode_free);
    ASSERT_TRUE(raw);
    void* code = QREncode_GetCode(text, 0);
    ASSERT_NE(code, nullptr) << text;
    ASSERT_EQ(QREncode_GetCodeWidth(code), raw->width);
    ASSERT_EQ(QREncode_GetCodeHeight(code), raw->width);
    for (int row = 0; row < raw->width; ++row)
      for (int column = 0; column < raw->width; ++column)
        ASSERT_EQ(QREncode_IsCodeBitSet(code, row, column), raw->data[row * raw->width + column] & 1)
            << text << " at row " << row << ", column " << column;
    EXPECT_EQ(QREncode_IsCodeBitSet(code, raw->width, 0), 0);
    EXPECT_EQ(QREncode_IsCodeBitSet(code, 0, -1), 0);
    QREncode_DoneCode(code);
  }
}

TEST(ZIntModuleTest, ModulesMatchZintsOwnRaster) {
  for (const char* text : kSamples) {
    zint_symbol* raster = ZBarcode_Create();
    raster->symbology = BARCODE_QRCODE;
    raster->input_mode = UNICODE_MODE;
    raster->option_1 = 1;
    raster->scale = 0.5f; // one pixel per module
    ASSERT_LT(ZBarcode_Encode_and_Buffer(raster, reinterpret_cast<const unsigned char*>(text), 0, 0), ZINT_ERROR);
    void* code = ZInt_GetCode(text, 1, 58, 1, 0);
    ASSERT_NE(code, nullptr) << text;
    ASSERT_EQ(ZInt_GetCodeWidth(code), raster->bitmap_width);
    ASSERT_EQ(ZInt_GetCodeHeight(code), raster->bitmap_height);
    for (int row = 0; row < raster->bitmap_height; ++row)
      for (int column = 0; column < raster->bitmap_width; ++column) {
        const bool rasterDark = raster->bitmap[3 * (row * raster->bitmap_width + column)] == 0;
        ASSERT_EQ(ZInt_IsCodeBitSet(code, row, column) != 0, rasterDark) << text << " at " << row << "," << column;
      }
    ZInt_DoneCode(code);
    ZBarcode_Delete(raster);
  }
}

TEST(EncoderBackEndTest, RefusalsGiveNullHandles) {
  EXPECT_EQ(QREncode_GetCode("", 0), nullptr);
  EXPECT_EQ(QREncode_GetCode(nullptr, 0), nullptr);
  EXPECT_EQ(QREncode_GetCode("x", 7), nullptr); // no such error-correction level
  EXPECT_EQ(ZInt_GetCode("", 1, 58, 1, 0), nullptr);
  EXPECT_EQ(ZInt_GetCode(nullptr, 1, 58, 1, 0), nullptr);
  EXPECT_EQ(ZInt_GetCode("\xFF\xFE", 1, 58, 1, 0), nullptr); // not UTF-8 where UTF-8 was promised
  EXPECT_EQ(ZInt_GetCode(std::string(40, 'x').c_str(), 1, 58, 1, 1), nullptr); // version 1 too small
}

TEST(EncoderItemTest, NamesLevelsAndTestTexts) {
  CEncoderGetCodeItem_QREncode qr;
  CEncoderGetCodeItem_ZInt zint;
  EXPECT_EQ(qr.m_nLevel, 0);
  EXPECT_EQ(zint.m_nLevel, 1);
  EXPECT_EQ(qr.GetNameBibliothek(), "QREncode");
  EXPECT_EQ(zint.GetNameBibliothek(), "ZInt");
  EXPECT_EQ(zint.GetTestText(20), "20 mm\nZInt-Bibliothek");
  EXPECT_EQ(qr.GetTestText(0), "0 mm\nQREncode-Bibliothek");
  EXPECT_EQ(qr.GetTestText(-5), "-5 mm\nQREncode-Bibliothek");
  CEncoderGetCodeItem_ZInt copy = zint;
  EXPECT_EQ(copy.m_nLevel, 1);
}

TEST(EncoderItemTest, Utf8TextReachesTheZIntBackEndConvertedOnce) {
  const char* const grusse = "Gr\xC3\xBC\xC3\x9F" "e";
  for (const char* codePage : {"UTF-8", "CP1252"}) {
    AnsiCodePage cp(codePage);
    CEncoderGetCodeItem_ZInt zint;
    EXPECT_EQ(ReadHandle(zint, zint.GetCodeItem(grusse)), grusse) << "ANSI code page " << codePage;
  }
}

TEST(EncoderItemTest, ZIntItemConvertsAnsiBytesHandedToItDirectly) {
  AnsiCodePage cp("CP1252");
  CEncoderGetCodeItem_ZInt zint;
  EXPECT_EQ(ReadHandle(zint, zint.GetCodeItem("\xE4\x80")), "\xC3\xA4\xE2\x82\xAC"); // "ä€" from 1252 bytes
}

TEST(EncoderItemTest, AnsiTextReachesBothBackEndsAsUtf8ThroughGetEncodedBitmap) {
  AnsiCodePage cp("CP1252");
  CEncoderGetCodeItem_ZInt zint;
  CEncoderGetCodeItem_QREncode qr;
  EXPECT_EQ(ReadBack(zint, "\xE4"), "\xC3\xA4");
  EXPECT_EQ(ReadBack(qr, "\xE4"), "\xC3\xA4");
}
