// TIFF pages through libtiff, read from memory in bands so a large page needs no second full copy.
#include "ImageDecoders.h"

#include <tiffio.h>

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>
#include <cstring>
#include <memory>
#include <mutex>

namespace tqgraphics {
namespace {

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
// The whole file is in memory already: libtiff may read uncompressed strips where they lie.
int MapProc(thandle_t h, tdata_t* base, toff_t* size) {
  auto* s = static_cast<MemoryStream*>(h);
  *base = const_cast<std::uint8_t*>(s->data);
  *size = s->size;
  return 1;
}
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
  static std::once_flag silenced;
  std::call_once(silenced, [] {
    TIFFSetWarningHandler(nullptr);
    TIFFSetErrorHandler(nullptr);
  });
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  TIFFOpenOptionsSetMaxSingleMemAlloc(options, MaxSingleAllocation(stream.size));
  TiffPtr tif(TIFFClientOpenExt("memory", "r", &stream, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc, MapProc,
                                UnmapProc, options));
  TIFFOpenOptionsFree(options);
  return tif;
}

} // namespace

namespace {

// 8-bit grey and 8-bit RGB pages in strips, the common scan formats, are read row by row as they
// are; libtiff's general path would turn every pixel into RGBA first.
bool IsPlainStripped(TIFF* tif, bool grey) {
  uint16_t bits = 0, samples = 1, planar = PLANARCONFIG_CONTIG, photometric = 0;
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
  TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
  const bool kind = grey ? photometric == PHOTOMETRIC_MINISBLACK : (photometric == PHOTOMETRIC_RGB && samples == 3);
  return !TIFFIsTiled(tif) && bits == 8 && planar == PLANARCONFIG_CONTIG && kind;
}

uint32_t RowsPerStrip(TIFF* tif, const RasterImage& image) {
  uint32_t rowsPerStrip = 0;
  TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
  return std::min<uint32_t>(std::max<uint32_t>(rowsPerStrip, 1), static_cast<uint32_t>(image.height));
}

// The strips that hold rows [first, end): each is decoded into a buffer, then stored row by row.
bool ReadPlainStripRows(TIFF* tif, bool grey, RasterImage& image, uint32_t first, uint32_t end) {
  const tmsize_t rowBytes = TIFFScanlineSize(tif);
  const std::size_t channels = grey ? 1 : 3;
  if (rowBytes != static_cast<tmsize_t>(static_cast<std::size_t>(image.width) * channels)) return false;
  const uint32_t rowsPerStrip = RowsPerStrip(tif, image);
  std::vector<std::uint8_t> strip(static_cast<std::size_t>(rowBytes) * rowsPerStrip);
  std::vector<std::uint8_t> bgr(static_cast<std::size_t>(image.width) * 3);
  for (uint32_t top = first; top < end; top += rowsPerStrip) {
    const uint32_t rows = std::min(rowsPerStrip, static_cast<uint32_t>(image.height) - top);
    const tmsize_t wanted = rowBytes * rows;
    if (TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, top, 0), strip.data(), wanted) < wanted) return false;
    for (uint32_t r = 0; r < rows; ++r) {
      const std::uint8_t* row = strip.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(rowBytes);
      if (grey && image.format == PixelFormat::Gray8) {
        std::memcpy(image.pixels.data() + static_cast<std::size_t>(top + r) * image.Stride(), row, static_cast<std::size_t>(rowBytes));
        continue;
      }
      for (int x = 0; x < image.width; ++x) {
        const std::uint8_t* px = row + static_cast<std::size_t>(x) * channels;
        bgr[3 * static_cast<std::size_t>(x)] = grey ? px[0] : px[2];
        bgr[3 * static_cast<std::size_t>(x) + 1] = grey ? px[0] : px[1];
        bgr[3 * static_cast<std::size_t>(x) + 2] = px[0];
      }
      StoreBgrRow(bgr.data(), image.width, image, static_cast<int>(top + r));
    }
  }
  return true;
}

// Strips are compressed each on its own, so a scanned page is shared among the processor's cores,
// each with a handle of its own on the same bytes. Small pages are not worth a thread.
bool ReadPlainStrips(TIFF* tif, const MemoryStream& bytes, bool grey, RasterImage& image) {
  constexpr long long kPixelsPerThread = 2'000'000;
  const uint32_t rowsPerStrip = RowsPerStrip(tif, image);
  const uint32_t strips = (static_cast<uint32_t>(image.height) + rowsPerStrip - 1) / rowsPerStrip;
  const long long pixels = static_cast<long long>(image.width) * image.height;
  const uint32_t parts = static_cast<uint32_t>(std::clamp<long long>(
      std::min<long long>({std::thread::hardware_concurrency(), 4, pixels / kPixelsPerThread, strips}), 1, 4));
  const uint32_t stripsPerPart = (strips + parts - 1) / parts;
  const toff_t directory = TIFFCurrentDirOffset(tif);
  std::vector<std::thread> helpers;
  std::atomic<bool> helpersOk{true};
  for (uint32_t part = 1; part < parts; ++part) {
    const uint32_t first = part * stripsPerPart * rowsPerStrip;
    const uint32_t end = std::min<uint32_t>((part + 1) * stripsPerPart * rowsPerStrip, static_cast<uint32_t>(image.height));
    if (first >= end) break;
    auto work = [&, first, end] {
      MemoryStream own{bytes.data, bytes.size};
      TiffPtr other = OpenTiff(own);
      if (!other || !TIFFSetSubDirectory(other.get(), directory) ||
          !ReadPlainStripRows(other.get(), grey, image, first, end))
        helpersOk = false;
    };
    try {
      helpers.emplace_back(work);
    } catch (const std::system_error&) {
      work(); // no thread to be had: this one does the part
    }
  }
  const bool ok = ReadPlainStripRows(tif, grey, image, 0, std::min<uint32_t>(stripsPerPart * rowsPerStrip, static_cast<uint32_t>(image.height)));
  for (std::thread& helper : helpers) helper.join();
  return ok && helpersOk;
}

bool ReadThroughRgba(TIFF* tif, RasterImage& image, std::string* error) {
  char message[1024] = "";
  TIFFRGBAImage reader;
  // Stop at a damaged strip: libtiff would otherwise skip some and not others.
  if (!TIFFRGBAImageOK(tif, message) || !TIFFRGBAImageBegin(&reader, tif, 1, message)) {
    SetError(error, std::string("this TIFF page cannot be read: ") + message);
    return false;
  }
  reader.req_orientation = ORIENTATION_TOPLEFT;
  const auto width = static_cast<uint32_t>(image.width);
  std::vector<uint32_t> band(static_cast<std::size_t>(width) * kBandRows);
  std::vector<std::uint8_t> bgr(static_cast<std::size_t>(width) * 3);
  bool ok = true;
  for (uint32_t top = 0; ok && top < static_cast<uint32_t>(image.height); top += kBandRows) {
    const uint32_t rows = std::min(kBandRows, static_cast<uint32_t>(image.height) - top);
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
      StoreBgrRow(bgr.data(), image.width, image, static_cast<int>(top + r));
    }
  }
  TIFFRGBAImageEnd(&reader);
  if (!ok) SetError(error, "the TIFF page is damaged or truncated");
  return ok;
}

} // namespace

struct TiffFile::Handle {
  MemoryStream stream;
  TiffPtr tif;
  int page = 0; // the directory the handle stands on
};

TiffFile::TiffFile(const std::uint8_t* data, std::size_t size) : m_handle(new Handle{{data, size}, nullptr}) {
  m_handle->tif = OpenTiff(m_handle->stream);
}

TiffFile::~TiffFile() = default;

int TiffFile::CountPages(int most) {
  if (!m_handle->tif) return 0;
  const tdir_t count = TIFFNumberOfDirectories(m_handle->tif.get());
  return static_cast<int>(std::min<tdir_t>(count, static_cast<tdir_t>(std::max(most, 0))));
}

bool TiffFile::Decode(int page, PixelFormat format, RasterImage& image, std::string* error) {
  TIFF* tif = m_handle->tif.get();
  if (!tif) {
    SetError(error, "the TIFF file is damaged");
    return false;
  }
  // The next page follows from the current one; any other is looked for from the start.
  const bool there = page == m_handle->page || (page == m_handle->page + 1 && TIFFReadDirectory(tif)) ||
                     (page >= 0 && TIFFSetDirectory(tif, static_cast<tdir_t>(page)));
  if (!there) {
    m_handle->page = -2; // unknown: the next request looks from the start
    SetError(error, "the TIFF file has no page " + std::to_string(page + 1));
    return false;
  }
  m_handle->page = page;
  uint32_t width = 0, height = 0;
  uint16_t bits = 1, samples = 1, photometric = PHOTOMETRIC_RGB;
  TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
  if (!AcceptDimensions(width, height, PlausiblePixels(m_handle->stream.size, std::max(1, bits * samples)), error))
    return false;
  const bool grey = samples == 1 && (photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE);
  PrepareImage(image, static_cast<int>(width), static_cast<int>(height), format, grey);
  const bool ok = (IsPlainStripped(tif, grey) && ReadPlainStrips(tif, m_handle->stream, grey, image)) ||
                  ReadThroughRgba(tif, image, error);
  if (!ok) EmptyImage(image);
  return ok;
}

} // namespace tqgraphics
