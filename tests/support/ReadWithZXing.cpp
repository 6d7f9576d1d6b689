#include "CodeReaders.h"

#include <ZXing/ReadBarcode.h>

std::vector<ReadCode> ReadWithZXing(const GrayImage& image) {
  std::vector<ReadCode> codes;
  if (image.empty()) return codes;
  const ZXing::ImageView view(image.pixels.data(), image.width, image.height, ZXing::ImageFormat::Lum);
  for (const ZXing::Result& result : ZXing::ReadBarcodes(view, ZXing::DecodeHints()))
    codes.push_back({result.text(), ZXing::ToString(result.format())});
  return codes;
}

