// Reading picture files: every BMP variant against a reference picture, the other formats through
// independent writers, and hostile files refused cheaply with a reason; and the files of a drop,
// split on a worker thread: pages arrive in order and the other files after them, and every
// temporary bitmap goes with the list, also when it goes before the split is done.
#include "HostilePictures.h"
#include "TestFolder.h"
#include "TestPictures.h"
#include "outside/ImageFile.h"
#include "outside/TempFiles.h"
#include "sources/DecodeDateiArray.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sys/stat.h>

namespace {

using Bytes = std::vector<std::uint8_t>;
struct Rgb { std::uint8_t r, g, b; };
const Rgb kColours[4] = {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {0, 0, 255}};

// A 13 x 7 reference picture of four colours (two with one bit), by palette index, top row first.
int IndexAt(int x, int y, int bits) { return bits == 1 ? (x * 3 + y * 5 + x * y) % 4 == 1 : (x * 3 + y * 5 + x * y) % 4; }
constexpr int kW = 13, kH = 7;

void Put16(Bytes& b, unsigned v) { b.push_back(v & 0xFF), b.push_back((v >> 8) & 0xFF); }
void Put32(Bytes& b, std::uint32_t v) { Put16(b, v & 0xFFFF), Put16(b, v >> 16); }
Bytes& operator+=(Bytes& a, const Bytes& b) { return a.insert(a.end(), b.begin(), b.end()), a; }
// The file header before an info header and pixels.
Bytes BmpFile(const Bytes& info, const Bytes& pixels) {
  Bytes file = {'B', 'M'};
  Put32(file, static_cast<std::uint32_t>(14 + info.size() + pixels.size())), Put32(file, 0);
  Put32(file, static_cast<std::uint32_t>(14 + info.size()));
  return (file += info) += pixels;
}

struct BmpVariant {
  int bits = 24;
  std::uint32_t compression = 0; // 1 RLE8, 2 RLE4, 3 bit fields
  bool topDown = false, coreHeader = false;
  std::uint32_t masks[3] = {0, 0, 0}; // red, green, blue when compression is 3
};

// Palette indices packed at bits per pixel, the first pixel in the high bits.
Bytes Pack(const std::vector<int>& indices, int bits) {
  Bytes out((indices.size() * static_cast<size_t>(bits) + 7) / 8);
  for (size_t i = 0; i < indices.size(); ++i)
    out[i * bits / 8] |= static_cast<std::uint8_t>(indices[i] << (8 - bits - static_cast<int>(i * bits % 8)));
  return out;
}

// Row y as stored: padded to 4 bytes, or run-length coded as a run of one and an absolute run of the rest.
Bytes Row(const BmpVariant& v, int y) {
  std::vector<int> indices;
  for (int x = 0; x < kW; ++x) indices.push_back(IndexAt(x, y, v.bits));
  if (v.compression == 1 || v.compression == 2) {
    Bytes row = {1, static_cast<std::uint8_t>(indices[0] * (v.bits == 4 ? 17 : 1)), 0, kW - 1};
    Bytes literal = Pack({indices.begin() + 1, indices.end()}, v.bits);
    literal.resize((literal.size() + 1) & ~size_t{1});
    return (row += literal) += {0, 0};
  }
  Bytes row = v.bits <= 8 ? Pack(indices, v.bits) : Bytes{};
  const bool fields = v.compression == 3;
  for (int x = 0; x < kW && v.bits > 8; ++x) {
    const Rgb c = kColours[indices[static_cast<size_t>(x)]];
    if (v.bits == 16) Put16(row, fields ? (c.r >> 3 << 11 | c.g >> 2 << 5 | c.b >> 3) : (c.r >> 3 << 10 | c.g >> 3 << 5 | c.b >> 3));
    else if (v.bits == 24) row += {c.b, c.g, c.r};
    else Put32(row, fields ? (std::uint32_t(c.r) << 24 | c.g << 16 | c.b << 8) : (std::uint32_t(c.r) << 16 | c.g << 8 | c.b));
  }
  row.resize((row.size() + 3) & ~size_t{3});
  return row;
}

Bytes MakeBmp(const BmpVariant& v) {
  Bytes info, pixels;
  const auto bits = static_cast<unsigned>(v.bits);
  if (v.coreHeader) Put32(info, 12), Put16(info, kW), Put16(info, kH), Put16(info, 1), Put16(info, bits);
  else {
    Put32(info, 40), Put32(info, kW), Put32(info, static_cast<std::uint32_t>(v.topDown ? -kH : kH)), Put16(info, 1), Put16(info, bits);
    Put32(info, v.compression);
    for (int i = 0; i < 5; ++i) Put32(info, 0);
    if (v.compression == 3) for (std::uint32_t m : v.masks) Put32(info, m);
  }
  for (int i = 0; v.bits <= 8 && i < 1 << v.bits; ++i) {
    info += {kColours[i % 4].b, kColours[i % 4].g, kColours[i % 4].r};
    if (!v.coreHeader) info.push_back(0);
  }
  for (int row = 0; row < kH; ++row) pixels += Row(v, v.topDown ? row : kH - 1 - row);
  if (v.compression == 1 || v.compression == 2) pixels += {0, 1};
  return BmpFile(info, pixels);
}

class ImageFileTest : public InFolder<> {
protected:
  // A file's bytes read both ways: from memory, and from disk, where plain bitmaps are read and
  // converted a block of rows at a time.
  std::vector<RasterImage> ReadBothWays(const Bytes& file, PixelFormat format) const {
    std::vector<RasterImage> images(2);
    std::string error;
    EXPECT_TRUE(LoadImageMemory(file.data(), file.size(), format, images[0], &error) &&
                LoadImageFile(Write("both.bmp", file).c_str(), format, images[1], &error)) << error;
    return images;
  }
  // Why a file is refused: "<read>" when it is read whole, empty without a reason.
  std::string Refusal(const std::string& path) const {
    RasterImage image; std::string error;
    const bool read = LoadImageFile(path.c_str(), PixelFormat::Gray8, image, &error);
    return read ? (image.pixels.size() == 1ul * image.width * image.height ? "<read>" : "") : image.pixels.empty() ? error : "";
  }
};

class DecodeDateiArrayTest : public ImageFileTest {};

} // namespace

// Every BMP variant gives the reference picture. Grey is the luminance zxing computes: widths on both sides of the
// sixteen-pixel steps of the vector path and its tail; heights of one block of rows read from disk and of several, the
// last one short, stored either way up.
TEST_F(ImageFileTest, EveryBmpVariantGivesTheReferencePictureAndGreyIsTheLuminanceZxingComputes) {
  const std::pair<const char*, BmpVariant> variants[] = {
      {"24 bit", {.bits = 24}}, {"24 bit top-down", {.bits = 24, .topDown = true}}, {"core header", {.bits = 24, .coreHeader = true}},
      {"32 bit", {.bits = 32}}, {"32 bit fields", {.bits = 32, .compression = 3, .masks = {0xFF000000, 0xFF0000, 0xFF00}}},
      {"16 bit 5-5-5", {.bits = 16}}, {"16 bit 5-6-5", {.bits = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F}}},
      {"8 bit palette", {.bits = 8}}, {"8 bit top-down", {.bits = 8, .topDown = true}}, {"4 bit palette", {.bits = 4}},
      {"1 bit palette", {.bits = 1}}, {"RLE8", {.bits = 8, .compression = 1}}, {"RLE4", {.bits = 4, .compression = 2}}};
  for (const auto& [what, variant] : variants) {
    Bytes expected;
    for (int i = 0; i < kW * kH; ++i) {
      const Rgb c = kColours[IndexAt(i % kW, i / kW, variant.bits)];
      expected.insert(expected.end(), {c.b, c.g, c.r});
    }
    for (const RasterImage& image : ReadBothWays(MakeBmp(variant), PixelFormat::Bgr24))
      EXPECT_TRUE(image.width == kW && Bytes(image.pixels.begin(), image.pixels.end()) == expected) << what;
  }
  std::uint32_t seed = 12345;
  for (const auto& [width, signedHeight] : {std::pair{1, 3}, {5, 3}, {16, 3}, {17, 3}, {18, 3}, {19, 3}, {34, 3}, {35, 3}, {50, 3},
                                           {641, 301}, {641, -301}}) {
    const int height = std::abs(signedHeight), rowBytes = (width * 3 + 3) & ~3;
    Bytes info, pixels, expected;
    for (int i = 0; i < rowBytes * height; ++i) pixels.push_back(static_cast<std::uint8_t>((seed = seed * 1103515245u + 12345u) >> 16));
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const std::uint8_t* p = &pixels[static_cast<size_t>((signedHeight < 0 ? y : height - 1 - y) * rowBytes + 3 * x)];
        expected.push_back(static_cast<std::uint8_t>((117 * p[0] + 601 * p[1] + 306 * p[2] + 0x200) >> 10));
      }
    Put32(info, 40), Put32(info, static_cast<std::uint32_t>(width)), Put32(info, static_cast<std::uint32_t>(signedHeight));
    Put16(info, 1), Put16(info, 24);
    for (int i = 0; i < 6; ++i) Put32(info, 0);
    for (const RasterImage& image : ReadBothWays(BmpFile(info, pixels), PixelFormat::Gray8))
      EXPECT_EQ(Bytes(image.pixels.begin(), image.pixels.end()), expected) << width << " x " << signedHeight;
  }
}

TEST_F(ImageFileTest, OtherFormatsFromIndependentWriters) {
  GrayImage picture = Canvas(40, 30, 255);
  Paste(picture, Canvas(10, 10, 0), 5, 5);
  ASSERT_TRUE(SavePng(picture, Path("p.png")) && SaveJpeg(picture, Path("p.jpg")));
  // ImageMagick's variants: interlaced, 16 bits, palettes, CMYK, and a transparent ground that
  // must show white even where its hidden colour is black.
  const std::vector<std::pair<std::string, std::string>> variants = {
      {"p.png", "-"}, {"p.jpg", "-"}, {"p.gif", ""}, {"i.gif", "-interlace GIF"}, {"i.png", "-interlace PNG -type TrueColor"},
      {"p16.png", "-type TrueColor -depth 16"}, {"pal.png", "-type Palette"},
      {"t.png", "-fill black -transparent white -background black -alpha background"},
      {"t.gif", "-transparent white"}, {"cmyk.jpg", "-colorspace CMYK"}, {"prog.jpg", "-interlace JPEG"},
      {"two.tif", "\\( " + Path("p.png") + " -negate \\) -compress lzw"}};
  for (const auto& [name, options] : variants) {
    ASSERT_TRUE(options == "-" || std::system(("convert " + Path("p.png") + " " + options + " " + Path(name)).c_str()) == 0) << name;
    RasterImage image; std::string error;
    ASSERT_TRUE(LoadImageFile(Path(name).c_str(), PixelFormat::Gray8, image, &error)) << name << ": " << error;
    // inside the black square, and the white ground
    EXPECT_EQ(std::tuple(image.width, image.height, image.pixels[10 * 40 + 10] < 40, image.pixels[25 * 40 + 30] > 215),
              std::tuple(40, 30, true, true)) << name;
  }
  RasterImage second; // the second page negated; no third, and a PNG has only one
  EXPECT_EQ((std::vector<int>{CountImagePages(Path("two.tif").c_str()), CountImagePages(Path("p.png").c_str()),
                              LoadImagePage(Path("two.tif").c_str(), 1, PixelFormat::Bgr24, second), second.pixels[410 * 3] > 215,
                              LoadImagePage(Path("two.tif").c_str(), 2, PixelFormat::Gray8, second),
                              LoadImagePage(Path("p.png").c_str(), 1, PixelFormat::Gray8, second)}),
            (std::vector<int>{2, 1, true, true, false, false}));
}

// Files made to hurt: refused from their headers with the reason, or read within the limits; the
// inputs the fuzzer found, each refused or read without a large allocation or a crash; and what is
// no picture file at all, refused at once with a reason.
TEST_F(ImageFileTest, HostileFilesAreRefusedWithTheirReasonOrReadWithinTheLimits) {
  const std::map<std::string, std::string> expected = {
      {"png-16bit-rgb-bomb.png", ""}, {"png-interlaced-bomb.png", ""}, {"png-ztxt-bomb.png", ""}, {"png-20000-chunks.png", ""},
      {"jpeg-baseline-bomb.jpg", ""}, {"gif-bomb.gif", ""}, {"gif-10000-frames.gif", ""}, {"tiff-deflate-bomb.tif", ""},
      {"tiff-directory-loop.tif", ""}, {"tiff-10000-pages.tif", ""}, {"bmp-rle8-claims-26-million.bmp", ""},
      {"bmp-rle8-past-the-end.bmp", ""}, {"png-claims-65535.png", "claims 65535 x 65535"},
      {"png-claims-100000.png", "claims 100000 x 100000"}, {"png-claims-12000-in-a-small-file.png", "claims 12000 x 12000"},
      {"jpeg-claims-65500.jpg", "claims 65500 x 65500"}, {"jpeg-300-empty-scans.jpg", "more than 100 scans"},
      {"gif-claims-65535.gif", "claims 65535 x 65535"}, {"tiff-claims-65535.tif", "claims 65535 x 65535"},
      {"tiff-claims-100000.tif", "claims 100000 x 100000"}, {"tiff-claims-1200-dpi-page-in-2-kb.tif", "claims 9921 x 14031"},
      {"tiff-strip-past-end.tif", "damaged"}, {"bmp-claims-65535.bmp", "claims 65535 x 65535"},
      {"bmp-claims-100000.bmp", "claims 100000 x 100000"}, {"bmp-pixels-outside.bmp", "outside the file"}, {"bmp-cut.bmp", "truncated"},
      {"png-cut-in-header.png", "truncated"}, {"gif-cut-in-pixels.gif", "damaged"}};
  for (const HostileFile& file : MakeHostilePictures()) {
    RasterImage image; std::string error;
    const bool read = LoadImageMemory(file.bytes.data(), file.bytes.size(), PixelFormat::Gray8, image, &error);
    EXPECT_TRUE(read ? image.pixels.size() == static_cast<size_t>(image.width) * image.height : !error.empty()) << file.name;
    const auto wanted = expected.find(file.name);
    EXPECT_TRUE(wanted == expected.end() || (read == wanted->second.empty() && error.find(wanted->second) != std::string::npos))
        << file.name << ": " << error;
    EXPECT_TRUE(file.name.find("pages") == std::string::npos ||
                CountImagePagesMemory(file.bytes.data(), file.bytes.size()) == kMaxImagePages + 1) << file.name;
  }
  const fs::path found = fs::path(CODEWERK_FIXTURES) / "fuzz";
  for (const auto& entry : fs::directory_iterator(found)) EXPECT_NE(Refusal(entry.path()), "") << entry.path();
  EXPECT_FALSE(fs::is_empty(found));

  ASSERT_EQ(mkfifo(Path("fifo.png").c_str(), 0600), 0);
  const std::string sparse = Write("sparse.bmp", {'B', 'M'});
  ASSERT_EQ(truncate(sparse.c_str(), 4ll << 30), 0);
  for (const auto& [path, says] : std::vector<std::pair<std::string, std::string>>{
           {Write("empty.bmp", {}), "the file is empty"}, {m_dir.string(), "folder"}, {Path("fifo.png"), "not a regular file"},
           {"/dev/zero", "not a regular file"}, {sparse, "too large (4096 MB"}, {Write("notes.txt", {'h', 'i'}), "not a picture"},
           {Path("missing.png"), "No such file"}})
    EXPECT_NE(Refusal(path).find(says), std::string::npos) << path << ": " << Refusal(path);
  EXPECT_EQ(LastImageFileError(), "No such file or directory");
  EXPECT_EQ(CountImagePages(Path("notes.txt").c_str()), 0);
  EXPECT_EQ(Refusal(Write("good.bmp", MakeBmp({.bits = 24}))), "<read>");
  EXPECT_EQ(LastImageFileError(), "");
}

// A scanned page is read by several threads, each taking a run of strips: every row must land in
// its place, the short last strip too, and a damaged strip in any run must fail the whole page.
TEST_F(ImageFileTest, LargeStrippedTiffPagesAreReadWholeAndDamageAnywhereIsCaught) {
  GrayImage pattern = Canvas(2100, 2003);
  for (size_t i = 0; i < pattern.pixels.size(); ++i) pattern.pixels[i] = static_cast<std::uint8_t>((i % 2100 * 7 + i / 2100 * 13) % 251);
  ASSERT_TRUE(SavePng(pattern, Path("pattern.png")));
  const std::string convert = "convert " + Path("pattern.png") + " -define tiff:rows-per-strip=7 -compress lzw ";
  ASSERT_EQ(std::system((convert + Path("grey.tif") + " && " + convert + "-type TrueColor " + Path("colour.tif")).c_str()), 0);
  for (const char* name : {"grey.tif", "colour.tif"}) {
    RasterImage image;
    ASSERT_TRUE(LoadImageFile(Path(name).c_str(), PixelFormat::Gray8, image)) << name;
    EXPECT_TRUE(image.width == 2100 && image.height == 2003 && Bytes(image.pixels.begin(), image.pixels.end()) == pattern.pixels) << name;
  }
  // A strip whose offset points past the end of the file, near the top and near the bottom.
  const std::string file = FileText(Path("grey.tif"));
  const Bytes tiff(file.begin(), file.end());
  ASSERT_EQ(tiff[0], 'I'); // little-endian, as written on this machine
  auto u16 = [&](size_t at) { return static_cast<unsigned>(tiff[at] | tiff[at + 1] << 8); };
  auto u32 = [&](size_t at) { return static_cast<std::uint32_t>(u16(at) | u16(at + 2) << 16); };
  size_t offsets = 0, strips = 0;
  for (size_t directory = u32(4), entry = 0; entry < u16(directory); ++entry) {
    const size_t at = directory + 2 + 12 * entry;
    if (u16(at) == 273 && u16(at + 2) == 4) offsets = u32(at + 8), strips = u32(at + 4); // StripOffsets, LONG
  }
  ASSERT_GT(strips, 250u);
  for (size_t strip : {strips / 10, strips - strips / 10}) {
    Bytes damaged = tiff;
    std::fill_n(damaged.begin() + static_cast<long>(offsets + 4 * strip), 4, 0x7F);
    EXPECT_NE(Refusal(Write("damaged.tif", damaged)).find("damaged"), std::string::npos) << strip;
  }
}

TEST_F(DecodeDateiArrayTest, PagesComeInOrderThenTheOtherFilesAndTheirBitmapsGoWithTheListAlsoMidSplit) {
  const std::string scan = Path("drei Seiten.tif"), broken = Write("kaputt.tif", {'k', 'e', 'i', 'n'}), picture = Path("bild.png");
  char folder[MAX_PATH]; // the process's private folder
  const fs::path temp = fs::path(GetTempPathA(MAX_PATH, folder) ? folder : "").parent_path();
  const auto filesInTemp = [&] { return std::distance(fs::directory_iterator(temp), fs::directory_iterator()); };
  ASSERT_EQ(std::system(("convert -size 40x40 xc:#1e1e1e xc:#828282 xc:#e6e6e6 -depth 8 -compress lzw '" + scan + "'").c_str()), 0);
  ASSERT_TRUE(SavePng(Canvas(8, 8), picture));
  CStringArray dropped;
  for (const std::string& path : {scan, broken, picture}) dropped.Add(path.c_str());
  {
    CDecodeDateiArray files;
    files.StartAddingDateien(dropped);
    std::string seen; // a page split into the private folder by its shade, other files by their path
    CString path;
    for (int i = 0; files.WaitForDatei(i, path); ++i) {
      RasterImage image;
      seen += fs::path(path.GetString()).parent_path() == temp && LoadImageFile(path, PixelFormat::Gray8, image)
                  ? std::to_string(image.pixels[0]) + " " : path.str() + " ";
    }
    // the broken file is not a scan after all: left for the decoder to refuse
    EXPECT_EQ(seen + std::to_string(filesInTemp()), "30 130 230 " + broken + " " + picture + " 3");
  }
  EXPECT_EQ(filesInTemp(), 0);
  // A list that goes while splitting leaves no bitmap either.
  dropped.RemoveAll();
  dropped.Add(Write("zwoelf Seiten.tif", BlankMultiPageTiff(12, 1500)).c_str());
  for (int wait : {0, 1}) {
    {
      CDecodeDateiArray files;
      files.StartAddingDateien(dropped);
      CString first;
      ASSERT_TRUE(!wait || files.WaitForDatei(0, first)); // gone mid-split rather than before it began
    }
    EXPECT_EQ(filesInTemp(), 0) << wait;
  }
}
