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

// Limits of what is read: sides and pixel count.
constexpr int kMaxImageSide = 50000;
constexpr long long kMaxImagePixels = 200'000'000;

// Reads the first page of a file. On failure returns false and says why in error (naming no file).
bool LoadImageFile(const char* path, PixelFormat format, RasterImage& image, std::string* error = nullptr);
bool LoadImageMemory(const std::uint8_t* data, std::size_t size, PixelFormat format, RasterImage& image,
                     std::string* error = nullptr);
// The number of pages of a TIFF file (1 for any other readable picture, 0 when unreadable), and one of them.
int CountImagePages(const char* path);
bool LoadImagePage(const char* path, int page, PixelFormat format, RasterImage& image, std::string* error = nullptr);
// A whole file into bytes (the picture reader's fast way); false with the reason when it cannot.
bool ReadWholeFile(const char* path, PixelBuffer& bytes, std::string* error = nullptr);
// The same for a file already in memory.
int CountImagePagesMemory(const std::uint8_t* data, std::size_t size);
bool LoadImagePageMemory(const std::uint8_t* data, std::size_t size, int page, PixelFormat format, RasterImage& image,
                         std::string* error = nullptr);

// The pixels of a bitmap block (a global memory block holding a packed device-independent bitmap).
bool LoadDibPixels(const void* dib, std::size_t size, PixelFormat format, RasterImage& image, std::string* error = nullptr);
