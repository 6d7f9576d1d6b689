// PNG through libpng, a row at a time, with limits on the chunks and the pixels a file may ask for.
#include "ImageDecoders.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

namespace tqgraphics {
namespace {

struct Source {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t pos = 0;
};

struct Buffers {
  std::vector<std::uint8_t> row, blended;
  PixelBuffer whole; // interlaced pictures only: their passes need every row at hand
  std::vector<png_bytep> rows;
};

void ReadBytes(png_structp png, png_bytep out, png_size_t n) {
  auto* source = static_cast<Source*>(png_get_io_ptr(png));
  if (n > source->size - source->pos) png_error(png, "the file ends early");
  std::memcpy(out, source->data + source->pos, n);
  source->pos += n;
}

void OnError(png_structp png, png_const_charp message) {
  *static_cast<std::string*>(png_get_error_ptr(png)) = std::string("the PNG file is damaged or truncated (") + message + ")";
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Transparent pixels are shown on white, as a viewer shows them: a code on a transparent ground
// is often black on "black, fully transparent".
std::uint8_t OnWhite(std::uint8_t value, std::uint8_t alpha) {
  return static_cast<std::uint8_t>((value * alpha + 255 * (255 - alpha) + 127) / 255);
}

void StoreRow(const std::uint8_t* row, int channels, int width, Buffers& buffers, RasterImage& image, int y) {
  const bool alpha = channels == 2 || channels == 4;
  const int colours = alpha ? channels - 1 : channels;
  if (alpha) {
    buffers.blended.resize(static_cast<std::size_t>(width) * colours);
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < colours; ++c)
        buffers.blended[static_cast<std::size_t>(x) * colours + c] = OnWhite(row[x * channels + c], row[x * channels + colours]);
    row = buffers.blended.data();
  }
  if (colours == 1) StoreGrayRow(row, width, image, y);
  else StoreRgbRow(row, width, image, y);
}

// Everything that libpng may leave with a long jump lives here, with nothing to destroy on the way.
bool Read(png_structp png, png_infop info, Source& source, PixelFormat format, Buffers& buffers, RasterImage& image,
          std::string& why) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, &source, ReadBytes);
  png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF); // sizes are judged below, with the reason
  png_set_chunk_cache_max(png, 128);         // ancillary chunks kept
  png_set_chunk_malloc_max(png, 8u << 20);   // the largest chunk unpacked (text, colour profiles)
#ifdef CODEWERK_FUZZ_LIMITS
  png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE); // let the fuzzer past the checksums
#endif
  png_read_info(png, info);
  png_uint_32 width = 0, height = 0;
  int depth = 0, colourType = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &colourType, nullptr, nullptr, nullptr);
  if (!AcceptDimensions(width, height, PlausiblePixels(source.size, depth * png_get_channels(png, info)), &why))
    return false;
  const bool grey = !(colourType & PNG_COLOR_MASK_COLOR);
  png_set_strip_16(png);
  png_set_packing(png);
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (grey && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const int channels = png_get_channels(png, info);
  const std::size_t rowBytes = png_get_rowbytes(png, info);
  if (channels < 1 || channels > 4 || rowBytes != static_cast<std::size_t>(width) * channels) {
    why = "the PNG file has an unexpected pixel layout";
    return false;
  }
  PrepareImage(image, static_cast<int>(width), static_cast<int>(height), format, grey);
  if (passes == 1) {
    buffers.row.resize(rowBytes);
    for (png_uint_32 y = 0; y < height; ++y) {
      png_read_row(png, buffers.row.data(), nullptr);
      StoreRow(buffers.row.data(), channels, static_cast<int>(width), buffers, image, static_cast<int>(y));
    }
    return true;
  }
  buffers.whole.resize(rowBytes * height);
  buffers.rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) buffers.rows[y] = buffers.whole.data() + rowBytes * y;
  png_read_image(png, buffers.rows.data());
  for (png_uint_32 y = 0; y < height; ++y)
    StoreRow(buffers.rows[y], channels, static_cast<int>(width), buffers, image, static_cast<int>(y));
  return true;
}

} // namespace

bool DecodePng(const std::uint8_t* data, std::size_t size, PixelFormat format, RasterImage& image, std::string* error) {
  std::string why;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &why, OnError, OnWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  Source source{data, size};
  Buffers buffers;
  const bool ok = info && Read(png, info, source, format, buffers, image, why);
  png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  if (!ok) SetError(error, why.empty() ? "the PNG file cannot be read" : why);
  return ok;
}

} // namespace tqgraphics
