// Reading codes: both decoder back-end modules on real picture files (texts, corners, formats,
// degraded pictures, character sets, no codes where there are none), the rules against phantom bar
// codes, result lists (ownership, copies, reading a decoder's handle, the message text), and
// "codewerk decode" run in-process: lines for people, JSON for scripts, exit status for both.
#include "CodeReaders.h"
#include "DecodeCommand.h"
#include "Enhance.h"
#include "HostilePictures.h"
#include "LinearChecks.h"
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

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using decodecommon::DecodedSymbol;

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

template <class T> std::vector<std::string> Texts(const std::vector<T>& reads, bool sorted = true) {
  std::vector<std::string> texts;
  for (const T& r : reads) texts.push_back(r.text);
  if (sorted) std::sort(texts.begin(), texts.end());
  return texts;
}

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

// A folder of the test's own; pictures saved into it by an independent writer, as PNG or BMP by the name's ending.
template <class Base> class InFolder : public Base {
protected:
  void SetUp() override { fs::create_directories(m_dir); }
  void TearDown() override { fs::remove_all(m_dir); }
  std::string Saved(const GrayImage& image, const std::string& name) const {
    const std::string path = (m_dir / name).string();
    EXPECT_TRUE(name.ends_with(".bmp") ? SaveBmp(image, path) : SavePng(image, path)) << name;
    return path;
  }

  fs::path m_dir = fs::temp_directory_path() / ("codewerk-decoding-" + std::to_string(getpid()));
};

class DecoderBackEndTest : public InFolder<::testing::TestWithParam<BackEnd>> {
protected:
  std::vector<std::string> TextsIn(const GrayImage& image, const std::string& name, bool onlyQR = true) const {
    return Texts(GetParam().ReadFile(Saved(image, name + ".png"), onlyQR));
  }
};

// Counts its live instances, so tests see exactly what an owning list deletes.
struct Tracked {
  static inline int alive = 0;
  explicit Tracked(int v) : value(v) { ++alive; }
  ~Tracked() { --alive; }
  int value;
};

// A decoder whose handle holds results the test chose; it counts the handles freed.
class ScriptedDecoder : public CSubDlgDecode {
public:
  struct Result {
    std::string text, symbol;
    std::vector<POINT> points;
  };
  std::vector<Result> results;
  int freed = 0;
  bool giveHandle = true, brokenPointCount = false;

  void* DecodeImage(const char*, T_DecodeImageSource) override { return giveHandle ? this : nullptr; }
  int GetDecodeResultCount(void*) override { return static_cast<int>(results.size()); }
  int GetDecodeResultName(void*, int i, char* buffer, int size) override { return Copy(results.at(size_t(i)).text, buffer, size); }
  int GetDecodeResultSymbol(void*, int i, char* buffer, int size) override { return Copy(results.at(size_t(i)).symbol, buffer, size); }
  int GetDecodeResultPointArray(void*, int i, POINT* points, int max) override {
    const auto& p = results.at(size_t(i)).points;
    return brokenPointCount ? -1 : static_cast<int>(std::copy_n(p.begin(), std::min<size_t>(size_t(max), p.size()), points) - points);
  }
  void FreeDecodeResult(void*) override { ++freed; }

private:
  // As the back ends do: what fits, and the length of the whole text.
  static int Copy(const std::string& s, char* buffer, int size) {
    *std::copy_n(s.begin(), std::min<size_t>(size_t(size - 1), s.size()), buffer) = '\0';
    return static_cast<int>(s.size());
  }
};

struct Outcome {
  int exitCode;
  std::string out, err;
};

class DecodeCommandTest : public InFolder<::testing::Test> {
protected:
  void TearDown() override {
    GetQRCodeKonfiguration() = m_settings; // the command changes this process's settings
    InFolder::TearDown();
  }
  Outcome Decode(std::vector<std::string> args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int rc = RunDecodeCommand(args, in, out, err);
    return {rc, out.str(), err.str()};
  }
  std::string Code(const std::string& name, const std::string& text, int module = 4, int border = 8) {
    return Saved(WithQuietZone(RenderCode(text, module), border), name);
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
  const std::vector<std::string> url = {kUrl}, isbn = {"9783161484100"};
  struct Case {
    std::string name;
    GrayImage picture;
    std::vector<std::string> texts;
    bool onlyQR = true, bmpToo = false;
  };
  const Case cases[] = {
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
  for (const Case& c : cases)
    for (const char* ext : {".png", ".bmp"})
      if (c.bmpToo || ext == std::string(".png")) {
        EXPECT_EQ(Texts(GetParam().ReadFile(Saved(c.picture, c.name + ext), c.onlyQR)), c.texts) << c.name << ext;
      }
  for (const Read& r : GetParam().ReadFile(m_dir / "all formats.png", false))
    EXPECT_TRUE(r.text != "9783161484100" || (r.symbology == "EAN-13" && r.corners.size() == 4)) << r.symbology; // as actions need
  if (GetParam().decode == kZXing.decode) { // a webcam frame gives one code, a scanned page every
    void* single = ZXING_DecodeImageSingleResult((m_dir / "two codes.png").c_str(), true);
    EXPECT_EQ(ZXING_GetDecodeResultCount(single), 1);
    ZXING_FreeDecodeResult(single);
  }
  // The corners are the symbol's, in one order: turned a quarter clockwise, its top-left corner is at
  // the picture's top right, its top-right below it.
  const auto reads = GetParam().ReadFile(m_dir / "offset.png"), turned = GetParam().ReadFile(m_dir / "turned90.png");
  ASSERT_TRUE(reads.size() == 1 && turned.size() == 1 && reads[0].corners.size() == 4 && turned[0].corners.size() == 4);
  const int n = code.width; // 29 modules of 4 pixels
  const POINT expected[4] = {{301, 173}, {301 + n, 173}, {301 + n, 173 + n}, {301, 173 + n}}, *c = turned[0].corners.data();
  for (size_t i = 0; i < 4; ++i)
    EXPECT_TRUE(std::abs(reads[0].corners[i].x - expected[i].x) <= 2 && std::abs(reads[0].corners[i].y - expected[i].y) <= 2)
        << "corner " << i << " at " << reads[0].corners[i].x << "," << reads[0].corners[i].y;
  EXPECT_TRUE(c[0].x > c[2].x && c[0].y < c[2].y && c[1].y > c[0].y + n / 2) << c[0].x << "," << c[0].y << " " << c[1].y << " " << c[2].x;
}

TEST_P(DecoderBackEndTest, NothingIsFoundWhereThereIsNoCode) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    const std::string path = Saved(CodelessScene(800, 600, seed), "scene" + std::to_string(seed) + ".png");
    void* handle = GetParam().decode(path.c_str(), false);
    EXPECT_EQ(handle, nullptr) << "scene " << seed << ": " << Texts(GetParam().ReadFile(path, false)).front();
    GetParam().release(handle);
  }
  EXPECT_EQ(GetParam().decode((m_dir / "missing.png").c_str(), true), nullptr);
  EXPECT_EQ(GetParam().decode(nullptr, true), nullptr);
}

TEST_P(DecoderBackEndTest, TextsComeBackInTheirOwnCharacters) {
  const std::string grusse = "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC"; // Grüße €
  const std::pair<const char*, std::pair<GrayImage, std::string>> cases[] = {
      {"ours", {Framed(RenderCode(grusse, 4)), grusse}}, {"utf-8 without eci", {RawQr(grusse, 0), grusse}},
      {"latin-1 eci 3", {RawQr("Gr\xFC\xDF" "e", 3), "Gr\xC3\xBC\xC3\x9F" "e"}}, {"greek eci 9", {RawQr("\xA4 5", 9), "\xE2\x82\xAC 5"}},
      {"latin-1 without eci", {RawQr("Gr\xFC\xDF" "e", 0), "Gr\xC3\xBC\xC3\x9F" "e"}},
      {"shift-jis without eci", {RawQr("\x83\x65\x83\x58\x83\x67", 0), "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88"}},
      {"half-width katakana without eci", {RawQr("\xC3\xDE\xBB\xDE\xB2\xDD", 0), // ﾃﾞｻﾞｲﾝ
       "\xEF\xBE\x83\xEF\xBE\x9E\xEF\xBD\xBB\xEF\xBE\x9E\xEF\xBD\xB2\xEF\xBE\x9D"}},
      {"kanji eci 20", {RawQr("\x93\xFA\x96\x7B\x8C\xEA", 20), "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"}}, // 日本語
      {"kanji and ascii without eci", {RawQr("\x95\x69\x94\xD4 A-12", 0), "\xE5\x93\x81\xE7\x95\xAA A-12"}}, // 品番
      {"latin-1 that is also katakana", {RawQr("\xC4rger", 0), "\xC3\x84rger"}}, // Ärger
      {"one latin-1 sign", {RawQr("25\xB0" "C", 0), "25\xC2\xB0" "C"}},          // 25°C
  };
  for (const auto& [what, c] : cases) EXPECT_EQ(TextsIn(c.first, what), std::vector<std::string>{c.second}) << what;
  if (GetParam().decode != kZXing.decode) return;
  // ECI text beyond U+10FFFF, which iconv converts without complaint, still comes back as UTF-8.
  const auto texts = TextsIn(RawQr("Gr\xF4\x90\x80\x80" "e", 26), "beyond");
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_TRUE(IsValidUTF8(texts[0].data(), texts[0].size())) << ::testing::PrintToString(texts[0]);
}

TEST_P(DecoderBackEndTest, BuffersAreFilledToFitAndTheWholeLengthIsTold) {
  const std::string text = "\xC3\xA4\xC3\xB6\xC3\xBC-abc"; // äöü-abc, 10 bytes
  const BackEnd& b = GetParam();
  void* handle = b.decode(Saved(Framed(RenderCode(text, 4)), "buffers.png").c_str(), true);
  ASSERT_EQ(b.count(handle), 1);
  char buffer[11];
  std::memset(buffer, 'x', sizeof buffer);
  // "äö" fits in 6 bytes, half a "ü" does not; and there is no second result.
  for (const auto& [index, size, told, kept] :
       {std::tuple{0, 6, 10, "\xC3\xA4\xC3\xB6"}, {0, 1, 10, ""}, {0, 11, 10, text.c_str()}, {1, 8, 0, ""}})
    EXPECT_TRUE(b.text(handle, index, buffer, size) == told && std::string(buffer) == kept) << size << ": " << buffer;
  POINT points[4];
  EXPECT_EQ((std::vector<int>{b.text(handle, 0, nullptr, 0), b.points(handle, 0, points, 2), b.points(handle, 7, points, 4)}),
            (std::vector<int>{10, 2, 0}));
  b.release(handle);
  EXPECT_EQ(b.count(nullptr), 0);
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
            std::vector<std::string>{kUrl});
}

TEST(LinearChecksTest, NestedAndDisagreeingBarCodesGoUnlessAnotherLookAgrees) {
  const auto ean = Symbol("EAN-13", "4006381333931", 100, 200, 400, 200);
  const auto misread = Symbol("EAN-13", "4006381833931", 110, 230, 390, 230);
  const auto qr = Symbol("QRCode", "x", 500, 100, 700, 300);
  struct Case {
    const char* what;
    std::vector<DecodedSymbol> found, otherLook;
    std::vector<std::string> kept;
  };
  const Case cases[] = {
      {"a UPC-E inside an EAN-13", {ean, Symbol("UPC-E", "01234565", 200, 210, 300, 210)}, {}, {ean.text}},
      {"a bar code inside a QR code", {qr, Symbol("Code128", "ab", 550, 150, 650, 160)}, {}, {"x"}},
      {"bar codes apart", {ean, Symbol("UPC-E", "01234565", 500, 400, 600, 400)}, {}, {ean.text, "01234565"}},
      {"two texts at one place, no other look", {ean, misread}, {}, {}},
      {"two texts at one place, the other look agrees with one", {ean, misread}, {ean}, {ean.text}},
      {"the other look agrees at another place only", {ean, misread}, {Symbol("EAN-13", "4006381333931", 600, 500, 790, 500)}, {}},
  };
  for (const Case& c : cases) {
    std::vector<DecodedSymbol> symbols = c.found;
    decodecommon::DropNestedLinearCodes(symbols);
    if (decodecommon::HasDisagreeingLinearCodes(symbols)) decodecommon::SettleDisagreements(symbols, c.otherLook);
    EXPECT_EQ(Texts(symbols, false), c.kept) << c.what;
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
    std::vector<std::vector<DecodedSymbol>> looks; // as plain, inverted, thresholded, …
    std::vector<std::string> kept;
  };
  const Case cases[] = {
      {"a bar code in the inverted picture only", {{}, {ean}, {}, {}, {}}, {}},
      {"the same bar code in two changed pictures", {{}, {ean}, {ean}}, {ean.text}},
      {"a QR code in one changed picture", {{}, {qr}}, {"x"}},
      {"found in the picture as it is", {{ean}}, {ean.text}},
  };
  for (const Case& c : cases) {
    RasterImage image{64, 64, PixelFormat::Gray8, PixelBuffer(64 * 64, 200)};
    std::size_t call = 0;
    const auto read = [&](const RasterImage&) { return call < c.looks.size() ? c.looks[call++] : std::vector<DecodedSymbol>{}; };
    EXPECT_EQ(Texts(decodecommon::ReadWithSecondLooks(image, read), false), c.kept) << c.what;
  }
}

TEST(DTemplateArrayTest, AnOwningListDeletesWhatItClearsAndHoldsFindsAndVisitsWhatIsAppendedWhileVisiting) {
  {
    CDTemplateArray<Tracked> list(1);
    for (int i = 0; i < 5; ++i) list.Add(new Tracked(i));
    list.Add(nullptr); // skipped by Clear and ForEach
    list.Clear(3);
    list.Clear(9); // beyond the end: nothing happens
    EXPECT_EQ((std::vector<int>{list.GetSize(), Tracked::alive, list.GetIndex(list[1]), list.GetIndex(&list)}),
              (std::vector<int>{3, 3, 1, -1}));
    int visits = 0;
    list.ForEach([&](Tracked* t) {
      if (++visits == 1) list.Add(new Tracked(t->value + 10)); // appended while visiting: visited too
    });
    EXPECT_EQ(visits, 4);
    EXPECT_THROW(list.GetAt(4), std::invalid_argument);
  }
  EXPECT_EQ(Tracked::alive, 0);
  Tracked a(1), b(2);
  {
    CDTemplateArray<Tracked> borrowed(0);
    borrowed.Add(&a);
    borrowed.Clear(0);
    EXPECT_EQ(borrowed.GetSize(), 0);
    borrowed.Add(&b);
  }
  EXPECT_EQ(Tracked::alive, 2); // a list that does not own deletes nothing
}

TEST(DecodeResultArrayTest, CopiesAreDeepAssignmentKeepsOwnershipAndTheMessageJoinsResults) {
  CDecodeResultArray source(1);
  CArray<POINT, POINT> points;
  points.Add({1, 2}), points.Add({3, 4});
  EXPECT_EQ(source.GetMessageText(true), "");
  source.AddDecodeResult("A", "QRCode", points);
  source.AddDecodeResult("B", "EAN-13", points);
  EXPECT_EQ(source.GetMessageText(false), "A\nB");
  EXPECT_EQ(source.GetMessageText(true), "QRCode: A\nEAN-13: B");

  CDecodeResultArray copy(source);
  ASSERT_EQ(copy.GetSize(), 2);
  EXPECT_TRUE(copy[0] != source[0] && copy[1]->m_arPoints.GetSize() == 2);
  copy[0]->m_strText = "changed";
  copy = copy; // self-assignment changes nothing
  EXPECT_EQ(source[0]->m_strText.str() + copy[0]->m_strText.str() + std::to_string(copy.GetSize()), "Achanged2");

  CDecodeResultArray borrowed(0), owning(1);
  borrowed.Add(source[1]);
  owning.AddDecodeResult("old", "x", points);
  owning = borrowed;
  ASSERT_EQ(owning.GetSize(), 1);
  EXPECT_TRUE(owning[0] != source[1] && owning[0]->m_strText == "B");
  EXPECT_EQ(owning.m_bOwnsItems + copy.m_bOwnsItems, 2);
  borrowed.RemoveAll(); // it never owned source's result
}

// Long texts are asked for again with the length the back end needs; the handle is freed only when asked.
TEST(DecodeResultArrayTest, ReadingAHandleTakesEveryResultWholeAndFreesOnlyWhenAsked) {
  ScriptedDecoder decoder;
  decoder.results = {{std::string(999, 'a'), "QRCode", {{1, 1}, {9, 9}}}, {std::string(1000, 'b'), std::string(1200, 's'), {}}};
  CDecodeResultArray results;
  CArray<POINT, POINT> none;
  results.AddDecodeResult("schon da", "x", none);
  results.AddDecodeResult(decoder, &decoder);
  ASSERT_EQ(results.GetSize(), 3); // what was there stays
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(results[static_cast<int>(i) + 1]->m_strText.str(), decoder.results[i].text);
    EXPECT_EQ(results[static_cast<int>(i) + 1]->m_strSymbol.str(), decoder.results[i].symbol);
    EXPECT_EQ(results[static_cast<int>(i) + 1]->m_arPoints.GetSize(), static_cast<int>(decoder.results[i].points.size()));
  }
  results.AddDecodeResult(decoder, nullptr);
  EXPECT_TRUE(decoder.GetDecodedImageTextFromResult(&decoder, results, false));
  EXPECT_FALSE(decoder.GetDecodedImageTextFromResult(nullptr, results, true));
  EXPECT_EQ(results.GetSize(), 5);
  EXPECT_EQ(decoder.freed, 0);
  decoder.brokenPointCount = true; // a back end reporting -1 points is a broken contract
  EXPECT_THROW(results.AddDecodeResult(decoder, &decoder), std::invalid_argument);

  decoder.results.clear();
  EXPECT_TRUE(decoder.GetDecodedImageText("any.bmp", results, T_DecodeImageSource_Datei)); // zero results, still true
  EXPECT_EQ(decoder.freed, 1);
  decoder.giveHandle = false;
  EXPECT_FALSE(decoder.GetDecodedImageText("any.bmp", results, T_DecodeImageSource_Datei));
  EXPECT_EQ(decoder.freed, 1);
}

// Line breaks shown, points on asking, several files named, an unreadable one not stopping the
// others, and all formats for this run only.
TEST_F(DecodeCommandTest, OneLinePerCodeForPeopleWithTheStatusForScripts) {
  const std::string file = Code("zwei.png", "zwei\nZeilen \\ Ende"), empty = Saved(Canvas(100, 100), "leer.png");
  const std::string broken = (m_dir / "kaputt.png").string(), ean = Saved(WithQuietZone(RenderEan13("978316148410", 2), 10), "ean.png");
  std::ofstream(broken) << "not a picture";
  Outcome o = Decode({file});
  EXPECT_EQ(o.exitCode, 0) << o.err;
  EXPECT_EQ(o.out, "QRCode: zwei\\nZeilen \\\\ Ende\n");
  o = Decode({file, broken, empty});
  EXPECT_EQ(o.exitCode, 2);
  EXPECT_EQ(o.out, file + ": QRCode: zwei\\nZeilen \\\\ Ende\n");
  EXPECT_NE(o.err.find("cannot read " + broken + ": not a picture file"), std::string::npos) << o.err;
  EXPECT_NE(o.err.find("no code found in " + empty), std::string::npos);
  EXPECT_EQ(Decode({empty}).exitCode, 1);
  EXPECT_EQ(Decode({ean}).exitCode, 1); // the settings say: QR codes only
  EXPECT_EQ(Decode({"--all-formats", ean}).out, "EAN-13: 9783161484100\n");
  o = Decode({"--decoder", "zbar", "--points", file});
  EXPECT_EQ(o.out.rfind("QR-Code: zwei\\nZeilen \\\\ Ende  [", 0), 0u) << o.out;
  EXPECT_NE(o.out.find("  [9,9 "), std::string::npos) << o.out; // the code's top-left corner, give or take a pixel
  using Args = std::vector<std::string>;
  for (const Args& args : {Args{}, Args{"--decoder", "quagga", "x.png"}, Args{"--fast", "x.png"}, Args{"--jobs", "0", file}}) {
    const Outcome bad = Decode(args);
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.err.find("usage:"), std::string::npos) << bad.err;
  }
}

// As much as a QR code holds: 2953 bytes, version 40, read whole by both decoders through the
// pages that hosts use and printed whole by the command.
TEST_F(DecodeCommandTest, AVersion40CodeArrivesWholeAndTheSettingsPickTheDecoder) {
  std::string text;
  for (int line = 0; text.size() < 2953; ++line) text += "Zeile " + std::to_string(line) + ": alles, was hineinpasst; ";
  text.resize(2953);
  const std::string v40 = Code("v40.png", text, 3, 12);
  for (T_QRCodeKonfiguration_Decoder decoder : {Decoder_ZBar, Decoder_ZXing, Decoder_ZXingZBar}) {
    GetQRCodeKonfiguration().m_eDecoder = decoder;
    std::unique_ptr<CSubDlgDecode> page(CreateCurrentDecoder());
    CDecodeResultArray results;
    ASSERT_TRUE(page->GetDecodedImageText(v40.c_str(), results, T_DecodeImageSource_Scanner)) << decoder;
    ASSERT_EQ(results.GetSize(), 1);
    EXPECT_EQ(results[0]->m_strText.str(), text) << "decoder " << decoder;
    EXPECT_EQ(dynamic_cast<CSubDlgDecode_ZBar*>(page.get()) != nullptr, decoder == Decoder_ZBar) << decoder;
    EXPECT_FALSE(page->HasWindow());
  }
  GetQRCodeKonfiguration().m_eDecoder = static_cast<T_QRCodeKonfiguration_Decoder>(3); // outside the enumeration
  EXPECT_NE(dynamic_cast<CSubDlgDecode_ZBar*>(std::unique_ptr<CSubDlgDecode>(CreateCurrentDecoder()).get()), nullptr);
  for (const char* decoder : {"zxing", "zbar"}) {
    const Outcome o = Decode({"--decoder", decoder, v40});
    EXPECT_EQ(o.exitCode, 0) << decoder << o.err;
    EXPECT_EQ(o.out.substr(o.out.find(": ") + 2), text + "\n") << decoder;
  }
}

TEST_F(DecodeCommandTest, EveryPageOfAScanIsReadAndMarkedUpToThePageLimit) {
  const std::string a = Code("a.png", "Seite eins"), b = Code("b.png", "Seite zwei"), c = Code("c.png", "Seite drei");
  const std::string scan = (m_dir / "scan.tif").string();
  ASSERT_EQ(std::system(("convert " + a + " " + b + " " + c + " -compress lzw " + scan).c_str()), 0);
  Outcome o = Decode({scan});
  EXPECT_EQ(o.exitCode, 0);
  EXPECT_EQ(o.out, scan + " (page 1): QRCode: Seite eins\n" + scan + " (page 2): QRCode: Seite zwei\n" + scan +
                       " (page 3): QRCode: Seite drei\n");

  const std::string many = (m_dir / "tiff-10000-pages.tif").string();
  for (const HostileFile& file : MakeHostilePictures())
    if (file.name == "tiff-10000-pages.tif")
      std::ofstream(many, std::ios::binary).write(reinterpret_cast<const char*>(file.bytes.data()), static_cast<long>(file.bytes.size()));
  o = Decode({"--json", many});
  EXPECT_EQ(o.exitCode, 2);
  EXPECT_NE(o.out.find("{\"file\":\"" + many + " (page 1000)\",\"results\":[]}"), std::string::npos);
  EXPECT_EQ(o.out.find("(page 1001)"), std::string::npos);
  EXPECT_NE(o.err.find(many + ": more than 1000 pages; only the first 1000 pages were read"), std::string::npos) << o.err;
}

// JSON for scripts, escaped; a batch on several threads comes out in the files' order with the bad one on its own line.
TEST_F(DecodeCommandTest, JsonObjectsPerFileInTheFilesOrder) {
  std::vector<std::string> args = {"--json", "--jobs", "4", Code("json.png", "sagt \"Hallo\"\t\xC3\xBC")}, expected;
  expected.push_back("{\"file\":\"" + args.back() +
                     "\",\"results\":[{\"text\":\"sagt \\\"Hallo\\\"\\t\xC3\xBC\",\"symbology\":\"QRCode\",\"points\":[[");
  for (int i = 0; i < 12; ++i) {
    args.push_back(i == 5 ? (m_dir / "fehlt.png").string() : Code("c" + std::to_string(i) + ".png", "Nr. " + std::to_string(i)));
    expected.push_back(i == 5 ? "{\"file\":\"" + args.back() + "\",\"error\":\"No such file or directory\"}"
                              : "{\"file\":\"" + args.back() + "\",\"results\":[{\"text\":\"Nr. " + std::to_string(i) + "\"");
  }
  const Outcome o = Decode(args);
  EXPECT_EQ(o.exitCode, 2);
  std::istringstream lines(o.out);
  std::string line;
  for (const std::string& start : expected) {
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line.rfind(start, 0), 0u) << line;
  }
  EXPECT_FALSE(std::getline(lines, line)) << line;
}

TEST_F(DecodeCommandTest, NamesComeFromStandardInputByLineOrByNul) {
  const std::string a = Code("a b.png", "erste"), b = Code("b.png", "zweite");
  for (const auto& [flags, input] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"-"}, a + "\n\n" + b + "\n"}, {{"--null", "-"}, a + '\0' + b + '\0'}, {{"--jobs", "1", "-"}, a + "\n" + b}}) {
    const Outcome o = Decode(flags, input);
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(o.out, a + ": QRCode: erste\n" + b + ": QRCode: zweite\n");
  }
}

TEST_F(DecodeCommandTest, ABrokenSettingsFileIsOneLineOnStandardErrorAndTheDefaultsServe) {
  CQRCodeKonfiguration& settings = GetQRCodeKonfiguration();
  const std::string path = settings.GetStammdatenName().str();
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path) << "[A]\nDec 1\n";
  settings.Laden();
  const Outcome o = Decode({Code("code.png", "trotzdem")});
  EXPECT_EQ(o.exitCode, 0);
  EXPECT_EQ(o.out, "QRCode: trotzdem\n");
  EXPECT_EQ(o.err, "codewerk: the settings file " + path + " cannot be read (line 2 is no setting); the defaults are in use\n");
  fs::remove(path);
  settings.Laden();
}
