// Both decoder back-end modules on real picture files: texts, corners, formats, degraded pictures,
// character sets, and no codes where there are none.
#include "CodeReaders.h"
#include "Enhance.h"
#include "LinearChecks.h"
#include "decode/CodeReader.h"
#include "TestPictures.h"
#include "outside/CodePage.h"
#include "outside/tq_zbar.h"
#include "outside/tq_zxing.h"

#include <gtest/gtest.h>
#include <qrencode.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kUrl = "https://www.example.org/q?id=12345";

struct Read {
  std::string text, symbology;
  std::vector<POINT> corners;
};

// One back end's six functions, so every test runs against both.
struct BackEnd {
  const char* name;
  void* (*decode)(const char*, bool);
  int (*count)(void*);
  int (*text)(void*, int, char*, int);
  int (*symbol)(void*, int, char*, int);
  int (*points)(void*, int, POINT*, int);
  void (*release)(void*);

  std::vector<Read> ReadFile(const std::string& path, bool onlyQR = true) const {
    std::vector<Read> reads;
    void* handle = decode(path.c_str(), onlyQR);
    for (int i = 0; i < count(handle); ++i) {
      char t[4000], s[100];
      POINT p[4];
      text(handle, i, t, sizeof t);
      symbol(handle, i, s, sizeof s);
      reads.push_back({t, s, std::vector<POINT>(p, p + points(handle, i, p, 4))});
    }
    release(handle);
    return reads;
  }
};

const BackEnd kZBar{"ZBar", ZBar_DecodeImage, ZBar_GetDecodeResultCount, ZBar_GetDecodeResultName,
                    ZBar_GetDecodeResultSymbol, ZBar_GetDecodeResultPointArray, ZBar_FreeDecodeResult};
const BackEnd kZXing{"ZXing", ZXING_DecodeImageMultipleResults, ZXING_GetDecodeResultCount, ZXING_GetDecodeResultName,
                     ZXING_GetDecodeResultSymbol, ZXING_GetDecodeResultPointArray, ZXING_FreeDecodeResult};

std::vector<std::string> Texts(const std::vector<Read>& reads) {
  std::vector<std::string> texts;
  for (const Read& r : reads) texts.push_back(r.text);
  std::sort(texts.begin(), texts.end());
  return texts;
}

// A 640 x 480 grey frame with the code's top-left corner at (left, top).
GrayImage Framed(const GrayImage& code, int left = 120, int top = 80, int width = 640, int height = 480) {
  GrayImage frame = Canvas(std::max(width, code.width + left + 40), std::max(height, code.height + top + 40), 235);
  Paste(frame, WithQuietZone(code, 16), left - 16, top - 16);
  return frame;
}

GrayImage Ean13Picture() { return Framed(RenderEan13("978316148410", 2), 100, 100); }

// Codes with character sets named or not, made directly with libqrencode.
GrayImage RawQr(const std::string& bytes, int eci) { return Framed(RenderRawCode(bytes, eci, 4)); }

class DecoderBackEndTest : public ::testing::TestWithParam<BackEnd> {
protected:
  void SetUp() override { fs::create_directories(m_dir); }
  void TearDown() override { fs::remove_all(m_dir); }

  std::string SavedPng(const GrayImage& image, const std::string& name) const {
    const std::string path = (m_dir / (name + ".png")).string();
    EXPECT_TRUE(SavePng(image, path));
    return path;
  }
  std::string SavedBmp(const GrayImage& image, const std::string& name) const {
    const std::string path = (m_dir / (name + ".bmp")).string();
    EXPECT_TRUE(SaveBmp(image, path));
    return path;
  }
  std::vector<std::string> TextsIn(const GrayImage& image, const std::string& name, bool onlyQR = true) const {
    return Texts(GetParam().ReadFile(SavedPng(image, name), onlyQR));
  }

  fs::path m_dir = fs::temp_directory_path() / ("codewerk-decoders-" + std::to_string(getpid()));
};

} // namespace

TEST_P(DecoderBackEndTest, ReadsCodesPlacedIntoFramesFromBmpAndPng) {
  const GrayImage code = RenderCode(kUrl, 4);
  GrayImage twoCodes = Canvas(800, 400, 235);
  Paste(twoCodes, WithQuietZone(RenderCode("links", 4), 16), 40, 40);
  Paste(twoCodes, WithQuietZone(RenderCode("rechts", 4, TestEncoder::QREncode), 16), 440, 40);
  const std::vector<std::pair<std::string, GrayImage>> pictures = {
      {"offset", Framed(code, 301, 173)},
      {"scaled", Scaled(Framed(RenderCode(kUrl, 2)), 3)},
      {"turned90", Rotated(Framed(code), 90)},
      {"turned17", Rotated(Framed(code), 17)},
      {"noise", Noisy(Framed(code), 25, 7)},
  };
  for (const auto& [name, picture] : pictures) {
    EXPECT_EQ(Texts(GetParam().ReadFile(SavedPng(picture, name))), std::vector<std::string>{kUrl}) << name << " png";
    EXPECT_EQ(Texts(GetParam().ReadFile(SavedBmp(picture, name))), std::vector<std::string>{kUrl}) << name << " bmp";
  }
  EXPECT_EQ(Texts(GetParam().ReadFile(SavedBmp(twoCodes, "two"))), (std::vector<std::string>{"links", "rechts"}));
}

TEST_P(DecoderBackEndTest, CornersAreTheSymbolsInOneOrder) {
  const GrayImage code = RenderCode(kUrl, 4); // 29 modules of 4 pixels
  const auto reads = GetParam().ReadFile(SavedPng(Framed(code, 200, 100), "corners"));
  ASSERT_EQ(reads.size(), 1u);
  ASSERT_EQ(reads[0].corners.size(), 4u);
  const int n = code.width;
  const POINT expected[4] = {{200, 100}, {200 + n, 100}, {200 + n, 100 + n}, {200, 100 + n}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(reads[0].corners[static_cast<size_t>(i)].x, expected[i].x, 2) << "corner " << i;
    EXPECT_NEAR(reads[0].corners[static_cast<size_t>(i)].y, expected[i].y, 2) << "corner " << i;
  }
  // Turned a quarter clockwise, the symbol's top-left corner is at the picture's top right.
  const auto turned = GetParam().ReadFile(SavedPng(Rotated(Framed(code, 200, 100), 90), "turned"));
  ASSERT_EQ(turned.size(), 1u);
  ASSERT_EQ(turned[0].corners.size(), 4u);
  EXPECT_GT(turned[0].corners[0].x, turned[0].corners[2].x);
  EXPECT_LT(turned[0].corners[0].y, turned[0].corners[2].y);
  EXPECT_GT(turned[0].corners[1].y, turned[0].corners[0].y + n / 2); // top-right lies below top-left
}

TEST_P(DecoderBackEndTest, OnlyQrLeavesTheEan13OutAndBothNameIt) {
  GrayImage picture = Ean13Picture();
  Paste(picture, WithQuietZone(RenderCode("neben dem Strichcode", 3), 12), 420, 100);
  const std::string path = SavedPng(picture, "ean");
  EXPECT_EQ(Texts(GetParam().ReadFile(path, true)), std::vector<std::string>{"neben dem Strichcode"});
  const auto all = GetParam().ReadFile(path, false);
  ASSERT_EQ(all.size(), 2u);
  const Read& ean = all[0].text == "9783161484100" ? all[0] : all[1];
  EXPECT_EQ(ean.text, "9783161484100");
  EXPECT_EQ(ean.symbology, "EAN-13"); // what the result actions look for
  EXPECT_EQ(ean.corners.size(), 4u);
}

TEST_P(DecoderBackEndTest, DegradedPicturesAreReadWhereTheRawLibraryGivesUp) {
  const GrayImage code = RenderCode(kUrl, 4);
  const std::vector<std::pair<std::string, GrayImage>> pictures = {
      {"perspective", Perspective(Framed(code, 240, 120), 0.6)},
      {"blurred", BoxBlurred(Framed(RenderCode(kUrl, 5)), 2)},
      {"low-contrast", ContrastSqueezed(Framed(code), 100, 150)},
      {"uneven-light", UnevenlyLit(Framed(code), 0.25)},
      {"inverted", Inverted(Framed(code))},
      {"two-pixel-modules", Framed(RenderCode(kUrl, 2))},
      {"everything", Noisy(BoxBlurred(Rotated(Framed(code), 17), 1), 20, 3)},
  };
  for (const auto& [name, picture] : pictures)
    EXPECT_EQ(TextsIn(picture, name), std::vector<std::string>{kUrl}) << name;
}

TEST_P(DecoderBackEndTest, NothingIsFoundWhereThereIsNoCode) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    const std::string path = SavedPng(CodelessScene(800, 600, seed), "scene" + std::to_string(seed));
    void* handle = GetParam().decode(path.c_str(), false);
    EXPECT_EQ(handle, nullptr) << "scene " << seed << ": " << Texts(GetParam().ReadFile(path, false)).front();
    GetParam().release(handle);
  }
  EXPECT_EQ(GetParam().decode((m_dir / "missing.png").c_str(), true), nullptr);
  EXPECT_EQ(GetParam().decode(nullptr, true), nullptr);
}

TEST_P(DecoderBackEndTest, TextsComeBackInTheirOwnCharacters) {
  const std::string grusse = "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC"; // Grüße €
  struct Case {
    const char* what;
    GrayImage picture;
    std::string expected;
  };
  const Case cases[] = {
      {"ours", Framed(RenderCode(grusse, 4)), grusse},
      {"utf-8 without eci", RawQr(grusse, 0), grusse},
      {"latin-1 eci 3", RawQr("Gr\xFC\xDF" "e", 3), "Gr\xC3\xBC\xC3\x9F" "e"},
      {"latin-1 without eci", RawQr("Gr\xFC\xDF" "e", 0), "Gr\xC3\xBC\xC3\x9F" "e"},
      {"greek eci 9", RawQr("\xA4 5", 9), "\xE2\x82\xAC 5"},
      {"shift-jis without eci", RawQr("\x83\x65\x83\x58\x83\x67", 0), "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88"},
      {"half-width katakana without eci", RawQr("\xC3\xDE\xBB\xDE\xB2\xDD", 0), // ﾃﾞｻﾞｲﾝ
       "\xEF\xBE\x83\xEF\xBE\x9E\xEF\xBD\xBB\xEF\xBE\x9E\xEF\xBD\xB2\xEF\xBE\x9D"},
      {"kanji eci 20", RawQr("\x93\xFA\x96\x7B\x8C\xEA", 20), "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"}, // 日本語
      {"kanji and ascii without eci", RawQr("\x95\x69\x94\xD4 A-12", 0), "\xE5\x93\x81\xE7\x95\xAA A-12"}, // 品番
      {"latin-1 that is also katakana", RawQr("\xC4rger", 0), "\xC3\x84rger"}, // Ärger
      {"one latin-1 sign", RawQr("25\xB0" "C", 0), "25\xC2\xB0" "C"},          // 25°C
  };
  for (const Case& c : cases) EXPECT_EQ(TextsIn(c.picture, c.what), std::vector<std::string>{c.expected}) << c.what;
}

TEST_P(DecoderBackEndTest, EciTextIsUtf8EvenWhenItsBytesAreNotInTheirSet) {
  if (GetParam().decode != ZXING_DecodeImageMultipleResults) GTEST_SKIP() << "the ECI conversion of the ZXing back end";
  // UTF-8 beyond U+10FFFF, which iconv converts without complaint.
  const auto texts = TextsIn(RawQr("Gr\xF4\x90\x80\x80" "e", 26), "beyond");
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_TRUE(IsValidUTF8(texts[0].data(), texts[0].size())) << ::testing::PrintToString(texts[0]);
}

TEST_P(DecoderBackEndTest, BuffersAreFilledToFitAndTheWholeLengthIsTold) {
  const std::string text = "\xC3\xA4\xC3\xB6\xC3\xBC-abc"; // äöü-abc, 10 bytes
  void* handle = GetParam().decode(SavedPng(Framed(RenderCode(text, 4)), "buffers").c_str(), true);
  ASSERT_NE(handle, nullptr);
  ASSERT_EQ(GetParam().count(handle), 1);
  char buffer[11];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(GetParam().text(handle, 0, buffer, 6), 10); // "äö" fits, half a "ü" does not
  EXPECT_STREQ(buffer, "\xC3\xA4\xC3\xB6");
  EXPECT_EQ(GetParam().text(handle, 0, buffer, 1), 10);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(GetParam().text(handle, 0, nullptr, 0), 10);
  EXPECT_EQ(GetParam().text(handle, 0, buffer, 11), 10);
  EXPECT_EQ(buffer, text);
  EXPECT_EQ(GetParam().text(handle, 1, buffer, 8), 0); // no second result
  EXPECT_STREQ(buffer, "");
  POINT points[4];
  EXPECT_EQ(GetParam().points(handle, 0, points, 2), 2);
  EXPECT_EQ(GetParam().points(handle, 7, points, 4), 0);
  GetParam().release(handle);
  EXPECT_EQ(GetParam().count(nullptr), 0);
}

INSTANTIATE_TEST_SUITE_P(BothBackEnds, DecoderBackEndTest, ::testing::Values(kZBar, kZXing),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ZXingBackEndTest, AWebcamFrameGivesOneCodeAScannedPageEvery) {
  GrayImage twoCodes = Canvas(800, 400, 235);
  Paste(twoCodes, WithQuietZone(RenderCode("eins", 4), 16), 40, 40);
  Paste(twoCodes, WithQuietZone(RenderCode("zwei", 4), 16), 440, 40);
  const std::string path = (fs::temp_directory_path() / ("codewerk-two-" + std::to_string(getpid()) + ".png")).string();
  ASSERT_TRUE(SavePng(twoCodes, path));
  void* single = ZXING_DecodeImageSingleResult(path.c_str(), true);
  void* multiple = ZXING_DecodeImageMultipleResults(path.c_str(), true);
  EXPECT_EQ(ZXING_GetDecodeResultCount(single), 1);
  EXPECT_EQ(ZXING_GetDecodeResultCount(multiple), 2);
  ZXING_FreeDecodeResult(single);
  ZXING_FreeDecodeResult(multiple);
  fs::remove(path);
}

// The local threshold over large pictures: its window sums pass 32 bits on a 600 dpi page.
TEST(LocalThresholdTest, LargePicturesStayRightAPlainOneWhiteAndAPageWithASmallCodeReadable) {
  RasterImage plain;
  plain.width = plain.height = 6000;
  plain.pixels.assign(36'000'000, 200);
  decodecommon::BinarizeLocally(plain);
  EXPECT_EQ(std::count(plain.pixels.begin(), plain.pixels.end(), 255), 36'000'000);

  GrayImage page = UnevenlyLit(Canvas(4960, 7016, 230), 0.5);
  Paste(page, WithQuietZone(RenderCode(kUrl, 6), 4, 1), 4000, 6200);
  RasterImage image{page.width, page.height, PixelFormat::Gray8, PixelBuffer(page.pixels.begin(), page.pixels.end())};
  decodecommon::BinarizeLocally(image);
  GrayImage binarized{image.width, image.height, std::vector<std::uint8_t>(image.pixels.begin(), image.pixels.end())};
  const std::vector<ReadCode> reads = ReadWithZXing(binarized);
  ASSERT_EQ(reads.size(), 1u);
  EXPECT_EQ(reads[0].text, kUrl);
}

TEST_P(DecoderBackEndTest, AStandingOrLightOnDarkBarCodeIsReportedOnce) {
  const GrayImage ean = WithQuietZone(RenderEan13("978316148410", 3), 12);
  for (const auto& [name, picture] : {std::pair("standing", Framed(Rotated(ean, 90), 100, 60, 640, 640)),
                                      std::pair("light on dark", Inverted(Framed(ean, 100, 100)))})
    EXPECT_EQ(TextsIn(picture, name, false), std::vector<std::string>{"9783161484100"}) << name;
}

TEST_P(DecoderBackEndTest, TwoBarCodesOnACoverAreBothRead) {
  GrayImage cover = Canvas(800, 600, 200);
  Paste(cover, WithQuietZone(RenderEan13("978316148410", 3), 10), 60, 300);
  Paste(cover, WithQuietZone(RenderEan13("400638133393", 2), 10), 480, 320);
  EXPECT_EQ(TextsIn(Noisy(Rotated(cover, 4), 10, 7), "cover", false),
            (std::vector<std::string>{"4006381333931", "9783161484100"}));
}

namespace {

decodecommon::DecodedSymbol Symbol(const char* symbology, const char* text, LONG left, LONG top, LONG right, LONG bottom) {
  const bool matrix = std::string(symbology) == "QRCode";
  return {text, symbology, {{left, top}, {right, top}, {right, bottom}, {left, bottom}}, matrix};
}

std::vector<std::string> TextsOf(const std::vector<decodecommon::DecodedSymbol>& symbols) {
  std::vector<std::string> texts;
  for (const auto& s : symbols) texts.push_back(s.text);
  return texts;
}

} // namespace

TEST(LinearChecksTest, NestedAndDisagreeingBarCodesGoUnlessAnotherLookAgrees) {
  const auto ean = Symbol("EAN-13", "4006381333931", 100, 200, 400, 200);
  const auto misread = Symbol("EAN-13", "4006381833931", 110, 230, 390, 230);
  const auto upce = Symbol("UPC-E", "01234565", 200, 210, 300, 210);
  const auto qr = Symbol("QRCode", "x", 500, 100, 700, 300);
  struct Case {
    const char* what;
    std::vector<decodecommon::DecodedSymbol> found, otherLook;
    std::vector<std::string> kept;
  };
  const Case cases[] = {
      {"a UPC-E inside an EAN-13", {ean, upce}, {}, {ean.text}},
      {"a bar code inside a QR code", {qr, Symbol("Code128", "ab", 550, 150, 650, 160)}, {}, {"x"}},
      {"bar codes apart", {ean, Symbol("UPC-E", "01234565", 500, 400, 600, 400)}, {}, {ean.text, "01234565"}},
      {"two texts at one place, no other look", {ean, misread}, {}, {}},
      {"two texts at one place, the other look agrees with one", {ean, misread}, {ean}, {ean.text}},
      {"the other look agrees at another place only", {ean, misread}, {Symbol("EAN-13", "4006381333931", 600, 500, 790, 500)}, {}},
  };
  for (const Case& c : cases) {
    std::vector<decodecommon::DecodedSymbol> symbols = c.found;
    decodecommon::DropNestedLinearCodes(symbols);
    if (decodecommon::HasDisagreeingLinearCodes(symbols)) decodecommon::SettleDisagreements(symbols, c.otherLook);
    EXPECT_EQ(TextsOf(symbols), c.kept) << c.what;
  }
}

// A corner of a finder pattern torn off: zxing-cpp gives up, ZBar reads it, and "ZXing + ZBar" therefore too.
TEST(CombinedDecoderTest, ZBarReadsWhereZXingFindsNothing) {
  SetAnsiCodeSetName("UTF-8");
  GrayImage code = WithQuietZone(RenderCode(kUrl, 5), 20);
  for (int y = 20; y < 35; ++y) // the outer corner of the top-left finder pattern, 3 x 3 modules, gone
    for (int x = 20; x < 35; ++x) code.pixels[static_cast<std::size_t>(y) * code.width + x] = 255;
  const fs::path path = fs::temp_directory_path() / ("codewerk-blot-" + std::to_string(getpid()) + ".png");
  ASSERT_TRUE(SavePng(Framed(code), path.string()));
  EXPECT_TRUE(kZXing.ReadFile(path.string()).empty());
  EXPECT_EQ(Texts(kZBar.ReadFile(path.string())), std::vector<std::string>{kUrl});
  CodeReader both(Decoder_ZXingZBar, true);
  CDecodeResultArray results;
  ASSERT_TRUE(both.Read(path.c_str(), results));
  ASSERT_EQ(results.GetSize(), 1);
  EXPECT_EQ(results[0]->m_strText.str(), kUrl);
  fs::remove(path);
}

// The looks at changed pictures, with a scripted reader: which look finds what decides what counts.
TEST(SecondLooksTest, ABarCodeFoundInOneChangedPictureOnlyNeedsASecondLook) {
  const auto ean = Symbol("EAN-13", "4006381333931", 100, 200, 400, 200);
  const auto qr = Symbol("QRCode", "x", 500, 100, 700, 300);
  struct Case {
    const char* what;
    std::vector<std::vector<decodecommon::DecodedSymbol>> looks; // as plain, inverted, thresholded, …
    std::vector<std::string> kept;
  };
  const Case cases[] = {
      {"a bar code in the inverted picture only", {{}, {ean}, {}, {}, {}}, {}},
      {"the same bar code in two changed pictures", {{}, {ean}, {ean}}, {ean.text}},
      {"a QR code in one changed picture", {{}, {qr}}, {"x"}},
      {"found in the picture as it is", {{ean}}, {ean.text}},
  };
  for (const Case& c : cases) {
    std::size_t call = 0;
    RasterImage image;
    image.width = image.height = 64;
    image.pixels.assign(64 * 64, 200);
    const auto read = [&](const RasterImage&) { return call < c.looks.size() ? c.looks[call++] : (++call, std::vector<decodecommon::DecodedSymbol>{}); };
    EXPECT_EQ(TextsOf(decodecommon::ReadWithSecondLooks(image, read)), c.kept) << c.what;
  }
}
