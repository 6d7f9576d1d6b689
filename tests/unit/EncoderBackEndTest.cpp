// Encoding end to end: the code-page conversions, GetEncodedBitmap's exact layout, calculators and
// failure paths, the encoder back-end modules against their raw
// libraries, the items' character sets, text -> code -> BMP file -> independent readers -> the same
// bytes for both back ends, and "codewerk encode" run in-process: files a user can use, read back
// at the size asked for, and what a script sees when something is wrong.
#include "CodeFileChecks.h"
#include "CodeReaders.h"
#include "EncodeCommand.h"
#include "TestFolder.h"
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
#include <memory>

using Strings = std::vector<std::string>;

namespace {
struct AnsiCodePage {
  explicit AnsiCodePage(const char* name) { SetAnsiCodeSetName(name); }
  ~AnsiCodePage() { SetAnsiCodeSetName(nullptr); }
};

// Dense codes can show a reader phantom linear symbols too; only the QR code is of interest.
std::string QrText(std::vector<ReadCode> codes) {
  std::erase_if(codes, [](const ReadCode& c) { return c.format != "QRCode" && c.format != "QR-Code"; });
  return TheCode(codes);
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
Strings ReadBack(CEncoderItemBase& item, const CString& text) {
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

// A code's modules as rows of '#' and '.'.
template <class Bit> std::string Modules(int width, int height, Bit bit) {
  std::string rows;
  for (int row = 0; row < height; ++row, rows += '\n')
    for (int column = 0; column < width; ++column) rows += bit(row, column) ? '#' : '.';
  return rows;
}

// The exit status, standard output and standard error as one text.
std::string Encode(Strings args, const std::string& input = "") {
  std::FILE* in = input.empty() ? std::fopen("/dev/null", "r") : fmemopen(const_cast<char*>(input.data()), input.size(), "r");
  char* text[2] = {}; std::size_t size[2] = {};
  std::FILE *out = open_memstream(&text[0], &size[0]), *err = open_memstream(&text[1], &size[1]);
  const int rc = RunEncodeCommand(args, in, out, err);
  std::fclose(in), std::fclose(out), std::fclose(err);
  const std::string said = std::to_string(rc) + "\n" + std::string(text[0], size[0]) + "--\n" + std::string(text[1], size[1]);
  std::free(text[0]), std::free(text[1]);
  return said;
}

using EncodeCommandTest = InFolder<>;

// A code whose modules the test chooses; it records how it is used.
class PatternEncoder : public CEncoderItemBase {
public:
  explicit PatternEncoder(Strings rows) : rows(std::move(rows)) {}

  CString GetNameBibliothek() override { return "Pattern"; }
  void* GetCodeItem(const CString& text) override { return ++made, lastText = text.str(), refuse ? nullptr : this; }
  int GetCodeWidth(void*) override { return widthOverride >= 0 ? widthOverride : static_cast<int>(rows[0].size()); }
  int GetCodeHeight(void*) override { return static_cast<int>(rows.size()); }
  bool IsCodeBitSet(void*, int row, int column) override {
    return maxRowAsked = std::max(maxRowAsked, row), rows[size_t(row)][size_t(column)] == '#';
  }
  void DoneCode(void* code) override { EXPECT_EQ(code, this); ++done; }

  bool refuse = false;
  int widthOverride = -1, made = 0, done = 0, maxRowAsked = -1;
  std::string lastText;
  Strings rows;
};

// The block of a rendering, freed with the test's scope; its pixels follow the 40-byte header.
struct Bitmap {
  Bitmap(CEncoderItemBase& encoder, CSubDlgEncodeBaseCalcAusdehnungBase&& calc, const char* text = "x", DWORD dark = 0,
         DWORD light = 0xFFFFFF) : handle(GetEncodedBitmap(text, encoder, calc, dark, light)) {}
  ~Bitmap() { if (handle) GlobalFree(handle); }
  const BYTE* pixels() const { return static_cast<const BYTE*>(GlobalLock(handle)) + 40; }
  HGLOBAL handle;
};

// A rendering of "x" as "width x height, bytes, module size", or "none" without a block.
template <class Calc> std::string Rendered(CEncoderItemBase& code, Calc&& calc) {
  const Bitmap dib(code, std::move(calc));
  const CSize size = dib.handle ? GetDIBSize(dib.handle) : CSize();
  return dib.handle ? std::to_string(size.cx) + " x " + std::to_string(size.cy) + ", " + std::to_string(GlobalSize(dib.handle)) +
                          " bytes, modules " + std::to_string(calc.m_cxModul) + " x " + std::to_string(calc.m_cyModul)
                    : "none";
}

PatternEncoder Square(int modules, char module) { return PatternEncoder(Strings(modules, std::string(modules, module))); }

} // namespace

TEST(CodePageTest, ConversionsInUtf8Windows1252AndTheAnsiCodePage) {
  const std::string text = "A\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80"; // A ä € 😀
  const std::wstring wide = {L'A', 0xE4, 0x20AC, static_cast<wchar_t>(0x1F600)};
  EXPECT_EQ((std::vector<std::wstring>{ToWide(CP_UTF8, text), ToWide(CP_UTF8, "a\xFF" "b\xE2\x82"), ToWide(1252, "\xE4\x80")}),
            (std::vector<std::wstring>{wide, {L'a', 0xFFFD, L'b', 0xFFFD, 0xFFFD} /* invalid bytes replaced */, {0xE4, 0x20AC}}));
  EXPECT_EQ(ToBytes(CP_UTF8, wide) + "|" + ToBytes(1252, {0xE4, 0x20AC, L'a', static_cast<wchar_t>(0x1F600)}), text + "|\xE4\x80" "a?");
  // A length of -1 converts up to the terminator and counts it; a destination too small or nothing to convert gives 0.
  WCHAR out[3] = {L'x', L'x', L'x'};
  EXPECT_EQ((std::vector<int>{MultiByteToWideChar(CP_UTF8, 0, "ab", -1, nullptr, 0), MultiByteToWideChar(CP_UTF8, 0, "ab", -1, out, 3),
                              out[2], WideCharToMultiByte(CP_UTF8, 0, L"\u00e4", -1, nullptr, 0, nullptr, nullptr),
                              MultiByteToWideChar(CP_UTF8, 0, "abc", 3, out, 1), MultiByteToWideChar(CP_UTF8, 0, "abc", 0, nullptr, 0),
                              MultiByteToWideChar(CP_UTF8, 0, nullptr, -1, nullptr, 0)}),
            (std::vector<int>{3, 3, 0, 3, 0, 0, 0}));
  EXPECT_EQ((std::vector<bool>{IsValidUTF8("", 0), IsValidUTF8("Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80", 12),
                               IsValidUTF8("Gr\xFC\xDF" "e", 5), IsValidUTF8("\xF4\x90\x80\x80", 4), IsValidUTF8("\xE2\x82", 2)}),
            (std::vector<bool>{true, true, false /* Latin-1 */, false /* above U+10FFFF */, false /* cut short */}));
  // The ANSI code page decides what GetAsUTF8String converts; bytes that are not UTF-8 are replaced, as the conversion does.
  Strings converted;
  for (const char* codePage : {"CP1252", "UTF-8"}) {
    AnsiCodePage cp(codePage);
    converted.push_back(GetAsUTF8String("\xE4 \x80").str()), converted.push_back(GetAsUTF8String("\xC3\xA4").str());
  }
  EXPECT_EQ(converted, (Strings{"\xC3\xA4 \xE2\x82\xAC", "\xC3\x83\xC2\xA4", "\xEF\xBF\xBD \xEF\xBF\xBD", "\xC3\xA4"}));
  EXPECT_STRNE(GetAnsiCodeSetName(), "ANSI_X3.4-1968"); // an unset locale counts as UTF-8
}

TEST(EncoderBackEndTest, ModulesMatchTheRawLibrariesAndRefusalsGiveNullHandles) {
  for (const char* text : {"12345678901234567890", "MiXeD case Text with 0123 and symbols $%*+-./:"}) {
    std::unique_ptr<QRcode, decltype(&QRcode_free)> raw(QRcode_encodeString(text, 0, QR_ECLEVEL_L, QR_MODE_8, 1), QRcode_free);
    std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)> zs(ZBarcode_Create(), ZBarcode_Delete);
    zs->symbology = BARCODE_QRCODE, zs->input_mode = UNICODE_MODE, zs->option_1 = 1, zs->scale = 0.5f; // a pixel a module
    ASSERT_TRUE(raw && ZBarcode_Encode_and_Buffer(zs.get(), reinterpret_cast<const unsigned char*>(text), 0, 0) < ZINT_ERROR);
    void *qr = QREncode_GetCode(text, 0), *zint = ZInt_GetCode(text, 1, 58, 1, 0);
    ASSERT_TRUE(qr && zint) << text;
    EXPECT_EQ(Modules(QREncode_GetCodeWidth(qr), QREncode_GetCodeHeight(qr), [&](int r, int c) { return QREncode_IsCodeBitSet(qr, r, c); }),
              Modules(raw->width, raw->width, [&](int r, int c) { return raw->data[r * raw->width + c] & 1; })) << text;
    EXPECT_EQ(Modules(ZInt_GetCodeWidth(zint), ZInt_GetCodeHeight(zint), [&](int r, int c) { return ZInt_IsCodeBitSet(zint, r, c); }),
              Modules(zs->bitmap_width, zs->bitmap_height, [&](int r, int c) { return !zs->bitmap[3 * (r * zs->bitmap_width + c)]; }))
        << text;
    EXPECT_EQ(QREncode_IsCodeBitSet(qr, raw->width, 0) + QREncode_IsCodeBitSet(qr, 0, -1), 0);
    QREncode_DoneCode(qr), ZInt_DoneCode(zint);
  }
  EXPECT_EQ((std::vector<void*>{QREncode_GetCode("", 0), QREncode_GetCode(nullptr, 0), QREncode_GetCode("x", 7) /* no such level */,
                                ZInt_GetCode("", 1, 58, 1, 0), ZInt_GetCode(nullptr, 1, 58, 1, 0),
                                ZInt_GetCode("\xFF\xFE", 1, 58, 1, 0) /* not UTF-8 where UTF-8 was promised */,
                                ZInt_GetCode(std::string(40, 'x').c_str(), 1, 58, 1, 1) /* version 1 too small */}),
            std::vector<void*>(7, nullptr));
}

// Texts come back whole through GetEncodedBitmap, a BMP file and independent readers; ANSI text reaches
// both back ends as UTF-8, UTF-8 reaches zint converted once, and ANSI bytes handed to it directly are converted.
TEST(EncodeRoundTripTest, EveryKindOfTextComesBackByteForByteUpToTheLongestAcceptedWhateverTheAnsiCodePage) {
  std::string longest; // only lower-case letters: no digit or capital run that a denser mode could pack
  while (longest.size() < 2953) longest += static_cast<char>('a' + longest.size() % 26);
  const char* const grusse = "Gr\xC3\xBC\xC3\x9F" "e";
  CEncoderGetCodeItem_ZInt zint;
  CEncoderGetCodeItem_QREncode qr;
  for (CEncoderItemBase* item : std::initializer_list<CEncoderItemBase*>{&qr, &zint}) {
    for (const std::string& text : Strings{"https://example.org/path?q=1&r=2", grusse + std::string(" aus K\xC3\xB6ln"), "\xE2\x82\xAC 5",
                                           "ok \xF0\x9F\x98\x80 \xF0\x9F\x8E\x89", longest})
      EXPECT_EQ(ReadBack(*item, CString(text)), Strings(2, text)) << item->GetNameBibliothek().str() << text.size();
    CSubDlgEncodeBaseCalcAusdehnungFest calc(1, 1);
    EXPECT_TRUE(!GetEncodedBitmap(CString(longest + "x"), *item, calc, 0, 0xFFFFFF) && !GetEncodedBitmap("", *item, calc, 0, 0xFFFFFF));
    AnsiCodePage cp("CP1252");
    EXPECT_EQ(ReadBack(*item, "\xE4"), Strings(2, "\xC3\xA4")) << item->GetNameBibliothek().str();
  }
  for (const char* codePage : {"UTF-8", "CP1252"}) {
    AnsiCodePage cp(codePage);
    EXPECT_EQ(ReadHandle(zint, zint.GetCodeItem(grusse)), grusse) << "ANSI code page " << codePage;
  }
  AnsiCodePage cp("CP1252");
  EXPECT_EQ(ReadHandle(zint, zint.GetCodeItem("\xE4\x80")), "\xC3\xA4\xE2\x82\xAC"); // "ä€" from 1252 bytes
}

// Every format reads back with its quiet zone and at its size; by default four pixels a module and
// four modules of quiet zone, standard input taken exactly.
TEST_F(EncodeCommandTest, EveryFormatReadsBackWithItsQuietZoneAndAtItsSize) {
  const std::string text = "Grüße aus dem Büro: https://www.example.org/a?b=1";
  for (const char* encoder : {"qrencode", "zint"})
    for (const std::string format : {"bmp", "png", "svg", "pdf"}) {
      const std::string path = Path(std::string(encoder) + "." + format);
      int modules = 0;
      const std::string said = Encode({"--encoder", encoder, "--size-mm", "25", "--level", "M", text, "-o", path});
      ASSERT_EQ(std::sscanf(said.c_str(), "0\nwrote %*s (%d x", &modules), 1) << said;
      const GrayImage picture = CodeFilePicture(path);
      ASSERT_FALSE(picture.empty()) << path;
      EXPECT_GT(picture.at(2, 2), 200) << path << ": no quiet zone";
      EXPECT_EQ((Strings{QrText(ReadWithZXing(picture)), QrText(ReadWithZBar(picture))}), Strings(2, text)) << path;
      if (format == "bmp") EXPECT_EQ(picture.width * 3 % 4, 3) << "a row of 369 pixels, padded to whole words";
      else EXPECT_NEAR(CodeFileMillimetres(path), 25.0 * (modules + 8) / modules, 0.1) << path; // 25 mm of code, quiet zone aside
    }
  EXPECT_EQ(Encode({"-", "-o", Path("standard.png")}, "zwei\nZeilen\n"),
            "0\nwrote " + Path("standard.png") + " (21 x 21 modules, 116 x 116 pixels, QREncode)\n--\n");
  const GrayImage picture = LoadGrayWithStb(Path("standard.png"));
  EXPECT_EQ(std::pair(picture.width, QrText(ReadWithZBar(picture))), std::pair((21 + 8) * 4, std::string("zwei\nZeilen\n")));
  EXPECT_EQ(Encode({"--height", "100", "x", "-o", Path("x.png")}),
            "0\nwrote " + Path("x.png") + " (21 x 21 modules, 87 x 87 pixels, QREncode)\n--\n");
  EXPECT_EQ(LoadGrayWithStb(Path("x.png")).height, 87); // 29 modules of 3 pixels
}

TEST_F(EncodeCommandTest, RefusalsAndUsageErrorsExplainThemselvesAndWriteNothing) {
  const std::string path = Path("refused.png");
  const struct { Strings args; int exitCode; std::string says, input = ""; } cases[] = {
      {{std::string(3000, 'a'), "-o", path}, 1, "at most 2953"}, {{"", "-o", path}, 1, "empty"},
      {{"--level", "H", std::string(1300, 'a'), "-o", path}, 1, "at most 1273"}, {{"--module", "100000", "x", "-o", path}, 1, "than 32768"},
      {{"x", "-o", Path("no/such/dir/x.png")}, 1, "No such file"}, {{"-", "-o", path}, 2, "NUL byte", std::string("a\0b", 3)},
      {{"-", "-o", path}, 2, "not valid UTF-8", "\xFF\xFE"}, {{"--height", "5", "x", "-o", path}, 2, "cannot hold a module"},
      {{"--size-mm", "1", "--dpi", "72", "x", "-o", path}, 2, "smaller than one pixel"},
      // usage errors: no output, an unknown encoder, module sizes not positive or not numbers, sizes given twice,
      // a resolution without a size, formats not written, an unknown option, two texts, an option without its value
      {{"x"}, 2, "usage:"}, {{"--encoder", "qr", "x", "-o", path}, 2, "usage:"}, {{"--module", "0", "x", "-o", path}, 2, "usage:"},
      {{"--module", "3px", "x", "-o", path}, 2, "usage:"}, {{"--module", "2", "--height", "90", "x", "-o", path}, 2, "usage:"},
      {{"--size-mm", "20", "--module", "2", "x", "-o", path}, 2, "usage:"}, {{"--dpi", "600", "x", "-o", path}, 2, "usage:"},
      {{"--level", "X", "x", "-o", path}, 2, "usage:"}, {{"x", "-o", Path("x.gif")}, 2, "usage:"}, {{"x", "-o"}, 2, "usage:"},
      {{"--format", "tiff", "x", "-o", path}, 2, "usage:"}, {{"--colour", "red", "x", "-o", path}, 2, "usage:"},
      {{"a", "b", "-o", path}, 2, "usage:"},
  };
  for (const auto& c : cases) {
    const std::string said = Encode(c.args, c.input);
    EXPECT_TRUE(said.starts_with(std::to_string(c.exitCode) + "\n--\n") && said.find(c.says) != std::string::npos && !fs::exists(path))
        << c.args[0] << " " << c.says << ": " << said;
  }
  EXPECT_EQ(Encode({"--version"}), std::string("0\ncodewerk ") + CODEWERK_VERSION + "\n--\n");
}

// Twenty-one modules at one pixel make the documented block; the top-left module is stored in the
// last row, colours as blue, green, red; the text arrives as UTF-8; a one-row symbol is stretched
// to ten identical rows asking only row zero.
TEST(EncodedBitmapTest, TheBlockIsLaidOutAsDocumented) {
  CEncoderGetCodeItem_QREncode qr;
  Bitmap dib(qr, CSubDlgEncodeBaseCalcAusdehnungFest(1, 1), "hello");
  ASSERT_NE(dib.handle, nullptr);
  const BITMAPINFOHEADER& h = *static_cast<const BITMAPINFOHEADER*>(GlobalLock(dib.handle));
  EXPECT_EQ((std::vector<long>{long(h.biSize), h.biWidth, h.biHeight, h.biPlanes, h.biBitCount, long(h.biCompression), long(h.biSizeImage),
                               h.biXPelsPerMeter, h.biYPelsPerMeter, long(h.biClrUsed), long(h.biClrImportant),
                               long(GlobalSize(dib.handle)), GetDIBSize(dib.handle).cx, GetDIBSize(dib.handle).cy}),
            (std::vector<long>{40, 21, 21, 1, 24, 0, 1344 /* stride 64 (63 rounded up) x 21 rows */, 2835, 2835, 0, 0, 1384, 21, 21}));
  for (int row = 0; row < 21; ++row) EXPECT_EQ(dib.pixels()[row * 64 + 63], 0) << "padding of stored row " << row;

  PatternEncoder code({"#..", "...", "..."});
  Bitmap coloured(code, CSubDlgEncodeBaseCalcAusdehnungFest(2, 1), "Gr\xC3\xBC\xC3\x9F" "e", 0x0000FF /* red */, 0x00FF00 /* green */);
  ASSERT_NE(coloured.handle, nullptr);
  const BYTE* p = coloured.pixels(); // rows of 6 pixels x 3 bytes, padded to 20; the bottom one first
  EXPECT_EQ(std::vector<BYTE>(p + 40, p + 60),
            (std::vector<BYTE>{0, 0, 0xFF, 0, 0, 0xFF, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0}));
  EXPECT_EQ(std::vector<BYTE>(p, p + 3), (std::vector<BYTE>{0, 0xFF, 0})); // bottom-left light
  EXPECT_EQ(code.lastText, "Gr\xC3\xBC\xC3\x9F" "e");

  std::string row;
  while (row.size() < 80) row += "#..";
  PatternEncoder oneRow({row.substr(0, 80)});
  Bitmap stretched(oneRow, CSubDlgEncodeBaseCalcAusdehnungFest(1, 1));
  ASSERT_NE(stretched.handle, nullptr);
  const BYTE* s = stretched.pixels();
  EXPECT_EQ((std::vector<int>{GetDIBSize(stretched.handle).cx, GetDIBSize(stretched.handle).cy, oneRow.maxRowAsked, s[0], s[3]}),
            (std::vector<int>{80, 10, 0, 0, 0xFF})); // column 0 dark, 1 light
  for (int r = 1; r < 10; ++r) EXPECT_EQ(std::memcmp(s, s + r * 240, 240), 0) << r;
}

// Fixed height gives square modules rounded down, and the calculator tells the last code's module size;
// a fixed size below the module count gives a header-only block. Every handle is released once and
// refusals allocate nothing.
TEST(EncodedBitmapTest, TheCalculatorsSizeTheModulesAndRefusalsAllocateNothing) {
  PatternEncoder v2 = Square(25, '#'), v4 = Square(33, '#'), v10 = Square(57, '.');
  CSubDlgEncodeBaseCalcAusdehnungFesteHoehe height(100);
  EXPECT_EQ((Strings{Rendered(v2, height), Rendered(v4, height), Rendered(v10, CSubDlgEncodeBaseCalcAusdehnungFesteGroesse(CSize(50, 50))),
                     Rendered(v10, CSubDlgEncodeBaseCalcAusdehnungFesteGroesse(CSize(200, 120)))}),
            (Strings{"100 x 100, 30040 bytes, modules 4 x 4", "99 x 99, 29740 bytes, modules 3 x 3", "0 x 0, 40 bytes, modules 0 x 0",
                     "171 x 114, 58864 bytes, modules 3 x 2"}));
  PatternEncoder code({"#.", ".#"});
  code.refuse = true; // and a null handle is never passed back
  EXPECT_EQ(Rendered(code, CSubDlgEncodeBaseCalcAusdehnungFest(1, 1)), "none");
  code.refuse = false;
  // 2^31 pixels do not fit the header's signed width, just over 4 GiB would wrap to a small block in 32 bits, and a back end
  // may claim an empty code.
  for (const auto& [cx, cy, width] : {std::tuple{100000, 100000, -1}, {1 << 30, 1, -1}, {0x10000, 0x8000, -1}, {-1, 1, -1}, {1, 1, 0}}) {
    code.widthOverride = width;
    EXPECT_EQ(Rendered(code, CSubDlgEncodeBaseCalcAusdehnungFest(cx, cy)), "none") << cx << " x " << cy;
  }
  EXPECT_EQ((std::vector<int>{v10.done, code.done, code.made}), (std::vector<int>{2, 5, 6}));
}
