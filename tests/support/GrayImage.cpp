#include "GrayImage.h"

#include "outside/DibServices.h"
#include "outside/GlobalMemory.h"

#include <stb_image.h>

#include <cstring>

GrayImage GrayFromDib(HGLOBAL dib) {
  GrayImage image;
  const auto* bits = static_cast<const std::uint8_t*>(GlobalLock(dib));
  DibLayout layout;
  if (bits && ReadDibLayout(bits, GlobalSize(dib), layout) && layout.bitCount == 24) {
    image.width = layout.width;
    image.height = layout.height;
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) {
      const int stored = layout.topDown ? y : image.height - 1 - y;
      const std::uint8_t* row = bits + layout.headerBytes + static_cast<size_t>(stored) * layout.stride;
      for (int x = 0; x < image.width; ++x)
        image.pixels[static_cast<size_t>(y) * image.width + x] =
            static_cast<std::uint8_t>((row[3 * x] + row[3 * x + 1] + row[3 * x + 2]) / 3);
    }
  }
  if (bits) GlobalUnlock(dib);
  return image;
}

GrayImage LoadGrayWithStb(const std::string& path) {
  GrayImage image;
  int channels = 0;
  std::uint8_t* data = stbi_load(path.c_str(), &image.width, &image.height, &channels, 1);
  if (!data) return GrayImage{};
  image.pixels.assign(data, data + static_cast<size_t>(image.width) * image.height);
  stbi_image_free(data);
  return image;
}

GrayImage WithQuietZone(const GrayImage& image, int border, int scale) {
  GrayImage out;
  out.width = (image.width + 2 * border) * scale;
  out.height = (image.height + 2 * border) * scale;
  out.pixels.assign(static_cast<size_t>(out.width) * out.height, 255);
  for (int y = 0; y < image.height * scale; ++y)
    for (int x = 0; x < image.width * scale; ++x)
      out.pixels[static_cast<size_t>(y + border * scale) * out.width + x + border * scale] = image.at(x / scale, y / scale);
  return out;
}
