#include "outside/tq_zxing.h"

#include "DecodeResults.h"
#include "EciText.h"
#include "Enhance.h"
#include "outside/ImageFile.h"

#include <ZXing/ReadBarcode.h>

using decodecommon::DecodedSymbol;

namespace {

bool IsMatrix(ZXing::BarcodeFormat format) {
  return (ZXing::BarcodeFormats(format) & (ZXing::BarcodeFormat::QRCode | ZXing::BarcodeFormat::MicroQRCode |
                                           ZXing::BarcodeFormat::DataMatrix | ZXing::BarcodeFormat::Aztec |
                                           ZXing::BarcodeFormat::PDF417 | ZXing::BarcodeFormat::MaxiCode)) != ZXing::BarcodeFormats();
}

std::string TextOf(const ZXing::Result& result) {
  if (result.hasECI())
    if (auto text = TextFromEciBytes(result.bytesECI())) return *text;
  return result.text();
}

DecodedSymbol ToSymbol(const ZXing::Result& result) {
  DecodedSymbol symbol{TextOf(result), ZXing::ToString(result.format()), {}, IsMatrix(result.format())};
  const ZXing::Position& p = result.position(); // top-left, top-right, bottom-right, bottom-left
  for (int i = 0; i < 4; ++i) symbol.corners.push_back({p[i].x, p[i].y});
  return symbol;
}

std::vector<DecodedSymbol> Read(const RasterImage& image, const ZXing::DecodeHints& hints) {
  std::vector<DecodedSymbol> symbols;
  const ZXing::ImageView view(image.pixels.data(), image.width, image.height, ZXing::ImageFormat::Lum);
  for (const ZXing::Result& result : ZXing::ReadBarcodes(view, hints))
    if (result.isValid()) symbols.push_back(ToSymbol(result));
  decodecommon::DropPhantomLinearCodes(symbols);
  return symbols;
}

// A webcam sends a frame of the same size every tick: its pixels are kept for the next call
// (fresh memory costs more than the reading), unless the picture was a large one.
constexpr std::size_t kKeptPixelBytes = 16u << 20;

void* Decode(const char* fileName, bool onlyQR, int maxSymbols) {
  thread_local RasterImage image;
  void* handle = nullptr;
  if (fileName && LoadImageFile(fileName, PixelFormat::Gray8, image)) {
    ZXing::DecodeHints hints;
    hints.setFormats(onlyQR ? ZXing::BarcodeFormat::QRCode : ZXing::BarcodeFormat::None) // None: every format
        .setMaxNumberOfSymbols(maxSymbols);
    handle = decodecommon::MakeHandle(
        decodecommon::ReadWithSecondLooks(image, [&](const RasterImage& picture) { return Read(picture, hints); }));
  }
  if (image.pixels.capacity() > kKeptPixelBytes) PixelBuffer().swap(image.pixels);
  return handle;
}

} // namespace

extern "C" {

void* ZXING_DecodeImageSingleResult(const char* fileName, bool onlyQR) { return Decode(fileName, onlyQR, 1); }

void* ZXING_DecodeImageMultipleResults(const char* fileName, bool onlyQR) { return Decode(fileName, onlyQR, 255); }

int ZXING_GetDecodeResultCount(void* handle) { return decodecommon::CountOf(handle); }

int ZXING_GetDecodeResultName(void* handle, int index, char* buffer, int size) {
  const DecodedSymbol* symbol = decodecommon::SymbolAt(handle, index);
  return decodecommon::CopyText(symbol ? symbol->text : std::string(), buffer, size);
}

int ZXING_GetDecodeResultSymbol(void* handle, int index, char* buffer, int size) {
  const DecodedSymbol* symbol = decodecommon::SymbolAt(handle, index);
  return decodecommon::CopyText(symbol ? symbol->symbology : std::string(), buffer, size);
}

int ZXING_GetDecodeResultPointArray(void* handle, int index, POINT* points, int max) {
  return decodecommon::CopyCorners(decodecommon::SymbolAt(handle, index), points, max);
}

void ZXING_FreeDecodeResult(void* handle) { decodecommon::FreeHandle(handle); }

} // extern "C"
