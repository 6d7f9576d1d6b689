// Grey pictures for tests: made from our bitmaps or read with an independent reader (stb_image).
#pragma once

#include "outside/WinTypes.h"

#include <cstdint>
#include <string>
#include <vector>

struct GrayImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels; // top row first

  std::uint8_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  bool empty() const { return width == 0 || height == 0; }
};

// A 24-bit bottom-up bitmap block, as GetEncodedBitmap makes it, top row first.
GrayImage GrayFromDib(HGLOBAL dib);
// Reads any file stb_image reads (BMP, PNG, JPEG, GIF); empty when it cannot.
GrayImage LoadGrayWithStb(const std::string& path);
// Scales each pixel to scale x scale and surrounds the picture with a white border of that many
// (scaled) pixels, the quiet zone a reader needs around a code.
GrayImage WithQuietZone(const GrayImage& image, int border, int scale = 1);
