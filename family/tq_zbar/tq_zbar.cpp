#include "outside/tq_zbar.h"

#include "ByteText.h"
#include "DecodeResults.h"
#include "Enhance.h"
#include "outside/ImageFile.h"

#include <zbar.h>

#include <memory>
#include <string>

using decodecommon::DecodedSymbol;

namespace {

struct ScannerDeleter {
  void operator()(zbar::zbar_image_scanner_t* s) const { zbar::zbar_image_scanner_destroy(s); }
};
struct ImageDeleter {
  void operator()(zbar::zbar_image_t* i) const { zbar::zbar_image_destroy(i); }
};
using Scanner = std::unique_ptr<zbar::zbar_image_scanner_t, ScannerDeleter>;

bool IsMatrix(zbar::zbar_symbol_type_t type) { return type == zbar::ZBAR_QRCODE || type == zbar::ZBAR_SQCODE; }

// QR texts come as their bytes: ZBar's own guess of their character set is not to be trusted (it
// reads UTF-8 as Shift-JIS), and it reports no ECI in binary mode. The bytes are read as the
// ZXing module reads a code without ECI.
Scanner MakeScanner(bool onlyQR) {
  Scanner scanner(zbar::zbar_image_scanner_create());
  if (onlyQR) {
    zbar::zbar_image_scanner_set_config(scanner.get(), zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
    zbar::zbar_image_scanner_set_config(scanner.get(), zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_ENABLE, 1);
  }
  zbar::zbar_image_scanner_set_config(scanner.get(), zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_BINARY, 1);
  return scanner;
}

// QR corners come top-left, bottom-left, bottom-right, top-right; a linear symbol gives one point
// per scan line that crossed it.
std::vector<POINT> CornersOf(const zbar::zbar_symbol_t* symbol, bool matrix) {
  std::vector<POINT> points;
  const unsigned n = zbar::zbar_symbol_get_loc_size(symbol);
  for (unsigned i = 0; i < n; ++i)
    points.push_back({zbar::zbar_symbol_get_loc_x(symbol, i), zbar::zbar_symbol_get_loc_y(symbol, i)});
  if (matrix && points.size() == 4) return {points[0], points[3], points[2], points[1]};
  return decodecommon::BoundingQuad(points);
}

std::vector<DecodedSymbol> Scan(const RasterImage& image, const Scanner& scanner) {
  std::unique_ptr<zbar::zbar_image_t, ImageDeleter> zimage(zbar::zbar_image_create());
  zbar::zbar_image_set_format(zimage.get(), zbar_fourcc('Y', '8', '0', '0'));
  zbar::zbar_image_set_size(zimage.get(), static_cast<unsigned>(image.width), static_cast<unsigned>(image.height));
  zbar::zbar_image_set_data(zimage.get(), image.pixels.data(), image.pixels.size(), nullptr);
  zbar::zbar_scan_image(scanner.get(), zimage.get());
  std::vector<DecodedSymbol> found;
  for (auto* s = zbar::zbar_image_first_symbol(zimage.get()); s; s = zbar::zbar_symbol_next(s)) {
    const auto type = zbar::zbar_symbol_get_type(s);
    const bool matrix = IsMatrix(type);
    // ZBar scans every row and column, so a real bar code is crossed many times; one crossing is
    // a pattern in the picture that happened to look like bars.
    if (!matrix && zbar::zbar_symbol_get_quality(s) < 2) continue;
    std::string data(zbar::zbar_symbol_get_data(s), zbar::zbar_symbol_get_data_length(s));
    if (type == zbar::ZBAR_QRCODE) data = decodecommon::TextFromUnmarkedBytes(data);
    found.push_back({std::move(data), zbar::zbar_get_symbol_name(type), CornersOf(s, matrix), matrix});
  }
  return found;
}

std::vector<DecodedSymbol> Read(const RasterImage& image, bool onlyQR) {
  std::vector<DecodedSymbol> symbols = Scan(image, MakeScanner(onlyQR));
  return symbols;
}

} // namespace

extern "C" {

void* ZBar_DecodeImage(const char* fileName, bool onlyQR) {
  RasterImage image;
  if (!fileName || !LoadImageFile(fileName, PixelFormat::Gray8, image)) return nullptr;
  return decodecommon::MakeHandle(
      decodecommon::ReadWithSecondLooks(image, [&](const RasterImage& picture) { return Read(picture, onlyQR); }));
}

int ZBar_GetDecodeResultCount(void* handle) { return decodecommon::CountOf(handle); }

int ZBar_GetDecodeResultName(void* handle, int index, char* buffer, int size) {
  const DecodedSymbol* symbol = decodecommon::SymbolAt(handle, index);
  return decodecommon::CopyText(symbol ? symbol->text : std::string(), buffer, size);
}

int ZBar_GetDecodeResultSymbol(void* handle, int index, char* buffer, int size) {
  const DecodedSymbol* symbol = decodecommon::SymbolAt(handle, index);
  return decodecommon::CopyText(symbol ? symbol->symbology : std::string(), buffer, size);
}

int ZBar_GetDecodeResultPointArray(void* handle, int index, POINT* points, int max) {
  return decodecommon::CopyCorners(decodecommon::SymbolAt(handle, index), points, max);
}

void ZBar_FreeDecodeResult(void* handle) { decodecommon::FreeHandle(handle); }

} // extern "C"
