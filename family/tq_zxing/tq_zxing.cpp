#include "outside/tq_zxing.h"

#include "ByteText.h"
#include "DecodeResults.h"
#include "EciText.h"
#include "Enhance.h"
#include "LinearChecks.h"
#include "outside/ImageFile.h"

#include <ZXing/ReadBarcode.h>

using decodecommon::DecodedSymbol;

namespace {

bool IsMatrix(ZXing::BarcodeFormat format) {
  return (ZXing::BarcodeFormats(format) & ZXing::BarcodeFormat::MatrixCodes) != ZXing::BarcodeFormats();
}

bool IsQR(ZXing::BarcodeFormat format) {
  return format == ZXing::BarcodeFormat::QRCode || format == ZXing::BarcodeFormat::MicroQRCode;
}

// A QR code without ECI leaves its character set to the reader; ours guesses as the ZBar module
// does, so the same code gives the same text with either.
std::string TextOf(const ZXing::Result& result) {
  if (result.hasECI()) {
    if (auto text = TextFromEciBytes(result.bytesECI())) return *text;
  } else if (IsQR(result.format())) {
    const ZXing::ByteArray& bytes = result.bytes();
    return decodecommon::TextFromUnmarkedBytes(std::string(bytes.begin(), bytes.end()));
  }
  return result.text();
}

DecodedSymbol ToSymbol(const ZXing::Result& result) {
  DecodedSymbol symbol{TextOf(result), ZXing::ToString(result.format()), {}, IsMatrix(result.format())};
  const ZXing::Position& p = result.position(); // top-left, top-right, bottom-right, bottom-left
  for (int i = 0; i < 4; ++i) symbol.corners.push_back({p[i].x, p[i].y});
  return symbol;
}

constexpr int kMostBarCodes = 8;

void ReadInto(const RasterImage& image, ZXing::DecodeHints hints, std::vector<DecodedSymbol>& symbols) {
  const ZXing::ImageView view(image.pixels.data(), image.width, image.height, ZXing::ImageFormat::Lum);
  for (const ZXing::Result& result : ZXing::ReadBarcodes(view, hints))
    if (result.isValid()) symbols.push_back(ToSymbol(result));
}

// Paints a found bar code white, with the rows above and below it that the scan lines missed.
void Blank(RasterImage& image, const DecodedSymbol& symbol) {
  const std::vector<POINT> box = decodecommon::BoundingQuad(symbol.corners);
  const long width = box[2].x - box[0].x, height = box[2].y - box[0].y;
  const bool lying = width >= height; // the scan lines cross it from side to side
  const long alongX = lying ? width / 20 + 4 : height * 3 / 5 + 4;
  const long alongY = lying ? width * 3 / 5 + 4 : height / 20 + 4;
  for (long y = std::max(0L, box[0].y - alongY); y < std::min<long>(image.height, box[2].y + alongY); ++y)
    for (long x = std::max(0L, box[0].x - alongX); x < std::min<long>(image.width, box[2].x + alongX); ++x)
      image.pixels[static_cast<std::size_t>(y) * image.width + x] = 255;
}

// zxing-cpp 1.4 stops the process (a failed assertion) when it merges bar codes read on several
// lines while looking for more than one, so bar codes are read one at a time, each painted out
// before the next look.
void ReadBarCodesOneByOne(const RasterImage& image, ZXing::DecodeHints hints, std::vector<DecodedSymbol>& symbols) {
  hints.setMaxNumberOfSymbols(1);
  std::vector<DecodedSymbol> found;
  RasterImage rest;
  for (int i = 0; i < kMostBarCodes; ++i) {
    const std::size_t before = found.size();
    ReadInto(i == 0 ? image : rest, hints, found);
    if (found.size() == before) break;
    const DecodedSymbol newest = found.back();
    found.pop_back();
    if (decodecommon::Agrees(found, newest)) break; // the same one again: the painting missed it
    found.push_back(newest);
    if (i == 0) rest = image;
    Blank(rest, found.back());
  }
  symbols.insert(symbols.end(), found.begin(), found.end());
}

std::vector<DecodedSymbol> Read(const RasterImage& image, const ZXing::DecodeHints& hints) {
  std::vector<DecodedSymbol> symbols;
  const ZXing::BarcodeFormats wanted = hints.formats().empty() ? ZXing::BarcodeFormats(ZXing::BarcodeFormat::Any) : hints.formats();
  const ZXing::BarcodeFormats matrix = wanted & ZXing::BarcodeFormat::MatrixCodes;
  const ZXing::BarcodeFormats linear = wanted & ZXing::BarcodeFormat::LinearCodes;
  if (!matrix.empty()) ReadInto(image, ZXing::DecodeHints(hints).setFormats(matrix), symbols);
  if (!linear.empty()) {
    if (hints.maxNumberOfSymbols() > 1) ReadBarCodesOneByOne(image, ZXing::DecodeHints(hints).setFormats(linear), symbols);
    else if (symbols.empty()) ReadInto(image, ZXing::DecodeHints(hints).setFormats(linear), symbols);
  }
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
