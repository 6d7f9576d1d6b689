// Dropping a three-page A4 scan (TIFF, 300 dpi, one code per page) on the Datei page: from the
// drop to the result handler, against the same back end decoding the three pages' pixels directly.
#include "RatioReporter.h"

#include "TestPictures.h"
#include "decode/SubDlgDecode_ZXING.h"

#include <ZXing/ReadBarcode.h>
#include <tiffio.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>

#include <filesystem>
#include <random>
#include <unistd.h>

namespace {

constexpr int kWidth = 2480, kHeight = 3508; // A4 at 300 dpi

// A scanned letter: white paper, lines of text (dark dashes of word length), a little scanner noise.
GrayImage Letter(unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> word(20, 160), gap(12, 30);
  GrayImage page = Canvas(kWidth, kHeight, 245);
  for (int line = 500; line < kHeight - 300; line += 70)
    for (int x = 250; x < kWidth - 250;) {
      const int length = std::min(word(random), kWidth - 250 - x);
      Paste(page, Canvas(length, 28, 40), x, line);
      x += length + gap(random);
    }
  return Noisy(page, 4, seed);
}

std::vector<GrayImage> MakePages() {
  std::vector<GrayImage> pages;
  for (int page = 0; page < 3; ++page) {
    GrayImage image = Letter(20 + page);
    Paste(image, WithQuietZone(RenderCode("Seite " + std::to_string(page + 1) + " https://www.example.org/akte/4711", 8), 40),
          300 + 500 * page, 400 + 900 * page);
    pages.push_back(std::move(image));
  }
  return pages;
}

std::string WriteTiff(const std::vector<GrayImage>& pages) {
  const std::string path = (std::filesystem::temp_directory_path() / ("codewerk-bench-" + std::to_string(getpid()) + ".tif")).string();
  TIFF* tif = TIFFOpen(path.c_str(), "w");
  for (const GrayImage& page : pages) {
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, page.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, page.height);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 64);
    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
    for (int y = 0; y < page.height; ++y)
      TIFFWriteScanline(tif, const_cast<std::uint8_t*>(page.pixels.data() + static_cast<size_t>(y) * page.width), static_cast<uint32_t>(y), 0);
    TIFFWriteDirectory(tif);
  }
  TIFFClose(tif);
  return path;
}

const std::vector<GrayImage>& Pages() {
  static const std::vector<GrayImage> pages = MakePages();
  return pages;
}

void Ours(benchmark::State& state) {
  struct TemporaryTiff {
    std::string path = WriteTiff(Pages());
    ~TemporaryTiff() { std::filesystem::remove(path); }
  };
  static const TemporaryTiff temporary;
  const std::string& tiff = temporary.path;
  wxFrame frame(nullptr, wxID_ANY, "bench");
  CSubDlgDecode_ZXING decoder;
  decoder.m_dlgDatei.Create(decoder.m_dlgDatei.m_lpszTemplate, &frame);
  int found = 0;
  decoder.m_fnOnDecoded = [&](const CDecodeResultArray* results, const CDTemplateArray<CDecodeGrafikResult>*) {
    found = results->GetSize();
    return true;
  };
  CStringArray files;
  files.Add(tiff.c_str());
  decoder.m_fnOnNotFound = [](const CDTemplateArray<CDecodeGrafikResult>*) { return true; };
  for (auto _ : state) {
    found = 0;
    decoder.m_dlgDatei.DecodeFiles(files);
    if (found != 3) state.SkipWithError("not every page's code was found");
  }
}

void Raw(benchmark::State& state) {
  ZXing::DecodeHints hints;
  hints.setFormats(ZXing::BarcodeFormat::QRCode);
  for (auto _ : state) {
    size_t found = 0;
    for (const GrayImage& page : Pages())
      found += ZXing::ReadBarcodes({page.pixels.data(), page.width, page.height, ZXing::ImageFormat::Lum}, hints).size();
    if (found != 3) state.SkipWithError("not every page's code was found");
  }
}

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  wxApp::SetInstance(new wxApp);
  if (!wxEntryStart(argc, argv)) return 2;
  benchmark::RegisterBenchmark("drop a 3-page A4 TIFF: ours", Ours)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("drop a 3-page A4 TIFF: raw", Raw)->Unit(benchmark::kMillisecond);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  wxEntryCleanup();
  return 0;
}
