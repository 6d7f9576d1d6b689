// Reading picture files into pixels: BMP (every variant), PNG, JPEG, GIF, TIFF. Hostile files are
// refused before anything large is allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <memory>
#include <utility>
#include <vector>

#include "PixelMemory.h"

// Native: grey for a grey picture (a grey TIFF page, an 8-bit BMP with a grey ramp, a grey PNG
// or JPEG), blue-green-red otherwise.
enum class PixelFormat { Gray8, Bgr24, Native };

// Pixels are written right after they are made, so a fresh buffer is not zeroed first; whole
// pictures come from PixelMemory.
template <class T>
struct PixelAllocator {
  using value_type = T;
  PixelAllocator() = default;
  template <class U>
  PixelAllocator(const PixelAllocator<U>&) noexcept {}
  T* allocate(std::size_t n) {
    if (n > SIZE_MAX / sizeof(T)) throw std::bad_array_new_length();
    if (void* memory = AllocatePixelMemory(n * sizeof(T))) return static_cast<T*>(memory);
    throw std::bad_alloc();
  }
  void deallocate(T* memory, std::size_t n) noexcept { FreePixelMemory(memory, n * sizeof(T)); }
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
  friend bool operator==(const PixelAllocator&, const PixelAllocator&) { return true; }
};
using PixelBuffer = std::vector<std::uint8_t, PixelAllocator<std::uint8_t>>;

struct RasterImage {
  int width = 0;
  int height = 0;
  PixelFormat format = PixelFormat::Gray8; // Gray8 or Bgr24 once loaded
  PixelBuffer pixels; // rows top first, no padding

  int BytesPerPixel() const { return format == PixelFormat::Gray8 ? 1 : 3; }
  std::size_t Stride() const { return static_cast<std::size_t>(width) * BytesPerPixel(); }
};

// Limits of what is read: sides, pixels, file size, pages of a multi-page file. A fuzzing build
// keeps them low, so that each input costs little.
#ifdef CODEWERK_FUZZ_LIMITS
constexpr int kMaxImageSide = 4096;
constexpr long long kMaxImagePixels = 1'000'000;
constexpr long long kFreeImagePixels = 250'000;
#else
constexpr int kMaxImageSide = 50000;
constexpr long long kMaxImagePixels = 200'000'000; // a page scanned at 1200 dpi is 139 million
// Pixels any file may claim whatever its size: a page scanned at 600 dpi, blank or not.
constexpr long long kFreeImagePixels = 36'000'000;
#endif
constexpr std::size_t kMaxImageFileBytes = std::size_t{1} << 30;
constexpr int kMaxImagePages = 1000;

// Opens a picture file for reading: only a regular file, never blocking on a pipe or a device, and
// only when its size is within the limit. The descriptor, or -1 with the reason in error.
int OpenPictureFile(const char* path, std::size_t& size, std::string* error = nullptr);

// Reads the first page of a file. On failure returns false and says why in error (naming no file).
bool LoadImageFile(const char* path, PixelFormat format, RasterImage& image, std::string* error = nullptr);
bool LoadImageMemory(const std::uint8_t* data, std::size_t size, PixelFormat format, RasterImage& image,
                     std::string* error = nullptr);
// The number of pages of a TIFF file (1 for any other readable picture, 0 when unreadable), and one of them.
int CountImagePages(const char* path);
bool LoadImagePage(const char* path, int page, PixelFormat format, RasterImage& image, std::string* error = nullptr);
// A whole file into bytes (the picture reader's fast way); false with the reason when it cannot.
bool ReadWholeFile(const char* path, PixelBuffer& bytes, std::string* error = nullptr);
// Why the last of the calls above failed on this thread, empty after a success: the decoders say
// only "nothing", and this tells the caller why without reading the file again.
const std::string& LastImageFileError();

// The same for a file already in memory. Counting stops after most pages.
int CountImagePagesMemory(const std::uint8_t* data, std::size_t size, int most = kMaxImagePages + 1);
bool LoadImagePageMemory(const std::uint8_t* data, std::size_t size, int page, PixelFormat format, RasterImage& image,
                         std::string* error = nullptr);

// The pages of a multi-page file in memory, read in order without going through the earlier pages
// again for each one (a scan of a thousand pages would otherwise cost a million page headers).
class PicturePages {
public:
  // The bytes must outlive this object.
  PicturePages(const std::uint8_t* data, std::size_t size);
  ~PicturePages();
  PicturePages(const PicturePages&) = delete;
  PicturePages& operator=(const PicturePages&) = delete;
  bool Load(int page, PixelFormat format, RasterImage& image, std::string* error = nullptr);

private:
  struct Reader;
  const std::uint8_t* m_data;
  std::size_t m_size;
  std::unique_ptr<Reader> m_reader;
};

// The pixels of a bitmap block (a global memory block holding a packed device-independent bitmap).
bool LoadDibPixels(const void* dib, std::size_t size, PixelFormat format, RasterImage& image, std::string* error = nullptr);
