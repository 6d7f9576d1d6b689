// Encoding end to end: the code-page conversions, GetEncodedBitmap's exact layout, calculators and
// failure paths, the encoder back-end modules against their raw
// libraries, the items' character sets, text -> code -> BMP file -> independent readers -> the same
// bytes for both back ends, and "codewerk encode" run in-process: files a user can use, read back
// at the size asked for, and what a script sees when something is wrong.
#include "CodeFileChecks.h"
#include "CodeReaders.h"
#include "EncodeCommand.h"
#include "encode/CalcAusdehnung.h"
#include "encode/EncodedBitmap.h"
#include "encode/EncoderGetCodeItem_QREncode.h"
#include "encode/EncoderGetCodeItem_ZInt.h"
#include "outside/CodePage.h"
#include "outside/DibServices.h"
#include "outside/GlobalMemory.h"
#include "outside/TextServices.h"
#include "outside/tq_qrencode.h"
#include "outside/tq_zint.h"

#include <gtest/gtest.h>
#include <qrencode.h>
#include <zint.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
struct AnsiCodePage {
  explicit AnsiCodePage(const char* name) { SetAnsiCodeSetName(name); }
  ~AnsiCodePage() { SetAnsiCodeSetName(nullptr); }
};

// Dense codes can show a reader phantom linear symbols too; only the QR code is of interest.
std::string QrText(std::vector<ReadCode> codes) {
  std::erase_if(codes, [](const ReadCode& c) { return c.format != "QRCode" && c.format != "QR-Code"; });
  return codes.size() == 1 ? codes[0].text : "<read " + std::to_string(codes.size()) + " codes>";
}

// What ZBar reads from a code handle, drawn at four pixels per module with a quiet zone.
std::string ReadHandle(CEncoderItemBase& item, void* code) {
  GrayImage image{item.GetCodeWidth(code), item.GetCodeHeight(code), {}};
  for (int row = 0; row < image.height; ++row)
    for (int column = 0; column < image.width; ++column) image.pixels.push_back(item.IsCodeBitSet(code, row, column) ? 0 : 255);
  item.DoneCode(code);
  return QrText(ReadWithZBar(WithQuietZone(image, 4, 4)));
}

// What zxing-cpp and ZBar read from the text encoded at three pixels a module, written as BMP and loaded by stb_image.
std::vector<std::string> ReadBack(CEncoderItemBase& item, const CString& text) {
  CSubDlgEncodeBaseCalcAusdehnungFest calc(3, 3);
  HGLOBAL dib = GetEncodedBitmap(text, item, calc, 0, 0xFFFFFF);
  const std::string path = (fs::temp_directory_path() / ("codewerk-roundtrip-" + std::to_string(getpid()) + ".bmp")).string();
  if (!dib || !WriteDIB(path.c_str(), dib)) return {"<no code>"};
  GlobalFree(dib);
  const GrayImage image = WithQuietZone(LoadGrayWithStb(path), 12);
  fs::remove(path);
  return {QrText(ReadWithZXing(image)), QrText(ReadWithZBar(image))};
}

std::wstring ToWide(UINT codePage, const std::string& bytes) {
  std::wstring wide(bytes.size() + 1, L'\0');
  wide.resize(size_t(MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), wide.data(), int(wide.size()))));
  return wide;
}

std::string ToBytes(UINT codePage, const std::wstring& wide) {
  std::string bytes(4 * wide.size() + 1, '\0');
  bytes.resize(size_t(WideCharToMultiByte(codePage, 0, wide.data(), int(wide.size()), bytes.data(), int(bytes.size()), nullptr, nullptr)));
  return bytes;
}

struct Outcome {
  int exitCode;
  std::string out, err;
};

Outcome RunEncode(std::vector<std::string> args, const std::string& input = "") {
  std::FILE* in = input.empty() ? std::fopen("/dev/null", "r") : fmemopen(const_cast<char*>(input.data()), input.size(), "r");
  char *outText = nullptr, *errText = nullptr;
  std::size_t outSize = 0, errSize = 0;
  std::FILE* out = open_memstream(&outText, &outSize);
  std::FILE* err = open_memstream(&errText, &errSize);
  const int rc = RunEncodeCommand(args, in, out, err);
  std::fclose(in), std::fclose(out), std::fclose(err);
  Outcome outcome{rc, std::string(outText, outSize), std::string(errText, errSize)};
  std::free(outText), std::free(errText);
  return outcome;
}

class EncodeCommandTest : public ::testing::Test {
protected:
  void SetUp() override { fs::create_directories(m_dir); }
  void TearDown() override { fs::remove_all(m_dir); }
  std::string Path(const std::string& name) const { return (m_dir / name).string(); }

  fs::path m_dir = fs::temp_directory_path() / ("codewerk-encode-cli-" + std::to_string(getpid()));
};


// A code whose modules the test chooses; it records how it is used.
class PatternEncoder : public CEncoderItemBase {
public:
  explicit PatternEncoder(std::vector<std::string> rows) : m_rows(std::move(rows)) {}

  CString GetNameBibliothek() override { return "Pattern"; }
  void* GetCodeItem(const CString& text) override { return ++made, lastText = text.str(), refuse ? nullptr : this; }
  int GetCodeWidth(void*) override { return widthOverride >= 0 ? widthOverride : static_cast<int>(m_rows[0].size()); }
  int GetCodeHeight(void*) override { return static_cast<int>(m_rows.size()); }
  bool IsCodeBitSet(void*, int row, int column) override {
    maxRowAsked = std::max(maxRowAsked, row);
    return m_rows[static_cast<size_t>(row)][static_cast<size_t>(column)] == '#';
  }
  void DoneCode(void* code) override {
    EXPECT_EQ(code, this);
    ++done;
  }

  bool refuse = false;
  int widthOverride = -1, made = 0, done = 0, maxRowAsked = -1;
  std::string lastText;

private:
  std::vector<std::string> m_rows;
};

// The block of a rendering, freed with the test's scope.
struct Bitmap {
  Bitmap(CEncoderItemBase& encoder, CSubDlgEncodeBaseCalcAusdehnungBase&& calc, const char* text = "x", DWORD dark = 0,
         DWORD light = 0xFFFFFF)
      : handle(GetEncodedBitmap(text, encoder, calc, dark, light)) {}
  ~Bitmap() { if (handle) GlobalFree(handle); }
  const BITMAPINFOHEADER& header() const { return *static_cast<const BITMAPINFOHEADER*>(GlobalLock(handle)); }
  const BYTE* pixels() const { return static_cast<const BYTE*>(GlobalLock(handle)) + 40; }
  HGLOBAL handle;
};

PatternEncoder Square(int modules, char module) { return PatternEncoder(std::vector<std::string>(modules, std::string(modules, module))); }

} // namespace

TEST(CodePageTest, ConversionsInUtf8Windows1252AndTheAnsiCodePage) {
  const std::string text = "A\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80"; // A ä € 😀
  const std::wstring wide = {L'A', 0xE4, 0x20AC, static_cast<wchar_t>(0x1F600)};
  EXPECT_EQ(ToWide(CP_UTF8, text), wide);
  EXPECT_EQ(ToBytes(CP_UTF8, wide), text);
  EXPECT_EQ(ToWide(CP_UTF8, "a\xFF" "b\xE2\x82"), (std::wstring{L'a', 0xFFFD, L'b', 0xFFFD, 0xFFFD})); // invalid bytes replaced
  EXPECT_EQ(ToWide(1252, "\xE4\x80"), (std::wstring{0xE4, 0x20AC}));
  EXPECT_EQ(ToBytes(1252, std::wstring{0xE4, 0x20AC, L'a', static_cast<wchar_t>(0x1F600)}), "\xE4\x80" "a?");
  // A length of -1 converts up to the terminator and counts it.
  WCHAR out[3] = {L'x', L'x', L'x'};
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "ab", -1, nullptr, 0), 3);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "ab", -1, out, 3), 3);
  EXPECT_EQ(out[2], L'\0');
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"\u00e4", -1, nullptr, 0, nullptr, nullptr), 3);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, out, 1), 0); // destination too small
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 0, nullptr, 0), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, nullptr, -1, nullptr, 0), 0);
  EXPECT_TRUE(IsValidUTF8("", 0));
  EXPECT_TRUE(IsValidUTF8("Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80", 12));
  EXPECT_FALSE(IsValidUTF8("Gr\xFC\xDF" "e", 5));       // Latin-1
  EXPECT_FALSE(IsValidUTF8("\xF4\x90\x80\x80", 4));     // above U+10FFFF
  EXPECT_FALSE(IsValidUTF8("\xE2\x82", 2));             // cut short
  // The ANSI code page decides what GetAsUTF8String converts.
  {
    AnsiCodePage cp("CP1252");
    EXPECT_EQ(GetAsUTF8String("\xE4 \x80"), "\xC3\xA4 \xE2\x82\xAC");
    EXPECT_EQ(GetAsUTF8String("plain"), "plain");
  }
  AnsiCodePage cp("UTF-8");
  EXPECT_EQ(GetAsUTF8String("\xC3\xA4"), "\xC3\xA4");
  EXPECT_EQ(GetAsUTF8String("\xE4"), "\xEF\xBF\xBD"); // not UTF-8: replaced, as the conversion does
  SetAnsiCodeSetName(nullptr);
  EXPECT_STRNE(GetAnsiCodeSetName(), "ANSI_X3.4-1968"); // an unset locale counts as UTF-8
}

TEST(EncoderBackEndTest, ModulesMatchTheRawLibrariesAndRefusalsGiveNullHandles) {
  for (const char* text :
       {"hello", "https://www.example.org/path?q=1", "12345678901234567890", "MiXeD case Text with 0123 and symbols $%*+-./:"}) {
    std::unique_ptr<QRcode, decltype(&QRcode_free)> raw(QRcode_encodeString(text, 0, QR_ECLEVEL_L, QR_MODE_8, 1), QRcode_free);
    std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)> raster(ZBarcode_Create(), ZBarcode_Delete);
    raster->symbology = BARCODE_QRCODE, raster->input_mode = UNICODE_MODE, raster->option_1 = 1;
    raster->scale = 0.5f; // one pixel per module
    ASSERT_TRUE(raw && ZBarcode_Encode_and_Buffer(raster.get(), reinterpret_cast<const unsigned char*>(text), 0, 0) < ZINT_ERROR);
    void* qr = QREncode_GetCode(text, 0);
    void* zint = ZInt_GetCode(text, 1, 58, 1, 0);
    ASSERT_TRUE(qr && zint) << text;
    ASSERT_EQ((std::vector<int>{QREncode_GetCodeWidth(qr), QREncode_GetCodeHeight(qr), ZInt_GetCodeWidth(zint), ZInt_GetCodeHeight(zint)}),
              (std::vector<int>{raw->width, raw->width, raster->bitmap_width, raster->bitmap_height})) << text;
    for (int row = 0; row < raw->width; ++row)
      for (int column = 0; column < raw->width; ++column)
        ASSERT_EQ(QREncode_IsCodeBitSet(qr, row, column), raw->data[row * raw->width + column] & 1)
            << text << " at " << row << "," << column;
    for (int row = 0; row < raster->bitmap_height; ++row)
      for (int column = 0; column < raster->bitmap_width; ++column)
        ASSERT_EQ(ZInt_IsCodeBitSet(zint, row, column) != 0, raster->bitmap[3 * (row * raster->bitmap_width + column)] == 0)
            << text << " at " << row << "," << column;
    EXPECT_EQ(QREncode_IsCodeBitSet(qr, raw->width, 0) + QREncode_IsCodeBitSet(qr, 0, -1), 0);
    QREncode_DoneCode(qr), ZInt_DoneCode(zint);
  }
  EXPECT_EQ(QREncode_GetCode("", 0), nullptr);
  EXPECT_EQ(QREncode_GetCode(nullptr, 0), nullptr);
  EXPECT_EQ(QREncode_GetCode("x", 7), nullptr); // no such error-correction level
  EXPECT_EQ(ZInt_GetCode("", 1, 58, 1, 0), nullptr);
  EXPECT_EQ(ZInt_GetCode(nullptr, 1, 58, 1, 0), nullptr);
  EXPECT_EQ(ZInt_GetCode("\xFF\xFE", 1, 58, 1, 0), nullptr); // not UTF-8 where UTF-8 was promised
  EXPECT_EQ(ZInt_GetCode(std::string(40, 'x').c_str(), 1, 58, 1, 1), nullptr); // version 1 too small
}

// UTF-8 reaches zint converted once, ANSI bytes handed to the item directly are converted, and
// ANSI text reaches both back ends as UTF-8 through GetEncodedBitmap.
TEST(EncoderItemTest, TextsReachTheBackEndsAsUtf8WhateverTheAnsiCodePage) {
  const char* const grusse = "Gr\xC3\xBC\xC3\x9F" "e";
  CEncoderGetCodeItem_ZInt zint;
  CEncoderGetCodeItem_QREncode qr;
  for (const char* codePage : {"UTF-8", "CP1252"}) {
    AnsiCodePage cp(codePage);
    EXPECT_EQ(ReadHandle(zint, zint.GetCodeItem(grusse)), grusse) << "ANSI code page " << codePage;
  }
  AnsiCodePage cp("CP1252");
  EXPECT_EQ(ReadHandle(zint, zint.GetCodeItem("\xE4\x80")), "\xC3\xA4\xE2\x82\xAC"); // "ä€" from 1252 bytes
  EXPECT_EQ(ReadBack(zint, "\xE4"), (std::vector<std::string>(2, "\xC3\xA4")));
  EXPECT_EQ(ReadBack(qr, "\xE4"), (std::vector<std::string>(2, "\xC3\xA4")));
}

class EncodeRoundTripTest : public ::testing::TestWithParam<bool> {
protected:
  CEncoderGetCodeItem_QREncode m_qr;
  CEncoderGetCodeItem_ZInt m_zint;
  CEncoderItemBase& Item() { return GetParam() ? static_cast<CEncoderItemBase&>(m_zint) : m_qr; }
};

TEST_P(EncodeRoundTripTest, EveryKindOfTextComesBackByteForByteUpToTheLongestAccepted) {
  std::string thousand, longest; // only lower-case letters: no digit or capital run that a denser mode could pack
  while (thousand.size() < 1000) thousand += "abcdefghijklmnopqrstuvwxyz0123456789 ";
  while (longest.size() < 2953) longest += static_cast<char>('a' + longest.size() % 26);
  const std::pair<const char*, std::string> samples[] = {
      {"ascii", "https://www.example.org/path?q=1&r=2"},
      {"umlauts", "Gr\xC3\xBC\xC3\x9F" "e aus K\xC3\xB6ln"},
      {"euro", "\xE2\x82\xAC 5"},
      {"emoji", "ok \xF0\x9F\x98\x80 \xF0\x9F\x8E\x89"},
      {"vcard", "BEGIN:VCARD\nVERSION:3.0\nN:M\xC3\xBCller;J\xC3\xBCrgen;;;\nFN:J\xC3\xBCrgen M\xC3\xBCller\n"
                "ORG:B\xC3\xA4" "ckerei & Co\nTEL;TYPE=work,voice:+49 30 1234567\nEMAIL:j@example.de\nEND:VCARD"},
      {"thousand", thousand.substr(0, 1000)},
      {"2953 bytes", longest},
  };
  for (const auto& [what, text] : samples) EXPECT_EQ(ReadBack(Item(), CString(text)), (std::vector<std::string>(2, text))) << what;
  CSubDlgEncodeBaseCalcAusdehnungFest calc(1, 1);
  EXPECT_EQ(GetEncodedBitmap(CString(longest + "x"), Item(), calc, 0, 0xFFFFFF), nullptr);
  EXPECT_EQ(GetEncodedBitmap(CString(""), Item(), calc, 0, 0xFFFFFF), nullptr);
}

INSTANTIATE_TEST_SUITE_P(BothBackEnds, EncodeRoundTripTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "ZInt" : "QREncode"; });

TEST_F(EncodeCommandTest, EveryFormatReadsBackWithItsQuietZoneAndAtItsSize) {
  const std::string text = "Grüße aus dem Büro: https://www.example.org/a?b=1";
  for (const char* encoder : {"qrencode", "zint"})
    for (const std::string format : {"bmp", "png", "svg", "pdf"}) {
      const std::string path = Path(std::string(encoder) + "." + format);
      const Outcome o = RunEncode({"--encoder", encoder, "--size-mm", "25", "--level", "M", text, "-o", path});
      ASSERT_EQ(o.exitCode, 0) << o.err;
      const GrayImage picture = CodeFilePicture(path);
      ASSERT_FALSE(picture.empty()) << path;
      EXPECT_GT(picture.at(2, 2), 200) << path << ": no quiet zone";
      for (const auto& codes : {ReadWithZXing(picture), ReadWithZBar(picture)})
        EXPECT_TRUE(codes.size() == 1 && codes[0].text == text) << path << ": " << codes.size() << " codes";
      int modules = 0; // 25 mm of code, the quiet zone of 4 modules on each side on top
      std::sscanf(o.out.c_str(), "%*s %*s (%d x", &modules);
      if (format == "bmp") continue;
      EXPECT_NEAR(CodeFileMillimetres(path), 25.0 * (modules + 8) / modules, 0.1) << path;
    }
}

TEST_F(EncodeCommandTest, ByDefaultFourPixelsAModuleAndFourModulesOfQuietZone) {
  const std::string path = Path("standard.png");
  const Outcome o = RunEncode({"-", "-o", path}, "zwei\nZeilen\n");
  ASSERT_EQ(o.exitCode, 0) << o.err;
  const GrayImage picture = LoadGrayWithStb(path);
  EXPECT_EQ(picture.width, (21 + 8) * 4);
  const auto codes = ReadWithZBar(picture);
  EXPECT_TRUE(codes.size() == 1 && codes[0].text == "zwei\nZeilen\n") << codes.size(); // standard input taken exactly
  EXPECT_EQ(RunEncode({"--height", "100", "x", "-o", path}).exitCode, 0);
  EXPECT_EQ(LoadGrayWithStb(path).height, 87); // 29 modules of 3 pixels
}

TEST_F(EncodeCommandTest, RefusalsAndUsageErrorsExplainThemselvesAndWriteNothing) {
  const std::string path = Path("refused.png");
  const struct {
    std::vector<std::string> args;
    std::string input;
    int exitCode;
    std::string says;
  } cases[] = {
      {{std::string(3000, 'a'), "-o", path}, "", 1, "at most 2953"}, {{"", "-o", path}, "", 1, "empty"},
      {{"--level", "H", std::string(1300, 'a'), "-o", path}, "", 1, "at most 1273"},
      {{"--module", "100000", "x", "-o", path}, "", 1, "more than 32768"}, {{"x", "-o", Path("no/such/dir/x.png")}, "", 1, "No such file"},
      {{"-", "-o", path}, std::string("a\0b", 3), 2, "NUL byte"}, {{"-", "-o", path}, "\xFF\xFE", 2, "not valid UTF-8"},
      {{"--height", "5", "x", "-o", path}, "", 2, "cannot hold a module"},
      {{"--size-mm", "1", "--dpi", "72", "x", "-o", path}, "", 2, "smaller than one pixel"},
      // usage errors: no output, an unknown encoder, module sizes not positive or not numbers, sizes given twice,
      // a resolution without a size, formats not written, an unknown option, two texts, an option without its value
      {{"x"}, "", 2, "usage:"}, {{"--encoder", "qr", "x", "-o", path}, "", 2, "usage:"},
      {{"--module", "0", "x", "-o", path}, "", 2, "usage:"}, {{"--module", "3px", "x", "-o", path}, "", 2, "usage:"},
      {{"--module", "2", "--height", "90", "x", "-o", path}, "", 2, "usage:"},
      {{"--size-mm", "20", "--module", "2", "x", "-o", path}, "", 2, "usage:"},
      {{"--dpi", "600", "x", "-o", path}, "", 2, "usage:"}, {{"--level", "X", "x", "-o", path}, "", 2, "usage:"},
      {{"x", "-o", Path("x.gif")}, "", 2, "usage:"}, {{"--format", "tiff", "x", "-o", path}, "", 2, "usage:"},
      {{"--colour", "red", "x", "-o", path}, "", 2, "usage:"}, {{"a", "b", "-o", path}, "", 2, "usage:"}, {{"x", "-o"}, "", 2, "usage:"},
  };
  for (const auto& c : cases) {
    const Outcome o = RunEncode(c.args, c.input);
    EXPECT_EQ(o.exitCode, c.exitCode) << c.args[0] << " " << c.says << ": " << o.err;
    EXPECT_NE(o.err.find(c.says), std::string::npos) << c.args[0] << ": " << o.err;
    EXPECT_FALSE(fs::exists(path)) << c.says;
  }
  EXPECT_EQ(RunEncode({"--version"}).out, std::string("codewerk ") + CODEWERK_VERSION + "\n");
}

// Twenty-one modules at one pixel make the documented block; the top-left module is stored in the
// last row, colours as blue, green, red; the text arrives as UTF-8; a one-row symbol is stretched
// to ten identical rows asking only row zero.
TEST(EncodedBitmapTest, TheBlockIsLaidOutAsDocumented) {
  CEncoderGetCodeItem_QREncode qr;
  Bitmap dib(qr, CSubDlgEncodeBaseCalcAusdehnungFest(1, 1), "hello");
  ASSERT_NE(dib.handle, nullptr);
  const BITMAPINFOHEADER& h = dib.header();
  EXPECT_EQ((std::vector<long>{long(h.biSize), h.biWidth, h.biHeight, h.biPlanes, h.biBitCount, long(h.biCompression), long(h.biSizeImage),
                               h.biXPelsPerMeter, h.biYPelsPerMeter, long(h.biClrUsed), long(h.biClrImportant)}),
            (std::vector<long>{40, 21, 21, 1, 24, 0, 1344 /* stride 64 (63 rounded up) x 21 rows */, 2835, 2835, 0, 0}));
  EXPECT_EQ(GlobalSize(dib.handle), 1384u);
  for (int row = 0; row < 21; ++row) EXPECT_EQ(dib.pixels()[row * 64 + 63], 0) << "padding of stored row " << row;
  EXPECT_EQ(GetDIBSize(dib.handle), CSize(21, 21));

  PatternEncoder code({"#..", "...", "..."});
  Bitmap coloured(code, CSubDlgEncodeBaseCalcAusdehnungFest(2, 1), "Gr\xC3\xBC\xC3\x9F" "e", 0x0000FF /* red */, 0x00FF00 /* green */);
  ASSERT_NE(coloured.handle, nullptr);
  const BYTE* lastStored = coloured.pixels() + 2 * 20; // 6 pixels x 3 bytes, padded
  EXPECT_EQ(std::vector<BYTE>(lastStored, lastStored + 9), (std::vector<BYTE>{0, 0, 0xFF, 0, 0, 0xFF, 0, 0xFF, 0}));
  EXPECT_EQ(std::vector<BYTE>(coloured.pixels(), coloured.pixels() + 3), (std::vector<BYTE>{0, 0xFF, 0})); // bottom-left light
  EXPECT_EQ(lastStored[18] + lastStored[19], 0);
  EXPECT_EQ(code.lastText, "Gr\xC3\xBC\xC3\x9F" "e");

  std::string row;
  for (int i = 0; i < 80; ++i) row += (i % 3 == 0) ? '#' : '.';
  PatternEncoder oneRow({row});
  Bitmap stretched(oneRow, CSubDlgEncodeBaseCalcAusdehnungFest(1, 1));
  ASSERT_NE(stretched.handle, nullptr);
  EXPECT_EQ(GetDIBSize(stretched.handle), CSize(80, 10));
  EXPECT_EQ(oneRow.maxRowAsked, 0);
  for (int r = 1; r < 10; ++r) EXPECT_EQ(std::memcmp(stretched.pixels(), stretched.pixels() + r * 240, 240), 0) << r;
  EXPECT_EQ((std::vector<BYTE>{stretched.pixels()[0], stretched.pixels()[3]}), (std::vector<BYTE>{0, 0xFF})); // column 0 dark, 1 light
}

// Fixed height gives square modules rounded down, and the calculator tells the last code's module size;
// a fixed size below the module count gives a header-only block.
TEST(EncodedBitmapTest, TheCalculatorsSizeTheModules) {
  PatternEncoder v2 = Square(25, '#'), v4 = Square(33, '#'), v10 = Square(57, '.');
  CSubDlgEncodeBaseCalcAusdehnungFesteHoehe again(100);
  for (auto [code, pixels, module] : {std::tuple{&v2, 100, 4}, {&v4, 99, 3}}) {
    const HGLOBAL dib = GetEncodedBitmap("x", *code, again, 0, 0xFFFFFF);
    EXPECT_EQ(GetDIBSize(dib), CSize(pixels, pixels));
    EXPECT_EQ(std::pair(again.m_cxModul, again.m_cyModul), std::pair(module, module));
    GlobalFree(dib);
  }
  Bitmap small(v10, CSubDlgEncodeBaseCalcAusdehnungFesteGroesse(CSize(50, 50)));
  ASSERT_NE(small.handle, nullptr);
  EXPECT_EQ(GlobalSize(small.handle), 40u);
  EXPECT_EQ(small.header().biWidth + small.header().biHeight + long(small.header().biSizeImage), 0);
  EXPECT_EQ(v10.done, 1);
  CSubDlgEncodeBaseCalcAusdehnungFesteGroesse wide(CSize(200, 120));
  const HGLOBAL dib = GetEncodedBitmap("x", v10, wide, 0, 0xFFFFFF);
  EXPECT_EQ(std::pair(wide.m_cxModul, wide.m_cyModul), std::pair(3, 2));
  EXPECT_EQ(GetDIBSize(dib), CSize(171, 114));
  GlobalFree(dib);
}

TEST(EncodedBitmapTest, EveryHandleIsReleasedOnceAndRefusalsAllocateNothing) {
  PatternEncoder code({"#.", ".#"});
  code.refuse = true;
  EXPECT_EQ(Bitmap(code, CSubDlgEncodeBaseCalcAusdehnungFest(1, 1)).handle, nullptr);
  EXPECT_EQ(code.done, 0); // a null handle is never passed back
  code.refuse = false;
  const struct {
    int cx, cy, width;
  } refused[] = {{100000, 100000, -1}, {1 << 30, 1, -1} /* 2^31 pixels do not fit the header's signed width */,
                 {0x10000, 0x8000, -1} /* just over 4 GiB would wrap to a small block in 32 bits */, {-1, 1, -1},
                 {1, 1, 0} /* a back end claiming an empty code */};
  for (const auto& r : refused) {
    code.widthOverride = r.width;
    EXPECT_EQ(Bitmap(code, CSubDlgEncodeBaseCalcAusdehnungFest(r.cx, r.cy)).handle, nullptr) << r.cx << " x " << r.cy;
  }
  EXPECT_EQ(code.done, 5);
  EXPECT_EQ(code.made, 6);
}
