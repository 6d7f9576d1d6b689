#include "outside/ImageFile.h"

#include "ImageDecoders.h"

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
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

void PrepareImage(RasterImage& image, int width, int height, PixelFormat format) {
  image.width = width;
  image.height = height;
  image.format = format;
  image.pixels.assign(static_cast<std::size_t>(width) * height * (format == PixelFormat::Gray8 ? 1 : 3), 0);
}

void StoreBgrRow(const std::uint8_t* bgr, int width, RasterImage& image, int row) {
  std::uint8_t* out = image.pixels.data() + static_cast<std::size_t>(row) * image.Stride();
  if (image.format == PixelFormat::Bgr24) {
    std::memcpy(out, bgr, static_cast<std::size_t>(width) * 3);
    return;
  }
  // The luminance weights zxing-cpp uses, so both readers see the same grey picture.
  for (int x = 0; x < width; ++x, bgr += 3) out[x] = static_cast<std::uint8_t>((117 * bgr[0] + 601 * bgr[1] + 306 * bgr[2] + 0x200) >> 10);
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

// A read-only view of a whole file, mapped rather than copied.
class MappedFile {
public:
  bool Open(const char* path, std::string* error) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      SetError(error, std::strerror(errno));
      return false;
    }
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0;
    if (ok && S_ISDIR(st.st_mode)) {
      SetError(error, "it is a folder, not a picture file");
      ok = false;
    } else if (ok && !S_ISREG(st.st_mode)) {
      SetError(error, "it is not a regular file");
      ok = false;
    } else if (ok && st.st_size == 0) {
      SetError(error, "the file is empty");
      ok = false;
    } else if (ok) {
      m_size = static_cast<std::size_t>(st.st_size);
      m_data = ::mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE, fd, 0);
      if (m_data == MAP_FAILED) {
        SetError(error, std::strerror(errno));
        m_data = nullptr;
        ok = false;
      }
    }
    ::close(fd);
    return ok;
  }
  ~MappedFile() {
    if (m_data) ::munmap(m_data, m_size);
  }
  const std::uint8_t* data() const { return static_cast<const std::uint8_t*>(m_data); }
  std::size_t size() const { return m_size; }

private:
  void* m_data = nullptr;
  std::size_t m_size = 0;
};

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
  image = RasterImage{};
  if (DecodeAny(data, size, page, format, image, error)) return true;
  image = RasterImage{};
  return false;
}

} // namespace

bool LoadImageMemory(const std::uint8_t* data, std::size_t size, PixelFormat format, RasterImage& image,
                     std::string* error) {
  return Decode(data, size, 0, format, image, error);
}

bool LoadImageFile(const char* path, PixelFormat format, RasterImage& image, std::string* error) {
  return LoadImagePage(path, 0, format, image, error);
}

bool LoadImagePage(const char* path, int page, PixelFormat format, RasterImage& image, std::string* error) {
  MappedFile file;
  if (!file.Open(path, error)) return false;
  return Decode(file.data(), file.size(), page, format, image, error);
}

int CountImagePages(const char* path) {
  MappedFile file;
  if (!file.Open(path, nullptr)) return 0;
  const Kind kind = Sniff(file.data(), file.size());
  if (kind == Kind::Tiff) return CountTiffPages(file.data(), file.size());
  return kind == Kind::Unknown ? 0 : 1;
}
