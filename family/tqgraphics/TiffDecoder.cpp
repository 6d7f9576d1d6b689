// TIFF pages through libtiff, read from memory in bands so a large page needs no second full copy.
#include "ImageDecoders.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace tqgraphics {
namespace {

constexpr long long kTiffPixelsPerByte = 200000; // fax-coded white lines cost about a bit each
constexpr uint32_t kBandRows = 256;

struct MemoryStream {
  const std::uint8_t* data;
  toff_t size;
  toff_t pos = 0;
};

tsize_t ReadProc(thandle_t h, tdata_t buffer, tsize_t size) {
  auto* s = static_cast<MemoryStream*>(h);
  const toff_t n = std::min<toff_t>(static_cast<toff_t>(size), s->pos < s->size ? s->size - s->pos : 0);
  std::memcpy(buffer, s->data + s->pos, n);
  s->pos += n;
  return static_cast<tsize_t>(n);
}
tsize_t WriteProc(thandle_t, tdata_t, tsize_t) { return -1; }
toff_t SeekProc(thandle_t h, toff_t offset, int whence) {
  auto* s = static_cast<MemoryStream*>(h);
  const toff_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? s->pos : s->size;
  s->pos = base + offset;
  return s->pos;
}
int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t h) { return static_cast<MemoryStream*>(h)->size; }
int MapProc(thandle_t, tdata_t*, toff_t*) { return 0; }
void UnmapProc(thandle_t, tdata_t, toff_t) {}

struct TiffCloser {
  void operator()(TIFF* t) const { TIFFClose(t); }
};
using TiffPtr = std::unique_ptr<TIFF, TiffCloser>;

// libtiff sizes its strip and tile buffers from the file's tags; a hostile file can ask for
// gigabytes. No single buffer may exceed what a file of this size could plausibly unpack to.
tmsize_t MaxSingleAllocation(toff_t fileBytes) {
  constexpr tmsize_t kFloor = 64 << 20, kCeiling = tmsize_t{1} << 30;
  const long double plausible = static_cast<long double>(fileBytes) * 10000;
  return plausible < kFloor ? kFloor : plausible > kCeiling ? kCeiling : static_cast<tmsize_t>(plausible);
}

TiffPtr OpenTiff(MemoryStream& stream) {
  // libtiff reports through global handlers; silence them, the caller gets its own message.
  TIFFSetWarningHandler(nullptr);
  TIFFSetErrorHandler(nullptr);
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  TIFFOpenOptionsSetMaxSingleMemAlloc(options, MaxSingleAllocation(stream.size));
  TiffPtr tif(TIFFClientOpenExt("memory", "rm", &stream, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc, MapProc,
                                UnmapProc, options));
  TIFFOpenOptionsFree(options);
  return tif;
}

} // namespace

int CountTiffPages(const std::uint8_t* data, std::size_t size) {
  MemoryStream stream{data, size};
  TiffPtr tif = OpenTiff(stream);
  return tif ? TIFFNumberOfDirectories(tif.get()) : 0;
}

bool DecodeTiff(const std::uint8_t* data, std::size_t size, int page, PixelFormat format, RasterImage& image,
                std::string* error) {
  MemoryStream stream{data, size};
  TiffPtr tif = OpenTiff(stream);
  if (!tif) {
    SetError(error, "the TIFF file is damaged");
    return false;
  }
  if (page < 0 || !TIFFSetDirectory(tif.get(), static_cast<tdir_t>(page))) {
    SetError(error, "the TIFF file has no page " + std::to_string(page + 1));
    return false;
  }
  uint32_t width = 0, height = 0;
  TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height);
  if (!AcceptDimensions(width, height, PlausiblePixels(size, kTiffPixelsPerByte), error)) return false;

  char message[1024] = "";
  TIFFRGBAImage reader;
  if (!TIFFRGBAImageOK(tif.get(), message) || !TIFFRGBAImageBegin(&reader, tif.get(), 0, message)) {
    SetError(error, std::string("this TIFF page cannot be read: ") + message);
    return false;
  }
  reader.req_orientation = ORIENTATION_TOPLEFT;
  PrepareImage(image, static_cast<int>(width), static_cast<int>(height), format);
  std::vector<uint32_t> band(static_cast<std::size_t>(width) * kBandRows);
  std::vector<std::uint8_t> bgr(static_cast<std::size_t>(width) * 3);
  bool ok = true;
  for (uint32_t top = 0; ok && top < height; top += kBandRows) {
    const uint32_t rows = std::min(kBandRows, height - top);
    reader.row_offset = static_cast<int>(top);
    reader.col_offset = 0;
    ok = TIFFRGBAImageGet(&reader, band.data(), width, rows) != 0;
    for (uint32_t r = 0; ok && r < rows; ++r) {
      const uint32_t* px = band.data() + static_cast<std::size_t>(r) * width;
      for (uint32_t x = 0; x < width; ++x) {
        bgr[3 * x] = static_cast<std::uint8_t>(TIFFGetB(px[x]));
        bgr[3 * x + 1] = static_cast<std::uint8_t>(TIFFGetG(px[x]));
        bgr[3 * x + 2] = static_cast<std::uint8_t>(TIFFGetR(px[x]));
      }
      StoreBgrRow(bgr.data(), static_cast<int>(width), image, static_cast<int>(top + r));
    }
  }
  TIFFRGBAImageEnd(&reader);
  if (!ok) {
    SetError(error, "the TIFF page is damaged or truncated");
    image = RasterImage{};
  }
  return ok;
}

} // namespace tqgraphics
