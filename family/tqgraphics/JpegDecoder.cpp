// JPEG through libjpeg-turbo, a row at a time. A progressive file is decoded scan by scan over the
// whole picture, so the number of scans it may have is bounded by the picture's size.
#include "ImageDecoders.h"

#include <cstdio>
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <vector>

namespace tqgraphics {
namespace {

#ifdef CODEWERK_FUZZ_LIMITS
constexpr long long kScanPixelBudget = 20'000'000;
#else
constexpr long long kScanPixelBudget = 1'500'000'000; // a 600 dpi page in 40 scans, a photo in 100
#endif
constexpr int kFewestScansAllowed = 20, kMostScans = 100;
constexpr int kMostWarnings = 1000; // each damaged block warns once; beyond this it is noise, not a picture

struct Decoder {
  jpeg_decompress_struct info;
  jpeg_error_mgr errors;
  jpeg_progress_mgr progress;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX + 64];
  int warnings = 0;
  int mostScans = kMostScans;
};

Decoder& Of(j_common_ptr common) { return *reinterpret_cast<Decoder*>(common); } // info comes first

[[noreturn]] void Stop(Decoder& decoder) { std::longjmp(decoder.jump, 1); }

void OnError(j_common_ptr common) {
  Decoder& decoder = Of(common);
  char text[JMSG_LENGTH_MAX];
  common->err->format_message(common, text);
  std::snprintf(decoder.message, sizeof decoder.message, "the JPEG file is damaged or truncated (%s)", text);
  Stop(decoder);
}

void OnMessage(j_common_ptr common, int level) {
  Decoder& decoder = Of(common);
  if (level < 0 && ++decoder.warnings > kMostWarnings) {
    std::snprintf(decoder.message, sizeof decoder.message, "the JPEG file is damaged throughout");
    Stop(decoder);
  }
}

void OnProgress(j_common_ptr common) {
  Decoder& decoder = Of(common);
  if (decoder.info.input_scan_number > decoder.mostScans) {
    std::snprintf(decoder.message, sizeof decoder.message, "the JPEG file has more than %d scans", decoder.mostScans);
    Stop(decoder);
  }
}

void CmykToBgr(const std::uint8_t* cmyk, int width, bool adobe, std::uint8_t* bgr) {
  for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
    // Adobe writes inverted values; a plain CMYK file holds ink amounts.
    const int k = adobe ? cmyk[3] : 255 - cmyk[3];
    for (int c = 0; c < 3; ++c) {
      const int ink = adobe ? cmyk[c] : 255 - cmyk[c];
      bgr[2 - c] = static_cast<std::uint8_t>((ink * k + 127) / 255);
    }
  }
}

// Everything that libjpeg may leave with a long jump lives here, with nothing to destroy on the way.
bool Read(Decoder& d, const std::uint8_t* data, std::size_t size, PixelFormat format, std::vector<std::uint8_t>& row,
          RasterImage& image, std::string& why) {
  if (setjmp(d.jump)) {
    why = d.message;
    return false;
  }
  jpeg_mem_src(&d.info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&d.info, TRUE);
  const long long pixels = static_cast<long long>(d.info.image_width) * d.info.image_height;
  if (!AcceptDimensions(d.info.image_width, d.info.image_height, PlausiblePixels(size, 8 * d.info.num_components), &why))
    return false;
  d.mostScans = static_cast<int>(std::clamp<long long>(kScanPixelBudget / pixels, kFewestScansAllowed, kMostScans));
  const bool cmyk = d.info.jpeg_color_space == JCS_CMYK || d.info.jpeg_color_space == JCS_YCCK;
  const bool grey = d.info.num_components == 1;
  const PixelFormat wanted = format != PixelFormat::Native ? format : grey ? PixelFormat::Gray8 : PixelFormat::Bgr24;
  d.info.out_color_space = cmyk ? JCS_CMYK : wanted == PixelFormat::Gray8 ? JCS_GRAYSCALE : JCS_EXT_BGR;
  jpeg_start_decompress(&d.info);
  PrepareImage(image, static_cast<int>(d.info.output_width), static_cast<int>(d.info.output_height), wanted);
  const int width = image.width;
  const bool adobe = d.info.saw_Adobe_marker;
  if (cmyk) row.resize(static_cast<std::size_t>(width) * 7); // a CMYK row, then its colours
  while (d.info.output_scanline < d.info.output_height) {
    const int y = static_cast<int>(d.info.output_scanline);
    if (!cmyk) {
      JSAMPROW out = image.pixels.data() + static_cast<std::size_t>(y) * image.Stride();
      jpeg_read_scanlines(&d.info, &out, 1);
      continue;
    }
    JSAMPROW out = row.data();
    jpeg_read_scanlines(&d.info, &out, 1);
    std::uint8_t* bgr = row.data() + static_cast<std::size_t>(width) * 4;
    CmykToBgr(row.data(), width, adobe, bgr);
    StoreBgrRow(bgr, width, image, y);
  }
  return true;
}

} // namespace

bool DecodeJpeg(const std::uint8_t* data, std::size_t size, PixelFormat format, RasterImage& image, std::string* error) {
  Decoder decoder;
  decoder.info.err = jpeg_std_error(&decoder.errors);
  decoder.errors.error_exit = OnError;
  decoder.errors.emit_message = OnMessage;
  decoder.progress.progress_monitor = OnProgress;
  std::vector<std::uint8_t> row;
  std::string why;
  jpeg_create_decompress(&decoder.info);
  decoder.info.progress = &decoder.progress;
  decoder.info.mem->max_memory_to_use = 768L << 20;
  const bool ok = Read(decoder, data, size, format, row, image, why);
  jpeg_destroy_decompress(&decoder.info);
  if (!ok) SetError(error, why);
  return ok;
}

} // namespace tqgraphics
