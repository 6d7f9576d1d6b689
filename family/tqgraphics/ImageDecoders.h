// The format readers behind LoadImageMemory. Each fills image in the wanted format or sets error.
#pragma once

#include "outside/ImageFile.h"

#include <memory>

namespace tqgraphics {

// Pixels a file may plausibly unpack to: any file may hold kFreeImagePixels; beyond that, pixel
// data of bitsPerPixel is unpacked at most 64 times the file's size. Compression reaches higher
// ratios only on blank areas, and a small file claiming a huge picture is an attack on memory and
// time, not a page with a code on it.
long long PlausiblePixels(std::size_t fileBytes, int bitsPerPixel);
// Checks the limits of ImageFile.h and the plausibility above; sets error when refusing.
bool AcceptDimensions(long long width, long long height, long long plausiblePixels, std::string* error);
void SetError(std::string* error, const std::string& text);

// Grey values of one row of blue-green-red pixels, weighted as zxing-cpp weighs them.
void BgrRowToGray(const std::uint8_t* bgr, int width, std::uint8_t* out);
// Converts one row of blue-green-red pixels into the target format.
void StoreBgrRow(const std::uint8_t* bgr, int width, RasterImage& image, int row);
// The same for red-green-blue and for grey rows.
void StoreRgbRow(const std::uint8_t* rgb, int width, RasterImage& image, int row);
void StoreGrayRow(const std::uint8_t* gray, int width, RasterImage& image, int row);
// Makes room for the pixels; a Native format becomes Gray8 for a grey source, Bgr24 otherwise.
void PrepareImage(RasterImage& image, int width, int height, PixelFormat format, bool greySource = false);
// Reads bytes at offset, whatever the interruptions; false with errno set on an error, with errno
// zero when the file ends first.
bool ReadAt(int fd, std::uint8_t* buffer, std::size_t bytes, std::size_t offset);
// No picture, but the pixel memory stays with the caller for the next one (webcam frames).
void EmptyImage(RasterImage& image);

bool DecodeDibBlock(const std::uint8_t* data, std::size_t size, PixelFormat format, RasterImage& image,
                    std::string* error);
bool DecodeBmp(const std::uint8_t* data, std::size_t size, PixelFormat format, RasterImage& image, std::string* error);
// An uncompressed BMP file read and converted a block of rows at a time (webcam frames): the rows
// are converted while still in the cache, and the whole file never needs a buffer. False for any
// other file or any trouble, so that the caller reads the whole file and explains.
bool ReadPlainBmpFile(int fd, std::size_t fileSize, PixelFormat format, RasterImage& image);
bool DecodePng(const std::uint8_t* data, std::size_t size, PixelFormat format, RasterImage& image, std::string* error);
bool DecodeJpeg(const std::uint8_t* data, std::size_t size, PixelFormat format, RasterImage& image, std::string* error);
// The first frame; the rest of an animation is never read.
bool DecodeGif(const std::uint8_t* data, std::size_t size, PixelFormat format, RasterImage& image, std::string* error);

// A TIFF file held open, so that its pages are read one after the other.
class TiffFile {
public:
  TiffFile(const std::uint8_t* data, std::size_t size);
  ~TiffFile();
  TiffFile(const TiffFile&) = delete;
  TiffFile& operator=(const TiffFile&) = delete;
  // Counts the pages, at most most of them.
  int CountPages(int most);
  bool Decode(int page, PixelFormat format, RasterImage& image, std::string* error);

private:
  struct Handle;
  std::unique_ptr<Handle> m_handle;
};

} // namespace tqgraphics
