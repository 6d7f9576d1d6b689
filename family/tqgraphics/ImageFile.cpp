#include "outside/ImageFile.h"

#include "ImageDecoders.h"

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tqgraphics {

long long PlausiblePixels(std::size_t fileBytes, long long pixelsPerByte) {
  const long long bytes = static_cast<long long>(std::min<std::size_t>(fileBytes, 1ull << 40));
  return bytes > kMaxImagePixels / pixelsPerByte ? kMaxImagePixels : bytes * pixelsPerByte;
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

} // namespace tqgraphics

namespace {

using namespace tqgraphics;

enum class Kind { Bmp, Tiff, Stb, Unknown };

Kind Sniff(const std::uint8_t* d, std::size_t n) {
  if (n >= 2 && d[0] == 'B' && d[1] == 'M') return Kind::Bmp;
  if (n >= 4 && ((d[0] == 'I' && d[1] == 'I' && d[2] == 42 && d[3] == 0) || (d[0] == 'M' && d[1] == 'M' && d[2] == 0 && d[3] == 42)))
    return Kind::Tiff;
  if (n >= 8 && std::memcmp(d, "\x89PNG\r\n\x1a\n", 8) == 0) return Kind::Stb;
  if (n >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF) return Kind::Stb;
  if (n >= 6 && (std::memcmp(d, "GIF87a", 6) == 0 || std::memcmp(d, "GIF89a", 6) == 0)) return Kind::Stb;
  return Kind::Unknown;
}

bool DecodeAny(const std::uint8_t* data, std::size_t size, int page, PixelFormat format, RasterImage& image,
               std::string* error) {
  const Kind kind = Sniff(data, size);
  if (kind == Kind::Tiff) return DecodeTiff(data, size, page, format, image, error);
  if (kind != Kind::Unknown && page != 0) {
    SetError(error, "the picture has only one page");
    return false;
  }
  if (kind == Kind::Bmp) return DecodeBmp(data, size, format, image, error);
  if (kind == Kind::Stb) return DecodeWithStb(data, size, format, image, error);
  SetError(error, "not a picture file this program reads (BMP, PNG, JPEG, GIF or TIFF)");
  return false;
}

bool Decode(const std::uint8_t* data, std::size_t size, int page, PixelFormat format, RasterImage& image,
            std::string* error) {
  EmptyImage(image);
  if (DecodeAny(data, size, page, format, image, error)) return true;
  EmptyImage(image);
  return false;
}

} // namespace

bool LoadImageMemory(const std::uint8_t* data, std::size_t size, PixelFormat format, RasterImage& image,
                     std::string* error) {
  return Decode(data, size, 0, format, image, error);
}

// A whole file read into a buffer that the calling thread keeps for its next file: frames of a
// webcam come every quarter second, and a buffer that stays mapped is read far faster than new
// pages (a fresh mapping of a frame cost a third of a decode). Large scans give theirs back.
class FileContent {
public:
  FileContent() : m_buffer(std::move(Kept())) { Kept().clear(); }
  ~FileContent() {
    if (m_buffer.capacity() <= kKeptBytes) Kept() = std::move(m_buffer);
  }
  FileContent(const FileContent&) = delete;
  FileContent& operator=(const FileContent&) = delete;

  bool Read(const char* path, std::string* error) {
    const int fd = path ? ::open(path, O_RDONLY | O_CLOEXEC) : -1;
    if (fd < 0) {
      SetError(error, path ? std::strerror(errno) : "no file name");
      return false;
    }
    const bool ok = ReadOpen(fd, error);
    ::close(fd);
    return ok;
  }
  const std::uint8_t* data() const { return m_buffer.data(); }
  std::size_t size() const { return m_size; }

private:
  static constexpr std::size_t kKeptBytes = 32u << 20;
  static PixelBuffer& Kept() {
    thread_local PixelBuffer kept;
    return kept;
  }

  bool ReadOpen(int fd, std::string* error) {
    struct stat st;
    if (::fstat(fd, &st) != 0) {
      SetError(error, std::strerror(errno));
      return false;
    }
    if (S_ISDIR(st.st_mode)) {
      SetError(error, "it is a folder, not a picture file");
      return false;
    }
    if (!S_ISREG(st.st_mode)) {
      SetError(error, "it is not a regular file");
      return false;
    }
    if (st.st_size == 0) {
      SetError(error, "the file is empty");
      return false;
    }
    m_size = static_cast<std::size_t>(st.st_size);
    if (m_buffer.size() < m_size) m_buffer.resize(m_size);
    if (ReadAt(fd, m_buffer.data(), m_size, 0)) return true;
    SetError(error, errno ? std::strerror(errno) : "the file shrank while it was read");
    return false;
  }

  PixelBuffer m_buffer;
  std::size_t m_size = 0;
};

bool LoadImageFile(const char* path, PixelFormat format, RasterImage& image, std::string* error) {
  return LoadImagePage(path, 0, format, image, error);
}

namespace {

bool ReadPlainBmp(const char* path, PixelFormat format, RasterImage& image) {
  const int fd = path ? ::open(path, O_RDONLY | O_CLOEXEC) : -1;
  if (fd < 0) return false;
  struct stat st;
  const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
                  ReadPlainBmpFile(fd, static_cast<std::size_t>(st.st_size), format, image);
  ::close(fd);
  return ok;
}

} // namespace

bool LoadImagePage(const char* path, int page, PixelFormat format, RasterImage& image, std::string* error) {
  if (page == 0 && ReadPlainBmp(path, format, image)) return true;
  FileContent file;
  if (!file.Read(path, error)) return false;
  return Decode(file.data(), file.size(), page, format, image, error);
}

int CountImagePages(const char* path) {
  FileContent file;
  return file.Read(path, nullptr) ? CountImagePagesMemory(file.data(), file.size()) : 0;
}

bool ReadWholeFile(const char* path, PixelBuffer& bytes, std::string* error) {
  FileContent file;
  if (!file.Read(path, error)) return false;
  bytes.assign(file.data(), file.data() + file.size());
  return true;
}

int CountImagePagesMemory(const std::uint8_t* data, std::size_t size) {
  const Kind kind = Sniff(data, size);
  if (kind == Kind::Tiff) return CountTiffPages(data, size);
  return kind == Kind::Unknown ? 0 : 1;
}

bool LoadImagePageMemory(const std::uint8_t* data, std::size_t size, int page, PixelFormat format, RasterImage& image,
                         std::string* error) {
  return Decode(data, size, page, format, image, error);
}

bool LoadDibPixels(const void* dib, std::size_t size, PixelFormat format, RasterImage& image, std::string* error) {
  return dib && DecodeDibBlock(static_cast<const std::uint8_t*>(dib), size, format, image, error);
}
