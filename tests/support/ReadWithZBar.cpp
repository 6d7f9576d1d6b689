#include "CodeReaders.h"

// zbar.h cannot share a translation unit with zxing-cpp's headers (both define Error).
#include <zbar.h>

std::vector<ReadCode> ReadWithZBar(const GrayImage& image, bool qrOnly) {
  std::vector<ReadCode> codes;
  if (image.empty()) return codes;
  zbar::zbar_image_scanner_t* scanner = zbar::zbar_image_scanner_create();
  zbar::zbar_image_scanner_set_config(scanner, zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, qrOnly ? 0 : 1);
  if (qrOnly) zbar::zbar_image_scanner_set_config(scanner, zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_ENABLE, 1);
  zbar::zbar_image_t* zimage = zbar::zbar_image_create();
  zbar::zbar_image_set_format(zimage, zbar_fourcc('Y', '8', '0', '0'));
  zbar::zbar_image_set_size(zimage, static_cast<unsigned>(image.width), static_cast<unsigned>(image.height));
  zbar::zbar_image_set_data(zimage, image.pixels.data(), image.pixels.size(), nullptr);
  zbar::zbar_scan_image(scanner, zimage);
  for (auto* symbol = zbar::zbar_image_first_symbol(zimage); symbol; symbol = zbar::zbar_symbol_next(symbol))
    codes.push_back({std::string(zbar::zbar_symbol_get_data(symbol), zbar::zbar_symbol_get_data_length(symbol)),
                     zbar::zbar_get_symbol_name(zbar::zbar_symbol_get_type(symbol))});
  zbar::zbar_image_destroy(zimage);
  zbar::zbar_image_scanner_destroy(scanner);
  return codes;
}
