// Reading picture files: every BMP variant against a reference picture, the other formats through
// independent writers, and hostile files refused cheaply with a reason.
#include "HostilePictures.h"
#include "TestPictures.h"
#include "outside/ImageFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Rgb {
  std::uint8_t r, g, b;
};
const Rgb kColours[4] = {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {0, 0, 255}};

// A 13 x 7 reference picture of four colours, by palette index, top row first.
int IndexAt(int x, int y) { return (x * 3 + y * 5 + x * y) % 4; }
constexpr int kW = 13, kH = 7;

void Put16(std::vector<std::uint8_t>& b, unsigned v) { b.push_back(v & 0xFF), b.push_back((v >> 8) & 0xFF); }
void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back((v >> (8 * i)) & 0xFF); }

struct BmpVariant {
  int bits = 24;
  std::uint32_t compression = 0;
  bool topDown = false;
  bool coreHeader = false;
  std::uint32_t masks[3] = {0, 0, 0}; // red, green, blue when compression is 3
};

// Pixel rows as stored (bottom row first unless topDown), padded to 4 bytes, or run-length coded.
std::vector<std::uint8_t> PixelData(const BmpVariant& variant) {
  std::vector<std::uint8_t> data;
  for (int row = 0; row < kH; ++row) {
    const int y = variant.topDown ? row : kH - 1 - row;
    std::vector<std::uint8_t> line;
    if (variant.compression == 1 || variant.compression == 2) { // RLE8 / RLE4: a run of two, then literals
      const bool four = variant.compression == 2;
      const int first = IndexAt(0, y);
      const int runLength = IndexAt(1, y) == first ? 2 : 1;
      line.push_back(static_cast<std::uint8_t>(runLength));
      line.push_back(static_cast<std::uint8_t>(four ? (first << 4 | first) : first));
      const int rest = kW - runLength; // an absolute run of the remaining pixels
      line.push_back(0), line.push_back(static_cast<std::uint8_t>(rest));
      std::vector<std::uint8_t> literal;
      for (int i = 0; i < rest; ++i) {
        const int idx = IndexAt(runLength + i, y);
        if (!four) literal.push_back(static_cast<std::uint8_t>(idx));
        else if (i % 2 == 0) literal.push_back(static_cast<std::uint8_t>(idx << 4));
        else literal.back() |= static_cast<std::uint8_t>(idx);
      }
      if (literal.size() % 2) literal.push_back(0);
      line.insert(line.end(), literal.begin(), literal.end());
      line.push_back(0), line.push_back(0); // end of line
      data.insert(data.end(), line.begin(), line.end());
      continue;
    }
    unsigned bitBuffer = 0;
    int bitCount = 0;
    for (int x = 0; x < kW; ++x) {
      const Rgb c = kColours[IndexAt(x, y)];
      switch (variant.bits) {
        case 1: case 4: case 8:
          bitBuffer = (bitBuffer << variant.bits) | static_cast<unsigned>(variant.bits == 1 ? (c.r == 255 && c.b == 255) : IndexAt(x, y));
          if ((bitCount += variant.bits) == 8) line.push_back(static_cast<std::uint8_t>(bitBuffer)), bitBuffer = 0, bitCount = 0;
          break;
        case 16:
          Put16(line, variant.compression == 3 ? ((c.r >> 3) << 11 | (c.g >> 2) << 5 | c.b >> 3) : ((c.r >> 3) << 10 | (c.g >> 3) << 5 | c.b >> 3));
          break;
        case 24: line.push_back(c.b), line.push_back(c.g), line.push_back(c.r); break;
        case 32:
          Put32(line, variant.compression == 3 ? (std::uint32_t(c.r) << 24 | c.g << 16 | c.b << 8) : (std::uint32_t(c.r) << 16 | c.g << 8 | c.b));
          break;
      }
    }
    if (bitCount) line.push_back(static_cast<std::uint8_t>(bitBuffer << (8 - bitCount)));
    while (line.size() % 4) line.push_back(0);
    data.insert(data.end(), line.begin(), line.end());
  }
  if (variant.compression == 1 || variant.compression == 2) data.push_back(0), data.push_back(1);
  return data;
}

std::vector<std::uint8_t> MakeBmp(const BmpVariant& variant) {
  std::vector<std::uint8_t> info;
  if (variant.coreHeader) {
    Put32(info, 12), Put16(info, kW), Put16(info, kH), Put16(info, 1), Put16(info, static_cast<unsigned>(variant.bits));
  } else {
    Put32(info, 40), Put32(info, kW), Put32(info, static_cast<std::uint32_t>(variant.topDown ? -kH : kH));
    Put16(info, 1), Put16(info, static_cast<unsigned>(variant.bits)), Put32(info, variant.compression);
    for (int i = 0; i < 5; ++i) Put32(info, 0);
    if (variant.compression == 3) for (std::uint32_t m : variant.masks) Put32(info, m);
  }
  if (variant.bits <= 8) {
    const int entries = 1 << variant.bits;
    for (int i = 0; i < entries; ++i) {
      const Rgb c = variant.bits == 1 ? (i ? kColours[1] : kColours[0]) : kColours[i % 4];
      info.push_back(c.b), info.push_back(c.g), info.push_back(c.r);
      if (!variant.coreHeader) info.push_back(0);
    }
  }
  const std::vector<std::uint8_t> pixels = PixelData(variant);
  std::vector<std::uint8_t> file = {'B', 'M'};
  Put32(file, static_cast<std::uint32_t>(14 + info.size() + pixels.size()));
  Put32(file, 0);
  Put32(file, static_cast<std::uint32_t>(14 + info.size()));
  file.insert(file.end(), info.begin(), info.end());
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

// A file's bytes read both ways: from memory, and from disk, where plain bitmaps are read and
// converted a block of rows at a time.
std::vector<RasterImage> ReadBothWays(const std::vector<std::uint8_t>& file, PixelFormat format) {
  std::vector<RasterImage> images(2);
  std::string error;
  EXPECT_TRUE(LoadImageMemory(file.data(), file.size(), format, images[0], &error)) << error;
  const fs::path path = fs::temp_directory_path() / ("codewerk-both-ways-" + std::to_string(getpid()) + ".bmp");
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), static_cast<long>(file.size()));
  EXPECT_TRUE(LoadImageFile(path.c_str(), format, images[1], &error)) << error;
  fs::remove(path);
  return images;
}

void ExpectReference(const std::vector<std::uint8_t>& file, bool blackAndWhite, const char* what) {
  for (const RasterImage& image : ReadBothWays(file, PixelFormat::Bgr24)) {
    ASSERT_EQ(image.width, kW) << what;
    ASSERT_EQ(image.height, kH) << what;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        Rgb c = kColours[IndexAt(x, y)];
        if (blackAndWhite) c = (c.r == 255 && c.b == 255) ? kColours[1] : kColours[0];
        const std::uint8_t* p = &image.pixels[(static_cast<size_t>(y) * kW + x) * 3];
        ASSERT_EQ((std::vector<int>{p[0], p[1], p[2]}), (std::vector<int>{c.b, c.g, c.r})) << what << " at " << x << "," << y;
      }
  }
}

class ImageFileTest : public ::testing::Test {
protected:
  void SetUp() override { fs::create_directories(m_dir); }
  void TearDown() override { fs::remove_all(m_dir); }
  std::string Path(const std::string& name) const { return (m_dir / name).string(); }
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    std::ofstream(Path(name), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    return Path(name);
  }
  std::string Refusal(const std::string& path) const {
    RasterImage image;
    std::string error;
    EXPECT_FALSE(LoadImageFile(path.c_str(), PixelFormat::Gray8, image, &error)) << path;
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_FALSE(error.empty());
    return error;
  }

  fs::path m_dir = fs::temp_directory_path() / ("codewerk-images-" + std::to_string(getpid()));
};

} // namespace

TEST_F(ImageFileTest, EveryBmpVariantGivesTheReferencePicture) {
  ExpectReference(MakeBmp({.bits = 24}), false, "24 bit");
  ExpectReference(MakeBmp({.bits = 24, .topDown = true}), false, "24 bit top-down");
  ExpectReference(MakeBmp({.bits = 24, .coreHeader = true}), false, "24 bit core header");
  ExpectReference(MakeBmp({.bits = 32}), false, "32 bit");
  ExpectReference(MakeBmp({.bits = 32, .compression = 3, .masks = {0xFF000000, 0xFF0000, 0xFF00}}), false, "32 bit fields");
  ExpectReference(MakeBmp({.bits = 16}), false, "16 bit 5-5-5");
  ExpectReference(MakeBmp({.bits = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F}}), false, "16 bit 5-6-5");
  ExpectReference(MakeBmp({.bits = 8}), false, "8 bit palette");
  ExpectReference(MakeBmp({.bits = 8, .topDown = true}), false, "8 bit top-down");
  ExpectReference(MakeBmp({.bits = 4}), false, "4 bit palette");
  ExpectReference(MakeBmp({.bits = 1}), true, "1 bit palette");
  ExpectReference(MakeBmp({.bits = 8, .compression = 1}), false, "RLE8");
  ExpectReference(MakeBmp({.bits = 4, .compression = 2}), false, "RLE4");
}

// Widths on both sides of the sixteen-pixel steps of the vector path and its tail; heights of one
// block of rows read from disk and of several, the last one short, stored either way up.
TEST(ImageFileGreyTest, GreyIsTheLuminanceZxingComputesForEveryWidthAndHeight) {
  std::uint32_t seed = 12345;
  auto random = [&seed] { return static_cast<std::uint8_t>((seed = seed * 1103515245u + 12345u) >> 16); };
  struct Size {
    int width, height;
  };
  for (const Size size : {Size{1, 3}, {5, 3}, {16, 3}, {17, 3}, {18, 3}, {19, 3}, {34, 3}, {35, 3}, {50, 3}, {641, 301}, {641, -301}}) {
    const int width = size.width, height = std::abs(size.height), rowBytes = (width * 3 + 3) & ~3;
    std::vector<std::uint8_t> file = {'B', 'M'}, pixels;
    for (int i = 0; i < rowBytes * height; ++i) pixels.push_back(random());
    Put32(file, static_cast<std::uint32_t>(54 + pixels.size())), Put32(file, 0), Put32(file, 54);
    Put32(file, 40), Put32(file, static_cast<std::uint32_t>(width)), Put32(file, static_cast<std::uint32_t>(size.height));
    Put16(file, 1), Put16(file, 24);
    for (int i = 0; i < 6; ++i) Put32(file, 0);
    file.insert(file.end(), pixels.begin(), pixels.end());
    for (const RasterImage& image : ReadBothWays(file, PixelFormat::Gray8)) {
      ASSERT_EQ(image.pixels.size(), static_cast<size_t>(width * height));
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
          const int stored = size.height < 0 ? y : height - 1 - y;
          const std::uint8_t* p = &pixels[static_cast<size_t>(stored * rowBytes + 3 * x)];
          ASSERT_EQ(image.pixels[static_cast<size_t>(y * width + x)], (117 * p[0] + 601 * p[1] + 306 * p[2] + 0x200) >> 10)
              << width << " x " << size.height << " at " << x << "," << y;
        }
    }
  }
}

TEST_F(ImageFileTest, OtherFormatsFromIndependentWriters) {
  GrayImage picture = Canvas(40, 30, 255);
  Paste(picture, Canvas(10, 10, 0), 5, 5);
  ASSERT_TRUE(SavePng(picture, Path("p.png")));
  ASSERT_TRUE(SaveJpeg(picture, Path("p.jpg")));
  // ImageMagick's variants: interlaced, 16 bits, palettes, CMYK, and a transparent ground that
  // must show white even where its hidden colour is black.
  const std::vector<std::pair<std::string, std::string>> variants = {
      {"p.gif", ""}, {"i.gif", "-interlace GIF"}, {"i.png", "-interlace PNG -type TrueColor"},
      {"p16.png", "-type TrueColor -depth 16"}, {"pal.png", "-type Palette"},
      {"t.png", "-fill black -transparent white -background black -alpha background"},
      {"t.gif", "-transparent white"}, {"cmyk.jpg", "-colorspace CMYK"}, {"prog.jpg", "-interlace JPEG"},
      {"two.tif", "\\( " + Path("p.png") + " -negate \\) -compress lzw"}};
  for (const auto& [name, options] : variants)
    ASSERT_EQ(std::system(("convert " + Path("p.png") + " " + options + " " + Path(name)).c_str()), 0) << name;
  for (const std::string name : {"p.png", "p.jpg", "p.gif", "i.gif", "i.png", "p16.png", "pal.png", "t.png", "t.gif",
                                 "cmyk.jpg", "prog.jpg", "two.tif"}) {
    RasterImage image;
    std::string error;
    ASSERT_TRUE(LoadImageFile(Path(name).c_str(), PixelFormat::Gray8, image, &error)) << name << ": " << error;
    EXPECT_EQ(image.width, 40) << name;
    EXPECT_EQ(image.height, 30) << name;
    EXPECT_LT(image.pixels[static_cast<size_t>(10 * 40 + 10)], 40) << name;  // inside the black square
    EXPECT_GT(image.pixels[static_cast<size_t>(25 * 40 + 30)], 215) << name; // white ground
  }
  EXPECT_EQ(CountImagePages(Path("two.tif").c_str()), 2);
  EXPECT_EQ(CountImagePages(Path("p.png").c_str()), 1);
  RasterImage second;
  ASSERT_TRUE(LoadImagePage(Path("two.tif").c_str(), 1, PixelFormat::Bgr24, second));
  EXPECT_GT(second.pixels[static_cast<size_t>(10 * 40 + 10) * 3], 215); // the negated page
  EXPECT_FALSE(LoadImagePage(Path("two.tif").c_str(), 2, PixelFormat::Gray8, second));
  EXPECT_FALSE(LoadImagePage(Path("p.png").c_str(), 1, PixelFormat::Gray8, second));
}

// Files made to hurt: refused from their headers with the reason, or read within the limits.
TEST(ImageFileHostileTest, EachIsRefusedWithItsReasonOrReadWithinTheLimits) {
  const std::map<std::string, std::string> expected = {
      {"png-16bit-rgb-bomb.png", ""}, {"png-interlaced-bomb.png", ""}, {"png-ztxt-bomb.png", ""},
      {"png-20000-chunks.png", ""}, {"jpeg-baseline-bomb.jpg", ""}, {"gif-bomb.gif", ""}, {"gif-10000-frames.gif", ""},
      {"tiff-deflate-bomb.tif", ""}, {"tiff-directory-loop.tif", ""}, {"tiff-10000-pages.tif", ""},
      {"bmp-rle8-claims-26-million.bmp", ""}, {"bmp-rle8-past-the-end.bmp", ""},
      {"png-claims-65535.png", "claims 65535 x 65535"}, {"png-claims-100000.png", "claims 100000 x 100000"},
      {"png-claims-20000-in-a-small-file.png", "claims 20000 x 20000"}, {"jpeg-claims-65500.jpg", "claims 65500 x 65500"},
      {"jpeg-300-empty-scans.jpg", "more than 100 scans"}, {"gif-claims-65535.gif", "claims 65535 x 65535"},
      {"tiff-claims-65535.tif", "claims 65535 x 65535"}, {"tiff-claims-100000.tif", "claims 100000 x 100000"},
      {"tiff-claims-1200-dpi-page-in-2-kb.tif", "claims 9921 x 14031"}, {"tiff-strip-past-end.tif", "damaged"},
      {"bmp-claims-65535.bmp", "claims 65535 x 65535"}, {"bmp-claims-100000.bmp", "claims 100000 x 100000"},
      {"bmp-pixels-outside.bmp", "outside the file"}, {"bmp-cut.bmp", "truncated"}, {"png-cut-in-header.png", "truncated"},
      {"gif-cut-in-pixels.gif", "damaged"}};
  for (const HostileFile& file : MakeHostilePictures()) {
    RasterImage image;
    std::string error;
    const bool read = LoadImageMemory(file.bytes.data(), file.bytes.size(), PixelFormat::Gray8, image, &error);
    if (read) EXPECT_EQ(image.pixels.size(), static_cast<size_t>(image.width) * image.height) << file.name;
    else EXPECT_FALSE(error.empty()) << file.name;
    const auto wanted = expected.find(file.name);
    if (wanted == expected.end()) continue;
    EXPECT_EQ(read, wanted->second.empty()) << file.name << ": " << error;
    EXPECT_NE(error.find(wanted->second), std::string::npos) << file.name << ": " << error;
    if (file.name.find("pages") != std::string::npos) {
      EXPECT_EQ(CountImagePagesMemory(file.bytes.data(), file.bytes.size()), kMaxImagePages + 1);
    }
  }
}

TEST_F(ImageFileTest, WhatIsNoPictureFileIsRefusedAtOnceWithAReason) {
  EXPECT_EQ(Refusal(Write("empty.bmp", {})), "the file is empty");
  EXPECT_NE(Refusal(m_dir.string()).find("folder"), std::string::npos);
  ASSERT_EQ(mkfifo(Path("fifo.png").c_str(), 0600), 0);
  EXPECT_NE(Refusal(Path("fifo.png")).find("not a regular file"), std::string::npos);
  EXPECT_NE(Refusal("/dev/zero").find("not a regular file"), std::string::npos);
  const std::string sparse = Write("sparse.bmp", {'B', 'M'});
  ASSERT_EQ(truncate(sparse.c_str(), 4ll << 30), 0);
  EXPECT_NE(Refusal(sparse).find("too large (4096 MB"), std::string::npos);
  EXPECT_NE(Refusal(Write("notes.txt", {'h', 'e', 'l', 'l', 'o'})).find("not a picture"), std::string::npos);
  EXPECT_NE(Refusal(Path("missing.png")).find("No such file"), std::string::npos);
  EXPECT_EQ(LastImageFileError(), "No such file or directory");
  EXPECT_EQ(CountImagePages(Path("notes.txt").c_str()), 0);
  RasterImage image;
  ASSERT_TRUE(LoadImageMemory(MakeBmp({.bits = 24}).data(), MakeBmp({.bits = 24}).size(), PixelFormat::Gray8, image));
  EXPECT_TRUE(LoadImageFile(Write("good.bmp", MakeBmp({.bits = 24})).c_str(), PixelFormat::Gray8, image));
  EXPECT_EQ(LastImageFileError(), "");
}

// Inputs the fuzzer found: each must be refused or read without a large allocation or a crash.
TEST(ImageFileRegressionTest, FuzzerFindingsStayHarmless) {
  const fs::path folder = fs::path(CODEWERK_FIXTURES) / "fuzz";
  int files = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    RasterImage image;
    std::string error;
    if (LoadImageFile(entry.path().c_str(), PixelFormat::Gray8, image, &error)) {
      EXPECT_EQ(image.pixels.size(), static_cast<size_t>(image.width) * image.height) << entry.path();
    }
    ++files;
  }
  EXPECT_GT(files, 0);
}

// A scanned page is read by several threads, each taking a run of strips: every row must land in
// its place, the short last strip too, and a damaged strip in any run must fail the whole page.
TEST_F(ImageFileTest, LargeStrippedTiffPagesAreReadWholeAndDamageAnywhereIsCaught) {
  GrayImage pattern = Canvas(2100, 2003);
  for (int y = 0; y < pattern.height; ++y)
    for (int x = 0; x < pattern.width; ++x) pattern.pixels[static_cast<size_t>(y) * pattern.width + x] = static_cast<std::uint8_t>((x * 7 + y * 13) % 251);
  ASSERT_TRUE(SavePng(pattern, Path("pattern.png")));
  const std::string convert = "convert " + Path("pattern.png") + " -define tiff:rows-per-strip=7 -compress lzw ";
  ASSERT_EQ(std::system((convert + Path("grey.tif") + " && " + convert + "-type TrueColor " + Path("colour.tif")).c_str()), 0);
  for (const char* name : {"grey.tif", "colour.tif"}) {
    RasterImage image;
    std::string error;
    ASSERT_TRUE(LoadImageFile(Path(name).c_str(), PixelFormat::Gray8, image, &error)) << name << ": " << error;
    ASSERT_EQ(image.width, pattern.width);
    ASSERT_EQ(image.height, pattern.height);
    for (int y = 0; y < pattern.height; ++y)
      ASSERT_EQ(std::memcmp(&image.pixels[static_cast<size_t>(y) * image.width], &pattern.pixels[static_cast<size_t>(y) * pattern.width],
                            static_cast<size_t>(pattern.width)), 0)
          << name << ", row " << y;
  }

  // A strip whose offset points past the end of the file, near the top and near the bottom.
  std::ifstream in(Path("grey.tif"), std::ios::binary);
  const std::vector<std::uint8_t> tiff((std::istreambuf_iterator<char>(in)), {});
  ASSERT_EQ(tiff[0], 'I'); // little-endian, as written on this machine
  auto u16 = [&](size_t at) { return static_cast<unsigned>(tiff[at] | tiff[at + 1] << 8); };
  auto u32 = [&](size_t at) { return static_cast<std::uint32_t>(u16(at) | u16(at + 2) << 16); };
  const size_t directory = u32(4);
  size_t offsets = 0, strips = 0;
  for (unsigned entry = 0; entry < u16(directory); ++entry) {
    const size_t at = directory + 2 + 12 * entry;
    if (u16(at) == 273 && u16(at + 2) == 4) offsets = u32(at + 8), strips = u32(at + 4); // StripOffsets, LONG
  }
  ASSERT_GT(strips, 250u);
  for (size_t strip : {strips / 10, strips - strips / 10}) {
    std::vector<std::uint8_t> damaged = tiff;
    std::fill_n(damaged.begin() + static_cast<long>(offsets + 4 * strip), 4, 0x7F);
    const std::string name = "damaged" + std::to_string(strip) + ".tif";
    EXPECT_NE(Refusal(Write(name, damaged)).find("damaged"), std::string::npos) << name;
  }
}
