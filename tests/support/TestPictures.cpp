#include "TestPictures.h"

#include <qrencode.h>

#include "encode/CalcAusdehnung.h"
#include "encode/EncodedBitmap.h"
#include "encode/EncoderGetCodeItem_QREncode.h"
#include "encode/EncoderGetCodeItem_ZInt.h"
#include "outside/GlobalMemory.h"

#include <stb_image_write.h>
#include <zint.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

std::uint8_t Clamp(double v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0)); }

// Bilinear sample with a background outside the picture.
double Sample(const GrayImage& image, double x, double y, std::uint8_t background) {
  const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
  const double fx = x - x0, fy = y - y0;
  auto px = [&](int px, int py) -> double {
    return (px < 0 || py < 0 || px >= image.width || py >= image.height) ? background : image.at(px, py);
  };
  return (px(x0, y0) * (1 - fx) + px(x0 + 1, y0) * fx) * (1 - fy) + (px(x0, y0 + 1) * (1 - fx) + px(x0 + 1, y0 + 1) * fx) * fy;
}

GrayImage Mapped(const GrayImage& image, auto&& change) {
  GrayImage out = image;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) out.pixels[static_cast<size_t>(y) * image.width + x] = Clamp(change(x, y, image.at(x, y)));
  return out;
}

} // namespace

GrayImage RenderCode(const std::string& text, int modulePx, TestEncoder encoder) {
  CEncoderGetCodeItem_QREncode qr;
  CEncoderGetCodeItem_ZInt zint;
  CSubDlgEncodeBaseCalcAusdehnungFest calc(modulePx, modulePx);
  CEncoderItemBase& item = encoder == TestEncoder::QREncode ? static_cast<CEncoderItemBase&>(qr) : zint;
  HGLOBAL dib = GetEncodedBitmap(CString(text), item, calc, 0, 0xFFFFFF);
  GrayImage image = GrayFromDib(dib);
  GlobalFree(dib);
  return image;
}

GrayImage RenderRawCode(const std::string& bytes, int eci, int modulePx) {
  QRinput* input = QRinput_new2(0, QR_ECLEVEL_M);
  if (eci) QRinput_appendECIheader(input, static_cast<unsigned>(eci));
  QRinput_append(input, QR_MODE_8, static_cast<int>(bytes.size()), reinterpret_cast<const unsigned char*>(bytes.data()));
  QRcode* qr = QRcode_encodeInput(input);
  QRinput_free(input);
  GrayImage code{qr->width, qr->width, {}};
  for (int i = 0; i < qr->width * qr->width; ++i) code.pixels.push_back((qr->data[i] & 1) ? 0 : 255);
  QRcode_free(qr);
  return Scaled(code, modulePx);
}

GrayImage RenderEan13(const std::string& digits, int scale) {
  zint_symbol* symbol = ZBarcode_Create();
  symbol->symbology = BARCODE_EANX;
  symbol->scale = static_cast<float>(scale) / 2.0f;
  GrayImage image;
  if (ZBarcode_Encode_and_Buffer(symbol, reinterpret_cast<const unsigned char*>(digits.c_str()), 0, 0) < ZINT_ERROR) {
    image.width = symbol->bitmap_width;
    image.height = symbol->bitmap_height;
    for (int i = 0; i < image.width * image.height; ++i) image.pixels.push_back(symbol->bitmap[3 * i]);
  }
  ZBarcode_Delete(symbol);
  return image;
}

GrayImage Canvas(int width, int height, std::uint8_t value) {
  return GrayImage{width, height, std::vector<std::uint8_t>(static_cast<size_t>(width) * height, value)};
}

void Paste(GrayImage& canvas, const GrayImage& picture, int left, int top) {
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x)
      if (left + x >= 0 && top + y >= 0 && left + x < canvas.width && top + y < canvas.height)
        canvas.pixels[static_cast<size_t>(top + y) * canvas.width + left + x] = picture.at(x, y);
}

GrayImage Scaled(const GrayImage& image, int factor) { return WithQuietZone(image, 0, factor); }

GrayImage Rotated(const GrayImage& image, double degrees, std::uint8_t background) {
  const double a = degrees * M_PI / 180.0, c = std::cos(a), s = std::sin(a);
  const int w = static_cast<int>(std::ceil(std::abs(image.width * c) + std::abs(image.height * s)));
  const int h = static_cast<int>(std::ceil(std::abs(image.width * s) + std::abs(image.height * c)));
  GrayImage out = Canvas(w, h, background);
  const double cx = image.width / 2.0, cy = image.height / 2.0, ox = w / 2.0, oy = h / 2.0;
  return Mapped(out, [&](int x, int y, std::uint8_t) {
    const double dx = x + 0.5 - ox, dy = y + 0.5 - oy;
    return Sample(image, c * dx + s * dy + cx - 0.5, -s * dx + c * dy + cy - 0.5, background);
  });
}

// The homography taking the picture's corners to the given quadrilateral, inverted by solving
// the eight equations of the four corner pairs (Gaussian elimination).
GrayImage Perspective(const GrayImage& image, double topWidthFraction) {
  const double w = image.width, h = image.height, inset = w * (1 - topWidthFraction) / 2;
  const double from[4][2] = {{inset, 0}, {w - inset, 0}, {w, h}, {0, h}}; // where the corners land
  const double to[4][2] = {{0, 0}, {w, 0}, {w, h}, {0, h}};               // where they came from
  double m[8][9] = {};
  for (int i = 0; i < 4; ++i) {
    const double x = from[i][0], y = from[i][1], u = to[i][0], v = to[i][1];
    const double rowU[9] = {x, y, 1, 0, 0, 0, -u * x, -u * y, u};
    const double rowV[9] = {0, 0, 0, x, y, 1, -v * x, -v * y, v};
    std::copy(rowU, rowU + 9, m[2 * i]);
    std::copy(rowV, rowV + 9, m[2 * i + 1]);
  }
  for (int c = 0; c < 8; ++c) {
    int pivot = c;
    for (int r = c + 1; r < 8; ++r)
      if (std::abs(m[r][c]) > std::abs(m[pivot][c])) pivot = r;
    std::swap(m[c], m[pivot]);
    for (int r = 0; r < 8; ++r) {
      if (r == c) continue;
      const double f = m[r][c] / m[c][c];
      for (int k = c; k < 9; ++k) m[r][k] -= f * m[c][k];
    }
  }
  double hm[9];
  for (int i = 0; i < 8; ++i) hm[i] = m[i][8] / m[i][i];
  hm[8] = 1;
  return Mapped(image, [&](int x, int y, std::uint8_t) {
    const double d = hm[6] * x + hm[7] * y + hm[8];
    return Sample(image, (hm[0] * x + hm[1] * y + hm[2]) / d, (hm[3] * x + hm[4] * y + hm[5]) / d, 255);
  });
}

GrayImage BoxBlurred(const GrayImage& image, int r) {
  return Mapped(image, [&](int x, int y, std::uint8_t) {
    double sum = 0;
    int n = 0;
    for (int dy = -r; dy <= r; ++dy)
      for (int dx = -r; dx <= r; ++dx) {
        const int sx = std::clamp(x + dx, 0, image.width - 1), sy = std::clamp(y + dy, 0, image.height - 1);
        sum += image.at(sx, sy), ++n;
      }
    return sum / n;
  });
}

GrayImage ContrastSqueezed(const GrayImage& image, std::uint8_t low, std::uint8_t high) {
  return Mapped(image, [&](int, int, std::uint8_t v) { return low + (high - low) * v / 255.0; });
}

GrayImage UnevenlyLit(const GrayImage& image, double darkestFactor) {
  return Mapped(image, [&](int x, int, std::uint8_t v) { return v * (1.0 - (1.0 - darkestFactor) * x / image.width); });
}

GrayImage Noisy(const GrayImage& image, int amplitude, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> noise(-amplitude, amplitude);
  return Mapped(image, [&](int, int, std::uint8_t v) { return v + noise(random); });
}

GrayImage Inverted(const GrayImage& image) { return Mapped(image, [](int, int, std::uint8_t v) { return 255 - v; }); }

GrayImage CodelessScene(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> unit(0, 1);
  GrayImage scene = Canvas(width, height);
  const double gx = unit(random) * 120, gy = unit(random) * 120;
  scene = Mapped(scene, [&](int x, int y, std::uint8_t) { return 60 + gx * x / width + gy * y / height; });
  for (int blot = 0; blot < 12; ++blot) { // dark and light blotches
    const double bx = unit(random) * width, by = unit(random) * height, br = 10 + unit(random) * 60;
    const double tone = unit(random) * 255;
    scene = Mapped(scene, [&](int x, int y, std::uint8_t v) { return std::hypot(x - bx, y - by) < br ? tone : v; });
  }
  for (int band = 0; band < 3; ++band) { // fences and blinds: stripes of uneven width
    const int top = static_cast<int>(unit(random) * height * 0.8), bottom = top + height / 8;
    std::vector<bool> stripe(static_cast<size_t>(width));
    for (int x = 0; x < width;) {
      const int run = 1 + static_cast<int>(unit(random) * 6);
      const bool dark = unit(random) < 0.5;
      for (int i = 0; i < run && x < width; ++i, ++x) stripe[static_cast<size_t>(x)] = dark;
    }
    scene = Mapped(scene, [&](int x, int y, std::uint8_t v) {
      return (y >= top && y < bottom) ? (stripe[static_cast<size_t>(x)] ? 30 : 220) : v;
    });
  }
  return Noisy(scene, 12, seed);
}

bool SaveBmp(const GrayImage& image, const std::string& path) {
  return stbi_write_bmp(path.c_str(), image.width, image.height, 1, image.pixels.data()) != 0;
}

bool SavePng(const GrayImage& image, const std::string& path) {
  return stbi_write_png(path.c_str(), image.width, image.height, 1, image.pixels.data(), image.width) != 0;
}

bool SaveJpeg(const GrayImage& image, const std::string& path) {
  return stbi_write_jpg(path.c_str(), image.width, image.height, 1, image.pixels.data(), 95) != 0;
}
