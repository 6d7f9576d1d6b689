// BMP files of every common kind: core and info headers, 1/4/8-bit palettes, RLE4 and RLE8,
// 16 and 32 bits with or without bit fields, 24 bits; rows bottom-up or top-down.
#include "ImageDecoders.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tqgraphics {
namespace {

constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;

std::uint32_t U32(const std::uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24); }
std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

struct Header {
  long long width = 0, height = 0;
  bool topDown = false;
  int bits = 0;
  std::uint32_t compression = kRgb;
  std::uint32_t colorsUsed = 0;
  std::uint32_t masks[3] = {0, 0, 0}; // red, green, blue
  std::size_t paletteOffset = 0;
  int paletteEntrySize = 4;
  std::size_t pixelOffset = 0;
};

// One colour channel of a bit-field pixel, scaled to 8 bits.
struct Channel {
  int shift = 0, width = 0;
  explicit Channel(std::uint32_t mask) {
    if (!mask) return;
    while (!(mask & 1)) { mask >>= 1; ++shift; }
    while (mask & 1) { mask >>= 1; ++width; }
  }
  std::uint8_t Of(std::uint32_t pixel) const {
    if (width == 0) return 0;
    const std::uint32_t v = (pixel >> shift) & ((1u << std::min(width, 31)) - 1);
    return width >= 8 ? static_cast<std::uint8_t>(v >> (width - 8)) : static_cast<std::uint8_t>(v * 255 / ((1u << width) - 1));
  }
};

// The info header starts at infoStart: after the 14-byte file header in a file, at 0 in a bitmap
// block, where the pixels follow the colour table directly.
bool ReadHeader(const std::uint8_t* d, std::size_t n, std::size_t infoStart, Header& h, std::string* error) {
  if (n < infoStart + 12) {
    SetError(error, "the BMP file is truncated");
    return false;
  }
  const std::uint8_t* info = d + infoStart;
  const std::uint32_t infoSize = U32(info);
  if (infoStart) h.pixelOffset = U32(d + 10);
  if (infoSize == 12) { // OS/2 core header
    h.width = U16(info + 4);
    h.height = static_cast<std::int16_t>(U16(info + 6));
    h.bits = U16(info + 10);
    h.paletteEntrySize = 3;
  } else if (infoSize >= 40 && infoSize <= 124 && n >= infoStart + 40) {
    h.width = static_cast<std::int32_t>(U32(info + 4));
    h.height = static_cast<std::int32_t>(U32(info + 8));
    h.bits = U16(info + 14);
    h.compression = U32(info + 16);
    h.colorsUsed = U32(info + 32);
    const bool masksFollow = infoSize == 40 && (h.compression == kBitFields || h.compression == kAlphaBitFields);
    if (infoSize >= 52 || masksFollow) {
      if (n < infoStart + 40 + 12) {
        SetError(error, "the BMP file is truncated");
        return false;
      }
      for (int i = 0; i < 3; ++i) h.masks[i] = U32(info + 40 + 4 * i);
    }
    if (masksFollow) h.paletteOffset = infoStart + 40 + (h.compression == kAlphaBitFields ? 16 : 12);
  } else {
    SetError(error, "the BMP header is of an unknown kind");
    return false;
  }
  if (!h.paletteOffset) h.paletteOffset = infoStart + infoSize;
  if (!infoStart) {
    const std::size_t maxEntries = h.bits <= 8 ? (1u << h.bits) : 0;
    const std::size_t entries = h.colorsUsed == 0 || h.colorsUsed > maxEntries ? maxEntries : h.colorsUsed;
    h.pixelOffset = h.paletteOffset + entries * static_cast<std::size_t>(h.paletteEntrySize);
  }
  if (h.height < 0) {
    h.topDown = true;
    h.height = -h.height;
  }
  if (h.compression == kAlphaBitFields) h.compression = kBitFields;
  const bool paletted = h.bits == 1 || h.bits == 4 || h.bits == 8;
  const bool valid = (paletted && (h.compression == kRgb || (h.compression == kRle8 && h.bits == 8) ||
                                   (h.compression == kRle4 && h.bits == 4))) ||
                     ((h.bits == 16 || h.bits == 32) && (h.compression == kRgb || h.compression == kBitFields)) ||
                     (h.bits == 24 && h.compression == kRgb);
  if (!valid) {
    SetError(error, "BMP with " + std::to_string(h.bits) + " bits and compression " + std::to_string(h.compression) +
                        " is not supported");
    return false;
  }
  if (h.compression == kRgb && h.bits == 16) h.masks[0] = 0x7C00, h.masks[1] = 0x03E0, h.masks[2] = 0x001F;
  if (h.compression == kRgb && h.bits == 32) h.masks[0] = 0xFF0000, h.masks[1] = 0xFF00, h.masks[2] = 0xFF;
  if (h.pixelOffset < h.paletteOffset || h.pixelOffset >= n) {
    SetError(error, "the BMP file's pixel data lies outside the file");
    return false;
  }
  return true;
}

using Palette = std::array<std::array<std::uint8_t, 3>, 256>; // blue, green, red

Palette ReadPalette(const std::uint8_t* d, const Header& h) {
  Palette palette{};
  if (h.bits > 8) return palette;
  const std::size_t maxEntries = 1u << h.bits;
  std::size_t entries = h.colorsUsed == 0 || h.colorsUsed > maxEntries ? maxEntries : h.colorsUsed;
  entries = std::min(entries, (h.pixelOffset - h.paletteOffset) / static_cast<std::size_t>(h.paletteEntrySize));
  for (std::size_t i = 0; i < entries; ++i) {
    const std::uint8_t* e = d + h.paletteOffset + i * static_cast<std::size_t>(h.paletteEntrySize);
    palette[i] = {e[0], e[1], e[2]};
  }
  return palette;
}

// Expands one stored row of an uncompressed bitmap into blue-green-red.
void ExpandRow(const std::uint8_t* src, const Header& h, const Palette& palette, std::uint8_t* bgr) {
  const Channel red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]);
  for (long long x = 0; x < h.width; ++x, bgr += 3) {
    switch (h.bits) {
      case 1: std::memcpy(bgr, palette[(src[x >> 3] >> (7 - (x & 7))) & 1].data(), 3); break;
      case 4: std::memcpy(bgr, palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F].data(), 3); break;
      case 8: std::memcpy(bgr, palette[src[x]].data(), 3); break;
      case 24: std::memcpy(bgr, src + 3 * x, 3); break;
      default: {
        const std::uint32_t p = h.bits == 16 ? U16(src + 2 * x) : U32(src + 4 * x);
        bgr[0] = blue.Of(p);
        bgr[1] = green.Of(p);
        bgr[2] = red.Of(p);
      }
    }
  }
}

std::size_t StrideOf(const Header& h) { return static_cast<std::size_t>(((h.width * h.bits + 31) / 32) * 4); }
std::size_t RowBytesOf(const Header& h) { return static_cast<std::size_t>((h.width * h.bits + 7) / 8); }

// The padding of the very last row is often left off; the pixels themselves must be there.
bool HoldsAllRows(std::size_t n, const Header& h) {
  return h.pixelOffset + StrideOf(h) * static_cast<std::size_t>(h.height - 1) + RowBytesOf(h) <= n;
}

bool IsGreyRamp(const Palette& palette) {
  for (int i = 0; i < 256; ++i)
    if (palette[static_cast<size_t>(i)] != std::array<std::uint8_t, 3>{std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)}) return false;
  return true;
}

// Stored rows first to first + count - 1 of an uncompressed bitmap, given one after the other
// (the last without its padding, perhaps), into the picture.
void StoreRows(const std::uint8_t* rows, long long first, long long count, const Header& h, const Palette& palette,
               RasterImage& image) {
  const std::size_t stride = StrideOf(h);
  const std::size_t rowBytes = RowBytesOf(h);
  // Grey scans are exchanged as 8-bit bitmaps with a grey ramp: their rows are the grey picture.
  const bool greyRows = h.bits == 8 && image.format == PixelFormat::Gray8 && IsGreyRamp(palette);
  const bool copyRows = greyRows || (h.bits == 24 && image.format == PixelFormat::Bgr24);
  std::vector<std::uint8_t> bgr(h.bits == 24 || copyRows ? 0 : static_cast<std::size_t>(h.width) * 3);
  for (long long stored = first; stored < first + count; ++stored, rows += stride) {
    const int y = static_cast<int>(h.topDown ? stored : h.height - 1 - stored);
    if (copyRows) {
      std::memcpy(image.pixels.data() + static_cast<std::size_t>(y) * image.Stride(), rows, rowBytes);
    } else if (h.bits == 24) {
      StoreBgrRow(rows, static_cast<int>(h.width), image, y);
    } else {
      ExpandRow(rows, h, palette, bgr.data());
      StoreBgrRow(bgr.data(), static_cast<int>(h.width), image, y);
    }
  }
}

// Run-length encoded rows into palette indices; pixels the runs never reach keep index 0.
void DecodeRle(const std::uint8_t* d, std::size_t n, const Header& h, std::vector<std::uint8_t>& indices) {
  const bool four = h.compression == kRle4;
  long long x = 0, y = 0;
  auto put = [&](std::uint8_t index) {
    if (x < h.width && y < h.height) indices[static_cast<std::size_t>(y * h.width + x)] = index;
    ++x;
  };
  for (std::size_t p = h.pixelOffset; p + 1 < n && y < h.height;) {
    const std::uint8_t count = d[p], value = d[p + 1];
    p += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i) put(four ? ((i & 1) ? value & 0x0F : value >> 4) : value);
    } else if (value == 0) {
      x = 0, ++y; // end of line
    } else if (value == 1) {
      break; // end of bitmap
    } else if (value == 2) {
      if (p + 1 >= n) break;
      x += d[p], y += d[p + 1];
      p += 2;
    } else { // a literal run of value pixels, padded to a whole word
      const std::size_t bytes = four ? (value + 1u) / 2 : value;
      if (p + bytes > n) break;
      for (int i = 0; i < value; ++i) put(four ? ((i & 1) ? d[p + i / 2] & 0x0F : d[p + i / 2] >> 4) : d[p + i]);
      p += (bytes + 1) & ~std::size_t{1};
    }
  }
}

} // namespace

bool DecodeBmpAt(const std::uint8_t* d, std::size_t n, std::size_t infoStart, PixelFormat format, RasterImage& image,
                 std::string* error) {
  Header h;
  if (!ReadHeader(d, n, infoStart, h, error)) return false;
  const bool rle = h.compression == kRle8 || h.compression == kRle4;
  // A run or a delta escape makes many pixels of two bytes; stored rows must all be there.
  const long long plausible = rle ? PlausiblePixels(n, h.bits) : kMaxImagePixels;
  if (!AcceptDimensions(h.width, h.height, plausible, error)) return false;
  if (!rle && !HoldsAllRows(n, h)) {
    SetError(error, "the BMP file is truncated");
    return false;
  }
  const Palette palette = ReadPalette(d, h);
  PrepareImage(image, static_cast<int>(h.width), static_cast<int>(h.height), format,
               h.bits == 8 && h.compression == kRgb && IsGreyRamp(palette));
  if (!rle) {
    StoreRows(d + h.pixelOffset, 0, h.height, h, palette, image);
    return true;
  }

  std::vector<std::uint8_t> indices(static_cast<std::size_t>(h.width * h.height), 0);
  DecodeRle(d, n, h, indices);
  std::vector<std::uint8_t> bgr(static_cast<std::size_t>(h.width) * 3);
  for (long long y = 0; y < h.height; ++y) {
    const long long stored = h.topDown ? y : h.height - 1 - y;
    for (long long x = 0; x < h.width; ++x)
      std::memcpy(&bgr[static_cast<std::size_t>(3 * x)], palette[indices[static_cast<std::size_t>(stored * h.width + x)]].data(), 3);
    StoreBgrRow(bgr.data(), static_cast<int>(h.width), image, static_cast<int>(y));
  }
  return true;
}

bool DecodeBmp(const std::uint8_t* d, std::size_t n, PixelFormat format, RasterImage& image, std::string* error) {
  return DecodeBmpAt(d, n, 14, format, image, error);
}

bool ReadPlainBmpFile(int fd, std::size_t fileSize, PixelFormat format, RasterImage& image) {
  // Everything before the pixels must fit here: headers and a palette of at most 256 entries.
  std::uint8_t head[2048];
  const std::size_t headBytes = std::min(fileSize, sizeof head);
  Header h;
  if (!ReadAt(fd, head, headBytes, 0) || headBytes < 2 || head[0] != 'B' || head[1] != 'M' ||
      !ReadHeader(head, fileSize, 14, h, nullptr) || h.compression == kRle8 || h.compression == kRle4 ||
      h.pixelOffset > headBytes || !AcceptDimensions(h.width, h.height, kMaxImagePixels, nullptr) || !HoldsAllRows(fileSize, h))
    return false;
  const Palette palette = ReadPalette(head, h);
  PrepareImage(image, static_cast<int>(h.width), static_cast<int>(h.height), format,
               h.bits == 8 && IsGreyRamp(palette));
  // A block of rows small enough to stay in the cache until it is converted.
  constexpr std::size_t kBlockBytes = 256u << 10;
  const std::size_t stride = StrideOf(h);
  const long long blockRows = std::max<long long>(1, static_cast<long long>(kBlockBytes / stride));
  std::vector<std::uint8_t> block(static_cast<std::size_t>(std::min(blockRows, h.height)) * stride);
  for (long long first = 0; first < h.height; first += blockRows) {
    const long long count = std::min(blockRows, h.height - first);
    const std::size_t offset = h.pixelOffset + static_cast<std::size_t>(first) * stride;
    if (!ReadAt(fd, block.data(), std::min(static_cast<std::size_t>(count) * stride, fileSize - offset), offset)) {
      EmptyImage(image); // the file shrank meanwhile
      return false;
    }
    StoreRows(block.data(), first, count, h, palette, image);
  }
  return true;
}

bool DecodeDibBlock(const std::uint8_t* d, std::size_t n, PixelFormat format, RasterImage& image, std::string* error) {
  EmptyImage(image);
  if (DecodeBmpAt(d, n, 0, format, image, error)) return true;
  EmptyImage(image);
  return false;
}

} // namespace tqgraphics
