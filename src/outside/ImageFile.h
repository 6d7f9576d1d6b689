// Reading picture files into pixels: BMP (every variant), PNG, JPEG, GIF, TIFF. Hostile files are
// refused before anything large is allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class PixelFormat { Gray8, Bgr24 };

struct RasterImage {
  int width = 0;
  int height = 0;
  PixelFormat format = PixelFormat::Gray8;
  std::vector<std::uint8_t> pixels; // rows top first, no padding

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

// The pixels of a bitmap block (a global memory block holding a packed device-independent bitmap).
bool LoadDibPixels(const void* dib, std::size_t size, PixelFormat format, RasterImage& image, std::string* error = nullptr);
