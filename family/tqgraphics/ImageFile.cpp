#include "outside/ImageFile.h"

#include "ImageDecoders.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tqgraphics {

long long PlausiblePixels(std::size_t fileBytes, int bitsPerPixel) {
  constexpr long double kUnpacking = 64;
  const long double pixels = static_cast<long double>(fileBytes) * kUnpacking * 8 / std::max(bitsPerPixel, 1);
  if (pixels >= static_cast<long double>(kMaxImagePixels)) return kMaxImagePixels;
  return std::max(kFreeImagePixels, static_cast<long long>(pixels));
}

void SetError(std::string* error, const std::string& text) {
  if (error) *error = text;
}

bool AcceptDimensions(long long width, long long height, long long plausiblePixels, std::string* error) {
  if (width <= 0 || height <= 0) {
    SetError(error, "the picture has no pixels");
    return false;
  }
  if (width > kMaxImageSide || height > kMaxImageSide || width * height > std::min(kMaxImagePixels, plausiblePixels)) {
    SetError(error, "the picture claims " + std::to_string(width) + " x " + std::to_string(height) +
                        " pixels, more than this file can hold or this program reads");
    return false;
  }
  return true;
}

void PrepareImage(RasterImage& image, int width, int height, PixelFormat format, bool greySource) {
  if (format == PixelFormat::Native) format = greySource ? PixelFormat::Gray8 : PixelFormat::Bgr24;
  image.width = width;
  image.height = height;
  image.format = format;
  image.pixels.clear();
  image.pixels.resize(static_cast<std::size_t>(width) * height * (format == PixelFormat::Gray8 ? 1 : 3));
}

bool ReadAt(int fd, std::uint8_t* buffer, std::size_t bytes, std::size_t offset) {
  for (std::size_t done = 0; done < bytes;) {
    const ssize_t n = ::pread(fd, buffer + done, bytes - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = 0;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

void EmptyImage(RasterImage& image) {
  image.width = image.height = 0;
  image.pixels.clear();
}

void StoreBgrRow(const std::uint8_t* bgr, int width, RasterImage& image, int row) {
  std::uint8_t* out = image.pixels.data() + static_cast<std::size_t>(row) * image.Stride();
  if (image.format == PixelFormat::Bgr24) std::memcpy(out, bgr, static_cast<std::size_t>(width) * 3);
  else BgrRowToGray(bgr, width, out);
}

void StoreRgbRow(const std::uint8_t* rgb, int width, RasterImage& image, int row) {
  std::uint8_t* out = image.pixels.data() + static_cast<std::size_t>(row) * image.Stride();
  if (image.format == PixelFormat::Gray8) {
    for (int x = 0; x < width; ++x, rgb += 3)
      out[x] = static_cast<std::uint8_t>((306 * rgb[0] + 601 * rgb[1] + 117 * rgb[2] + 0x200) >> 10);
    return;
  }
  for (int x = 0; x < width; ++x, rgb += 3, out += 3) out[0] = rgb[2], out[1] = rgb[1], out[2] = rgb[0];
}

void StoreGrayRow(const std::uint8_t* gray, int width, RasterImage& image, int row) {
  std::uint8_t* out = image.pixels.data() + static_cast<std::size_t>(row) * image.Stride();
  if (image.format == PixelFormat::Gray8) {
    std::memcpy(out, gray, static_cast<std::size_t>(width));
    return;
  }
  for (int x = 0; x < width; ++x, out += 3) out[0] = out[1] = out[2] = gray[x];
}

} // namespace tqgraphics

namespace {

using namespace tqgraphics;

enum class Kind { Bmp, Tiff, Png, Jpeg, Gif, Unknown };

Kind Sniff(const std::uint8_t* d, std::size_t n) {
  if (n >= 2 && d[0] == 'B' && d[1] == 'M') return Kind::Bmp;
  if (n >= 4 && ((d[0] == 'I' && d[1] == 'I' && d[2] == 42 && d[3] == 0) || (d[0] == 'M' && d[1] == 'M' && d[2] == 0 && d[3] == 42)))
    return Kind::Tiff;
  if (n >= 8 && std::memcmp(d, "\x89PNG\r\n\x1a\n", 8) == 0) return Kind::Png;
  if (n >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF) return Kind::Jpeg;
  if (n >= 6 && (std::memcmp(d, "GIF87a", 6) == 0 || std::memcmp(d, "GIF89a", 6) == 0)) return Kind::Gif;
  return Kind::Unknown;
}

bool DecodeSinglePage(Kind kind, const std::uint8_t* data, std::size_t size, PixelFormat format, RasterImage& image,
                      std::string* error) {
  switch (kind) {
    case Kind::Bmp: return DecodeBmp(data, size, format, image, error);
    case Kind::Png: return DecodePng(data, size, format, image, error);
    case Kind::Jpeg: return DecodeJpeg(data, size, format, image, error);
    case Kind::Gif: return DecodeGif(data, size, format, image, error);
    default: SetError(error, "not a picture file this program reads (BMP, PNG, JPEG, GIF or TIFF)"); return false;
  }
}

bool DecodeAny(const std::uint8_t* data, std::size_t size, int page, PixelFormat format, RasterImage& image,
               std::string* error) {
  const Kind kind = Sniff(data, size);
  if (kind == Kind::Tiff) return TiffFile(data, size).Decode(page, format, image, error);
  if (kind != Kind::Unknown && page != 0) {
    SetError(error, "the picture has only one page");
    return false;
  }
  return DecodeSinglePage(kind, data, size, format, image, error);
}

bool Decode(const std::uint8_t* data, std::size_t size, int page, PixelFormat format, RasterImage& image,
            std::string* error) {
  EmptyImage(image);
  if (DecodeAny(data, size, page, format, image, error)) return true;
  EmptyImage(image);
  return false;
}

// Every public reader notes its outcome here, for the callers that get only a null handle.
std::string& LastError() {
  thread_local std::string error;
  return error;
}

bool Noted(bool ok, const std::string& error, std::string* callerError) {
  LastError() = ok ? std::string() : error;
  if (!ok) SetError(callerError, error);
  return ok;
}

// A file opened once, its bytes read into a buffer that the calling thread keeps for its next
// file: frames of a webcam come every quarter second, and a buffer that stays mapped is read far
// faster than new pages. Large scans give theirs back.
class FileContent {
public:
  FileContent() : m_buffer(std::move(Kept())) { Kept().clear(); }
  ~FileContent() {
    if (m_fd >= 0) ::close(m_fd);
    if (m_buffer.capacity() <= kKeptBytes) Kept() = std::move(m_buffer);
  }
  FileContent(const FileContent&) = delete;
  FileContent& operator=(const FileContent&) = delete;

  bool Open(const char* path, std::string* error) {
    m_fd = OpenPictureFile(path, m_size, error);
    return m_fd >= 0;
  }
  // An uncompressed BMP straight from the file, a block of rows at a time.
  bool ReadPlainBmp(PixelFormat format, RasterImage& image) { return ReadPlainBmpFile(m_fd, m_size, format, image); }
  bool Read(std::string* error) {
    if (m_buffer.size() < m_size) m_buffer.resize(m_size);
    if (ReadAt(m_fd, m_buffer.data(), m_size, 0)) return true;
    SetError(error, errno ? std::strerror(errno) : "the file shrank while it was read");
    return false;
  }
  const std::uint8_t* data() const { return m_buffer.data(); }
  std::size_t size() const { return m_size; }

private:
  static constexpr std::size_t kKeptBytes = 32u << 20;
  static PixelBuffer& Kept() {
    thread_local PixelBuffer kept;
    return kept;
  }

  PixelBuffer m_buffer;
  int m_fd = -1;
  std::size_t m_size = 0;
};

std::string MegaBytes(std::size_t bytes) { return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MB"; }

} // namespace

int OpenPictureFile(const char* path, std::size_t& size, std::string* error) {
  if (!path) {
    SetError(error, "no file name");
    return -1;
  }
  // Non-blocking, so that opening a pipe or a device returns at once and fstat can refuse it.
  const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    SetError(error, std::strerror(errno));
    return -1;
  }
  struct stat st;
  std::string why;
  if (::fstat(fd, &st) != 0) why = std::strerror(errno);
  else if (S_ISDIR(st.st_mode)) why = "it is a folder, not a picture file";
  else if (!S_ISREG(st.st_mode)) why = "it is not a regular file (a pipe, a device or a socket)";
  else if (st.st_size == 0) why = "the file is empty";
  else if (static_cast<unsigned long long>(st.st_size) > kMaxImageFileBytes)
    why = "the file is too large (" + MegaBytes(static_cast<std::size_t>(st.st_size)) + "; at most " +
          MegaBytes(kMaxImageFileBytes) + " are read)";
  if (!why.empty()) {
    ::close(fd);
    SetError(error, why);
    return -1;
  }
  size = static_cast<std::size_t>(st.st_size);
  return fd;
}

bool LoadImageMemory(const std::uint8_t* data, std::size_t size, PixelFormat format, RasterImage& image,
                     std::string* error) {
  return Decode(data, size, 0, format, image, error);
}

bool LoadImageFile(const char* path, PixelFormat format, RasterImage& image, std::string* error) {
  return LoadImagePage(path, 0, format, image, error);
}

bool LoadImagePage(const char* path, int page, PixelFormat format, RasterImage& image, std::string* error) {
  std::string why;
  FileContent file;
  if (!file.Open(path, &why)) return Noted(false, why, error);
  if (page == 0 && file.ReadPlainBmp(format, image)) return Noted(true, why, error);
  const bool ok = file.Read(&why) && Decode(file.data(), file.size(), page, format, image, &why);
  return Noted(ok, why, error);
}

int CountImagePages(const char* path) {
  std::string why;
  FileContent file;
  if (!file.Open(path, &why) || !file.Read(&why)) return Noted(false, why, nullptr);
  const int pages = CountImagePagesMemory(file.data(), file.size());
  Noted(pages > 0, "not a picture file this program reads (BMP, PNG, JPEG, GIF or TIFF)", nullptr);
  return pages;
}

bool ReadWholeFile(const char* path, PixelBuffer& bytes, std::string* error) {
  std::string why;
  FileContent file;
  if (!file.Open(path, &why) || !file.Read(&why)) return Noted(false, why, error);
  bytes.assign(file.data(), file.data() + file.size());
  return Noted(true, why, error);
}

const std::string& LastImageFileError() { return LastError(); }

int CountImagePagesMemory(const std::uint8_t* data, std::size_t size, int most) {
  const Kind kind = Sniff(data, size);
  if (kind == Kind::Tiff) return TiffFile(data, size).CountPages(most);
  return kind == Kind::Unknown || most < 1 ? 0 : 1;
}

bool LoadImagePageMemory(const std::uint8_t* data, std::size_t size, int page, PixelFormat format, RasterImage& image,
                         std::string* error) {
  return Decode(data, size, page, format, image, error);
}

struct PicturePages::Reader {
  Kind kind;
  std::unique_ptr<TiffFile> tiff;
};

PicturePages::PicturePages(const std::uint8_t* data, std::size_t size)
    : m_data(data), m_size(size), m_reader(new Reader{Sniff(data, size), nullptr}) {
  if (m_reader->kind == Kind::Tiff) m_reader->tiff = std::make_unique<TiffFile>(data, size);
}

PicturePages::~PicturePages() = default;

bool PicturePages::Load(int page, PixelFormat format, RasterImage& image, std::string* error) {
  if (!m_reader->tiff) return Decode(m_data, m_size, page, format, image, error);
  EmptyImage(image);
  if (m_reader->tiff->Decode(page, format, image, error)) return true;
  EmptyImage(image);
  return false;
}

bool LoadDibPixels(const void* dib, std::size_t size, PixelFormat format, RasterImage& image, std::string* error) {
  return dib && DecodeDibBlock(static_cast<const std::uint8_t*>(dib), size, format, image, error);
}
