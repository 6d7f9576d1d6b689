// Reading codes: both decoder back-end modules on real picture files (texts, corners, formats,
// degraded pictures, character sets, no codes where there are none), the rules against phantom bar
// codes, result lists (ownership, copies, reading a decoder's handle, the message text), and
// "codewerk decode" run in-process: lines for people, JSON for scripts, exit status for both.
#include "CodeReaders.h"
#include "DecodeCommand.h"
#include "Enhance.h"
#include "HostilePictures.h"
#include "LinearChecks.h"
#include "TestFolder.h"
#include "TestPictures.h"
#include "config/QRCodeKonfiguration.h"
#include "decode/CodeReader.h"
#include "decode/DecodeResultArray.h"
#include "decode/SubDlgDecode.h"
#include "decode/SubDlgDecode_ZBar.h"
#include "outside/CodePage.h"
#include "outside/tq_zbar.h"
#include "outside/tq_zxing.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <sstream>

using decodecommon::DecodedSymbol;
using Strings = std::vector<std::string>;
using Symbols = std::vector<DecodedSymbol>;

namespace {

const std::string kUrl = "https://www.example.org/q?id=12345";

// One back end's six functions, so every test runs against both.
struct BackEnd {
  const char* name;
  void* (*decode)(const char*, bool);
  int (*count)(void*), (*text)(void*, int, char*, int), (*symbol)(void*, int, char*, int), (*points)(void*, int, POINT*, int);
  void (*release)(void*);

  Symbols ReadFile(const std::string& path, bool onlyQR = true) const {
    Symbols reads;
    void* handle = decode(path.c_str(), onlyQR);
    for (int i = 0; i < count(handle); ++i) {
      char t[4000], s[100]; POINT p[4];
      text(handle, i, t, sizeof t), symbol(handle, i, s, sizeof s);
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

// A 640 x 480 grey frame with the code's top-left corner at (left, top).
GrayImage Framed(const GrayImage& code, int left = 120, int top = 80, int width = 640, int height = 480) {
  GrayImage frame = Canvas(std::max(width, code.width + left + 40), std::max(height, code.height + top + 40), 235);
  Paste(frame, WithQuietZone(code, 16), left - 16, top - 16);
  return frame;
}

// Codes with character sets named or not, made directly with libqrencode.
GrayImage RawQr(const std::string& bytes, int eci) { return Framed(RenderRawCode(bytes, eci, 4)); }

DecodedSymbol Symbol(const char* symbology, const char* text, LONG left, LONG top, LONG right, LONG bottom) {
  return {text, symbology, {{left, top}, {right, top}, {right, bottom}, {left, bottom}}, std::string(symbology) == "QRCode"};
}
const DecodedSymbol kEan = Symbol("EAN-13", "4006381333931", 100, 200, 400, 200), kQr = Symbol("QRCode", "x", 500, 100, 700, 300);

// Each result as "symbol: text (points)", a line each.
std::string Summary(CDecodeResultArray& results) {
  std::string lines;
  results.ForEach([&](const CSubDlgDecodeResult* r) {
    lines += r->m_strSymbol.str() + ": " + r->m_strText.str() + " (" + std::to_string(r->m_arPoints.GetSize()) + ")\n";
  });
  return lines;
}

class DecoderBackEndTest : public InFolder<::testing::TestWithParam<BackEnd>> {};

class CombinedDecoderTest : public InFolder<> {};

// Counts its live instances, so tests see exactly what an owning list deletes.
struct Tracked { static inline int alive = 0; Tracked() { ++alive; } ~Tracked() { --alive; } };

// A decoder whose handle holds results the test chose; it counts the handles freed. It copies texts
// as the back ends do: what fits, and the length of the whole text.
class ScriptedDecoder : public CSubDlgDecode {
public:
  Symbols results;
  int freed = 0;
  bool giveHandle = true, brokenPointCount = false;

  void* DecodeImage(const char*, T_DecodeImageSource) override { return giveHandle ? this : nullptr; }
  int GetDecodeResultCount(void*) override { return static_cast<int>(results.size()); }
  int GetDecodeResultName(void*, int i, char* buffer, int size) override { return Copy(results.at(size_t(i)).text, buffer, size); }
  int GetDecodeResultSymbol(void*, int i, char* buffer, int size) override { return Copy(results.at(size_t(i)).symbology, buffer, size); }
  int GetDecodeResultPointArray(void*, int i, POINT* points, int max) override {
    const auto& p = results.at(size_t(i)).corners;
    return brokenPointCount ? -1 : static_cast<int>(std::copy_n(p.begin(), std::min<size_t>(size_t(max), p.size()), points) - points);
  }
  void FreeDecodeResult(void*) override { ++freed; }
  static int Copy(const std::string& s, char* buffer, int size) {
    *std::copy_n(s.begin(), std::min<size_t>(size_t(size - 1), s.size()), buffer) = '\0';
    return static_cast<int>(s.size());
  }
};

class DecodeCommandTest : public InFolder<> {
protected:
  void TearDown() override {
    GetQRCodeKonfiguration() = m_settings; // the command changes this process's settings
    InFolder::TearDown();
  }
  // The exit status, standard output and standard error as one text; of a usage text only its first word.
  static std::string Decode(std::vector<std::string> args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int rc = RunDecodeCommand(args, in, out, err);
    return std::to_string(rc) + "\n" + out.str() + "--\n" + std::regex_replace(err.str(), std::regex(R"(usage:[\s\S]*)"), "usage:");
  }
  std::string Code(const std::string& name, const std::string& text, int module = 4, int border = 8) {
    return Picture(name, WithQuietZone(RenderCode(text, module), border));
  }

  CQRCodeKonfiguration m_settings = GetQRCodeKonfiguration();
};

} // namespace

TEST_P(DecoderBackEndTest, CodesAndBarCodesAreReadFromFramedTurnedAndDegradedPicturesWithTheirCorners) {
  const GrayImage code = RenderCode(kUrl, 4), ean = WithQuietZone(RenderEan13("978316148410", 3), 12);
  GrayImage twoCodes = Canvas(800, 400, 235), cover = Canvas(800, 600, 200), qrAndEan = Framed(RenderEan13("978316148410", 2), 100, 100);
  Paste(twoCodes, WithQuietZone(RenderCode("links", 4), 16), 40, 40);
  Paste(twoCodes, WithQuietZone(RenderCode("rechts", 4, TestEncoder::QREncode), 16), 440, 40);
  Paste(cover, WithQuietZone(RenderEan13("978316148410", 3), 10), 60, 300);
  Paste(cover, WithQuietZone(RenderEan13("400638133393", 2), 10), 480, 320);
  Paste(qrAndEan, WithQuietZone(RenderCode("neben dem Strichcode", 3), 12), 420, 100);
  const Strings url = {kUrl}, isbn = {"9783161484100"};
  struct Case { std::string name; GrayImage picture; Strings texts; bool onlyQR = true, bmpToo = false; };
  std::vector<Case> cases = {
      {"offset", Framed(code, 301, 173), url, true, true}, {"scaled", Scaled(Framed(RenderCode(kUrl, 2)), 3), url, true, true},
      {"turned90", Rotated(Framed(code), 90), url, true, true}, {"turned17", Rotated(Framed(code), 17), url, true, true},
      {"noise", Noisy(Framed(code), 25, 7), url, true, true}, {"two codes", twoCodes, {"links", "rechts"}, true, true},
      // where the raw library gives up
      {"perspective", Perspective(Framed(code, 240, 120), 0.6), url}, {"blurred", BoxBlurred(Framed(RenderCode(kUrl, 5)), 2), url},
      {"low-contrast", ContrastSqueezed(Framed(code), 100, 150), url}, {"uneven-light", UnevenlyLit(Framed(code), 0.25), url},
      {"inverted", Inverted(Framed(code)), url}, {"two-pixel-modules", Framed(RenderCode(kUrl, 2)), url},
      {"everything", Noisy(BoxBlurred(Rotated(Framed(code), 17), 1), 20, 3), url},
      // bar codes, each reported once
      {"standing bar code", Framed(Rotated(ean, 90), 100, 60, 640, 640), isbn, false},
      {"light on dark bar code", Inverted(Framed(ean, 100, 100)), isbn, false},
      {"two bar codes on a cover", Noisy(Rotated(cover, 4), 10, 7), {"4006381333931", "9783161484100"}, false},
      {"only QR leaves the EAN-13 out", qrAndEan, {"neben dem Strichcode"}},
      {"all formats", qrAndEan, {"9783161484100", "neben dem Strichcode"}, false},
  };
  for (unsigned seed = 1; seed <= 6; ++seed) cases.push_back({"scene " + std::to_string(seed), CodelessScene(800, 600, seed), {}, false});
  std::map<std::string, Symbols> read;
  for (const Case& c : cases)
    for (const std::string& ext : c.bmpToo ? Strings{".png", ".bmp"} : Strings{".png"})
      EXPECT_EQ(Texts(read[c.name + ext] = GetParam().ReadFile(Picture(c.name + ext, c.picture), c.onlyQR)), c.texts) << c.name << ext;
  EXPECT_TRUE(!GetParam().decode(Path("missing.png").c_str(), true) && !GetParam().decode(nullptr, true));
  for (const DecodedSymbol& r : read["all formats.png"])
    EXPECT_TRUE(r.text != "9783161484100" || (r.symbology == "EAN-13" && r.corners.size() == 4)) << r.symbology; // as actions need
  BackEnd single = kZXing; // a webcam frame gives one code, a scan every
  EXPECT_EQ((single.decode = ZXING_DecodeImageSingleResult, single.ReadFile(Path("two codes.png")).size()), 1u);
  // The corners are the symbol's, in one order: turned a quarter clockwise, its top-left corner is at
  // the picture's top right, its top-right below it.
  const auto &reads = read["offset.png"], &turned = read["turned90.png"];
  ASSERT_TRUE(reads.size() == 1 && turned.size() == 1 && reads[0].corners.size() == 4 && turned[0].corners.size() == 4);
  const int n = code.width; // 29 modules of 4 pixels
  const POINT expected[4] = {{301, 173}, {301 + n, 173}, {301 + n, 173 + n}, {301, 173 + n}}, *r = reads[0].corners.data(),
              *c = turned[0].corners.data();
  for (size_t i = 0; i < 4; ++i) EXPECT_LE(std::max(std::abs(r[i].x - expected[i].x), std::abs(r[i].y - expected[i].y)), 2) << i;
  EXPECT_TRUE(c[0].x > c[2].x && c[0].y < c[2].y && c[1].y > c[0].y + n / 2) << c[0].x << "," << c[0].y << " " << c[1].y << " " << c[2].x;
}

// The character set guessed where none is named; and texts handed out in buffers that fit, with the whole length told.
TEST_P(DecoderBackEndTest, TextsComeBackInTheirOwnCharactersAndWholeInBuffersThatFit) {
  const std::string grusse = "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC"; // Grüße €
  const std::tuple<const char*, GrayImage, std::string> cases[] = {
      {"ours", Framed(RenderCode(grusse, 4)), grusse}, {"utf-8 without eci", RawQr(grusse, 0), grusse},
      {"latin-1 eci 3", RawQr("Gr\xFC\xDF" "e", 3), "Gr\xC3\xBC\xC3\x9F" "e"}, {"greek eci 9", RawQr("\xA4 5", 9), "\xE2\x82\xAC 5"},
      {"latin-1 without eci", RawQr("Gr\xFC\xDF" "e", 0), "Gr\xC3\xBC\xC3\x9F" "e"},
      {"shift-jis without eci", RawQr("\x83\x65\x83\x58\x83\x67", 0), "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88"},
      {"half-width katakana without eci", RawQr("\xC3\xDE\xBB\xDE\xB2\xDD", 0), // ﾃﾞｻﾞｲﾝ
       "\xEF\xBE\x83\xEF\xBE\x9E\xEF\xBD\xBB\xEF\xBE\x9E\xEF\xBD\xB2\xEF\xBE\x9D"},
      {"kanji eci 20", RawQr("\x93\xFA\x96\x7B\x8C\xEA", 20), "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"}, // 日本語
      {"kanji and ascii without eci", RawQr("\x95\x69\x94\xD4 A-12", 0), "\xE5\x93\x81\xE7\x95\xAA A-12"}, // 品番
      {"latin-1 that is also katakana", RawQr("\xC4rger", 0), "\xC3\x84rger"}, // Ärger
      {"one latin-1 sign", RawQr("25\xB0" "C", 0), "25\xC2\xB0" "C"},          // 25°C
  };
  for (const auto& [what, picture, text] : cases)
    EXPECT_EQ(Texts(GetParam().ReadFile(Picture(what + std::string(".png"), picture))), Strings{text}) << what;
  // ECI text beyond U+10FFFF, which iconv converts without complaint, still comes back as UTF-8 from ZXing.
  const Strings beyond = Texts(GetParam().ReadFile(Picture("beyond.png", RawQr("Gr\xF4\x90\x80\x80" "e", 26))));
  EXPECT_TRUE(GetParam().decode != kZXing.decode || (beyond.size() == 1 && IsValidUTF8(beyond[0].data(), beyond[0].size())))
      << ::testing::PrintToString(beyond);
  const std::string text = "\xC3\xA4\xC3\xB6\xC3\xBC-abc"; // äöü-abc, 10 bytes
  const BackEnd& b = GetParam();
  void* handle = b.decode(Picture("buffers.png", Framed(RenderCode(text, 4))).c_str(), true);
  ASSERT_EQ(b.count(handle), 1);
  char buffer[11] = "xxxxxxxxxx";
  // "äö" fits in 6 bytes, half a "ü" does not; and there is no second result.
  for (const auto& [index, size, told, kept] :
       {std::tuple{0, 6, 10, "\xC3\xA4\xC3\xB6"}, {0, 1, 10, ""}, {0, 11, 10, text.c_str()}, {1, 8, 0, ""}})
    EXPECT_TRUE(b.text(handle, index, buffer, size) == told && std::string(buffer) == kept) << size << ": " << buffer;
  POINT points[4];
  EXPECT_EQ((std::vector<int>{b.text(handle, 0, nullptr, 0), b.points(handle, 0, points, 2), b.points(handle, 7, points, 4),
                              b.count(nullptr)}), (std::vector<int>{10, 2, 0, 0}));
  b.release(handle);
}

INSTANTIATE_TEST_SUITE_P(BothBackEnds, DecoderBackEndTest, ::testing::Values(kZBar, kZXing),
                         [](const auto& info) { return std::string(info.param.name); });

// The local threshold over large pictures: its window sums pass 32 bits on a 600 dpi page.
TEST(LocalThresholdTest, LargePicturesStayRightAPlainOneWhiteAndAPageWithASmallCodeReadable) {
  RasterImage plain{6000, 6000, PixelFormat::Gray8, PixelBuffer(36'000'000, 200)};
  decodecommon::BinarizeLocally(plain);
  EXPECT_EQ(std::count(plain.pixels.begin(), plain.pixels.end(), 255), 36'000'000);

  GrayImage page = UnevenlyLit(Canvas(4960, 7016, 230), 0.5);
  Paste(page, WithQuietZone(RenderCode(kUrl, 6), 4, 1), 4000, 6200);
  RasterImage image{page.width, page.height, PixelFormat::Gray8, PixelBuffer(page.pixels.begin(), page.pixels.end())};
  decodecommon::BinarizeLocally(image);
  EXPECT_EQ(Texts(ReadWithZXing({image.width, image.height, std::vector<std::uint8_t>(image.pixels.begin(), image.pixels.end())})),
            Strings{kUrl});
}

TEST(LinearChecksTest, NestedAndDisagreeingBarCodesGoUnlessAnotherLookAgrees) {
  const auto misread = Symbol("EAN-13", "4006381833931", 110, 230, 390, 230);
  const std::tuple<const char*, Symbols, Symbols, Strings> cases[] = {
      {"a UPC-E inside an EAN-13", {kEan, Symbol("UPC-E", "01234565", 200, 210, 300, 210)}, {}, {kEan.text}},
      {"a bar code inside a QR code", {kQr, Symbol("Code128", "ab", 550, 150, 650, 160)}, {}, {"x"}},
      {"bar codes apart", {kEan, Symbol("UPC-E", "01234565", 500, 400, 600, 400)}, {}, {kEan.text, "01234565"}},
      {"two texts at one place, no other look", {kEan, misread}, {}, {}},
      {"two texts at one place, the other look agrees with one", {kEan, misread}, {kEan}, {kEan.text}},
      {"the other look agrees at another place only", {kEan, misread}, {Symbol("EAN-13", "4006381333931", 600, 500, 790, 500)}, {}},
  };
  for (const auto& [what, found, otherLook, kept] : cases) {
    Symbols symbols = found;
    decodecommon::DropNestedLinearCodes(symbols);
    if (decodecommon::HasDisagreeingLinearCodes(symbols)) decodecommon::SettleDisagreements(symbols, otherLook);
    EXPECT_EQ(Texts(symbols, false), kept) << what;
  }
}

// The looks at changed pictures, with a scripted reader: which look finds what decides what counts.
TEST(SecondLooksTest, ABarCodeFoundInOneChangedPictureOnlyNeedsASecondLook) {
  const std::tuple<const char*, std::vector<Symbols> /* as plain, inverted, thresholded, … */, Strings> cases[] = {
      {"a bar code in the inverted picture only", {{}, {kEan}, {}, {}, {}}, {}},
      {"the same bar code in two changed pictures", {{}, {kEan}, {kEan}}, {kEan.text}},
      {"a QR code in one changed picture", {{}, {kQr}}, {"x"}},
      {"found in the picture as it is", {{kEan}}, {kEan.text}},
  };
  for (const auto& [what, looks, kept] : cases) {
    RasterImage image{64, 64, PixelFormat::Gray8, PixelBuffer(64 * 64, 200)};
    std::size_t call = 0;
    const auto read = [&](const RasterImage&) { return call < looks.size() ? looks[call++] : Symbols{}; };
    EXPECT_EQ(Texts(decodecommon::ReadWithSecondLooks(image, read), false), kept) << what;
  }
}

// A corner of a finder pattern torn off: zxing-cpp gives up, ZBar reads it, and "ZXing + ZBar" therefore too.
TEST_F(CombinedDecoderTest, ZBarReadsWhereZXingFindsNothing) {
  GrayImage code = WithQuietZone(RenderCode(kUrl, 5), 20);
  Paste(code, Canvas(15, 15), 20, 20); // the outer corner of the top-left finder pattern, 3 x 3 modules
  const std::string path = Picture("blot.png", Framed(code));
  CDecodeResultArray results;
  EXPECT_TRUE(kZXing.ReadFile(path).empty() && CodeReader(Decoder_ZXingZBar, true).Read(path.c_str(), results));
  EXPECT_EQ(Texts(kZBar.ReadFile(path)), Strings{kUrl});
  EXPECT_EQ(results.GetMessageText(false).str(), kUrl);
}

TEST(DTemplateArrayTest, AnOwningListDeletesWhatItClearsAndHoldsFindsAndVisitsWhatIsAppendedWhileVisiting) {
  Tracked a, b;
  {
    CDTemplateArray<Tracked> list(1), borrowed(0);
    for (int i = 0; i < 5; ++i) list.Add(new Tracked);
    list.Add(nullptr), list.Clear(3), list.Clear(9); // Clear passes the null by; beyond the end it does nothing
    int visits = 0;
    list.ForEach([&](Tracked*) { if (++visits == 1) list.Add(new Tracked); }); // appended while visiting: visited too
    borrowed.Add(&a), borrowed.Clear(0), borrowed.Add(&b);
    EXPECT_EQ((std::vector<int>{list.GetSize(), Tracked::alive, list.GetIndex(list[1]), list.GetIndex(&list), visits, borrowed.GetSize()}),
              (std::vector<int>{4, 6, 1, -1, 4, 1}));
    EXPECT_THROW(list.GetAt(4), std::invalid_argument);
  }
  EXPECT_EQ(Tracked::alive, 2); // a list that does not own deletes nothing
}

// Copies are deep and assignment keeps ownership; reading a handle takes every result whole (long texts
// are asked for again with the length the back end needs) and frees the handle only when asked.
TEST(DecodeResultArrayTest, CopiesAreDeepAndAHandleIsReadWholeAndFreedOnlyWhenAsked) {
  CDecodeResultArray source(1), borrowed(0), results(1);
  CArray<POINT, POINT> points;
  points.Add({1, 2}), points.Add({3, 4});
  EXPECT_EQ(source.GetMessageText(true), "");
  source.AddDecodeResult("A", "QRCode", points), source.AddDecodeResult("B", "EAN-13", points);
  EXPECT_EQ(source.GetMessageText(false).str() + "|" + source.GetMessageText(true).str(), "A\nB|QRCode: A\nEAN-13: B");
  CDecodeResultArray copy(source);
  copy[0]->m_strText = "changed";
  copy = copy; // self-assignment changes nothing
  borrowed.Add(source[1]), results.AddDecodeResult("old", "x", points);
  results = borrowed;
  borrowed.RemoveAll(); // it never owned source's result
  EXPECT_EQ(Summary(source) + Summary(copy) + Summary(results),
            "QRCode: A (2)\nEAN-13: B (2)\nQRCode: changed (2)\nEAN-13: B (2)\nEAN-13: B (2)\n");
  EXPECT_TRUE(copy[0] != source[0] && results[0] != source[1] && results.m_bOwnsItems && copy.m_bOwnsItems);

  ScriptedDecoder decoder;
  decoder.results = {{std::string(999, 'a'), "QRCode", {{1, 1}, {9, 9}}}, {std::string(1000, 'b'), std::string(1200, 's'), {}}};
  results.AddDecodeResult(decoder, &decoder); // what was there stays
  EXPECT_EQ(Summary(results), "EAN-13: B (2)\nQRCode: " + std::string(999, 'a') + " (2)\n" + std::string(1200, 's') + ": " +
                                  std::string(1000, 'b') + " (0)\n");
  results.AddDecodeResult(decoder, nullptr);
  EXPECT_EQ((std::vector<int>{decoder.GetDecodedImageTextFromResult(&decoder, results, false),
                              decoder.GetDecodedImageTextFromResult(nullptr, results, true), results.GetSize(), decoder.freed}),
            (std::vector<int>{true, false, 5, 0}));
  decoder.brokenPointCount = true; // a back end reporting -1 points is a broken contract
  EXPECT_THROW(results.AddDecodeResult(decoder, &decoder), std::invalid_argument);
  decoder.results.clear(); // zero results still count as read, and the handle is freed; no handle frees nothing
  EXPECT_EQ((std::vector<int>{decoder.GetDecodedImageText("any.bmp", results, T_DecodeImageSource_Datei), decoder.freed,
                              (decoder.giveHandle = false, decoder.GetDecodedImageText("any.bmp", results, T_DecodeImageSource_Datei)),
                              decoder.freed}),
            (std::vector<int>{true, 1, false, 1}));
}

// Line breaks shown, points on asking, several files named, an unreadable one not stopping the
// others, all formats for this run only, usage errors, and names from standard input by line or by NUL.
TEST_F(DecodeCommandTest, OneLinePerCodeForPeopleWithTheStatusForScripts) {
  const std::string file = Code("2.png", "zwei\nZeilen \\ Ende"), a = Code("a b.png", "erste"), empty = Picture("0.png", Canvas(100, 100));
  const std::string broken = Path("kaputt.png"), ean = Picture("ean.png", WithQuietZone(RenderEan13("978316148410", 2), 10));
  std::ofstream(broken) << "not a picture";
  const std::string line = "QRCode: zwei\\nZeilen \\\\ Ende\n", both = "0\n" + a + ": QRCode: erste\n" + file + ": " + line + "--\n";
  const struct { Strings args; std::string said, input = ""; } cases[] = {
      {{file}, "0\n" + line + "--\n"},
      {{file, broken, empty}, "2\n" + file + ": " + line + "--\ncodewerk decode: cannot read " + broken +
                                  ": not a picture file this program reads (BMP, PNG, JPEG, GIF or TIFF)\n" +
                                  "codewerk decode: no code found in " + empty + "\n"},
      {{empty}, "1\n--\ncodewerk decode: no code found in " + empty + "\n"},
      {{ean}, "1\n--\ncodewerk decode: no code found in " + ean + "\n"}, // the settings say: QR codes only
      {{"--all-formats", ean}, "0\nEAN-13: 9783161484100\n--\n"},
      {{}, "2\n--\ncodewerk decode: no picture file given\nusage:"},
      {{"--decoder", "quagga", "x.png"}, "2\n--\ncodewerk decode: unknown decoder 'quagga' (zxing, zbar or both)\nusage:"},
      {{"--fast", "x.png"}, "2\n--\ncodewerk decode: unknown option --fast\nusage:"},
      {{"--jobs", "0", file}, "2\n--\ncodewerk decode: --jobs needs a whole number of at least 1, not '0'\nusage:"},
      {{"-"}, both, a + "\n\n" + file + "\n"}, {{"--null", "-"}, both, a + '\0' + file + '\0'},
      {{"--jobs", "1", "-"}, both, a + "\n" + file},
  };
  for (const auto& c : cases) EXPECT_EQ(Decode(c.args, c.input), c.said);
  const std::string points = Decode({"--decoder", "zbar", "--points", file}); // the code's top-left corner, give or take a pixel
  EXPECT_TRUE(points.starts_with("0\nQR-Code: zwei\\nZeilen \\\\ Ende  [") && points.find("  [9,9 ") != std::string::npos) << points;
}

// As much as a QR code holds: 2953 bytes, version 40, read whole by both decoders through the
// pages that hosts use and printed whole by the command; a broken settings file is one line on
// standard error, and the defaults serve.
TEST_F(DecodeCommandTest, AVersion40CodeArrivesWholeAndTheSettingsPickTheDecoderOrWhenBrokenTheDefaults) {
  std::string text;
  for (int line = 0; text.size() < 2953; ++line) text += "Zeile " + std::to_string(line) + ": alles, was hineinpasst; ";
  text.resize(2953);
  const std::string v40 = Code("v40.png", text, 3, 12);
  CQRCodeKonfiguration& settings = GetQRCodeKonfiguration();
  for (T_QRCodeKonfiguration_Decoder decoder : {Decoder_ZBar, Decoder_ZXing, Decoder_ZXingZBar}) {
    settings.m_eDecoder = decoder;
    std::unique_ptr<CSubDlgDecode> page(CreateCurrentDecoder());
    CDecodeResultArray results;
    EXPECT_EQ((std::tuple{page->GetDecodedImageText(v40.c_str(), results, T_DecodeImageSource_Scanner), results.GetMessageText(false).str(),
                          dynamic_cast<CSubDlgDecode_ZBar*>(page.get()) != nullptr, page->HasWindow()}),
              (std::tuple{true, text, decoder == Decoder_ZBar, false})) << decoder;
  }
  settings.m_eDecoder = static_cast<T_QRCodeKonfiguration_Decoder>(3); // outside the enumeration
  EXPECT_NE(dynamic_cast<CSubDlgDecode_ZBar*>(std::unique_ptr<CSubDlgDecode>(CreateCurrentDecoder()).get()), nullptr);
  for (const auto& [decoder, symbology] : {std::pair{"zxing", "QRCode"}, {"zbar", "QR-Code"}})
    EXPECT_EQ(Decode({"--decoder", decoder, v40}), "0\n" + std::string(symbology) + ": " + text + "\n--\n");

  const std::string path = settings.GetStammdatenName().str();
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path) << "[A]\nDec 1\n";
  settings.Laden();
  EXPECT_EQ(Decode({Code("code.png", "trotzdem")}),
            "0\nQRCode: trotzdem\n--\ncodewerk: the settings file " + path +
                " cannot be read (line 2 is no setting); the defaults are in use\n");
  fs::remove(path);
  settings.Laden();
}

// Every page of a scan is read and marked, up to the page limit; JSON for scripts, escaped; a batch on
// several threads comes out in the files' order, with the bad one on its own line.
TEST_F(DecodeCommandTest, EveryPageAndFileComesInOrderUpToThePageLimit) {
  const std::string scan = Path("scan.tif"), many = Write("1001.tif", BlankMultiPageTiff(1001, 8)), missing = Path("fehlt.png");
  ASSERT_EQ(std::system(("convert " + Code("a.png", "Seite eins") + " " + Code("b.png", "Seite zwei") + " " + Code("c.png", "Seite drei") +
                         " -compress lzw " + scan).c_str()), 0);
  EXPECT_EQ(Decode({scan}), "0\n" + scan + " (page 1): QRCode: Seite eins\n" + scan + " (page 2): QRCode: Seite zwei\n" + scan +
                                " (page 3): QRCode: Seite drei\n--\n");
  Strings args = {"--json", "--jobs", "4", Code("json.png", "sagt \"Hallo\"\t\xC3\xBC")};
  const std::string found = "\",\"symbology\":\"QRCode\",\"points\":P}]}\n";
  std::string expected = "2\n{\"file\":\"" + args.back() + "\",\"results\":[{\"text\":\"sagt \\\"Hallo\\\"\\t\xC3\xBC" + found;
  for (int i = 0; i < 12; ++i) {
    args.push_back(i == 5 ? missing : Code("c" + std::to_string(i) + ".png", "Nr. " + std::to_string(i)));
    expected += "{\"file\":\"" + args.back() +
                (i == 5 ? "\",\"error\":\"No such file or directory\"}\n" : "\",\"results\":[{\"text\":\"Nr. " + std::to_string(i) + found);
  }
  args.push_back(many);
  for (int page = 1; page <= 1000; ++page) expected += "{\"file\":\"" + many + " (page " + std::to_string(page) + ")\",\"results\":[]}\n";
  const std::string limit = "more than 1000 pages; only the first 1000 pages were read";
  EXPECT_EQ(std::regex_replace(Decode(args), std::regex(R"(\[\[[-0-9,\[\]]*\]\])"), "P"),
            expected + "{\"file\":\"" + many + "\",\"error\":\"" + limit + "\"}\n--\ncodewerk decode: cannot read " + missing +
                ": No such file or directory\ncodewerk decode: " + many + ": " + limit + "\n");
}
