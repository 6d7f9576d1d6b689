// make quality: pictures of codes as phones and scanners make them, generated from a fixed seed
// into the build folder, read by our three decoder choices and by raw zxing-cpp and raw ZBar
// (every format on, default settings). Prints per category and reader: read %, wrong texts
// (a code of the expected kind with another text) and false positives (anything else found).
#include "CodeReaders.h"
#include "TestPictures.h"
#include "decode/CodeReader.h"
#include "outside/CodePage.h"
#include "outside/tq_zbar.h"
#include "outside/tq_zxing.h"

#include <ZXing/ReadBarcode.h>
#include <qrencode.h>
#include <stb_image_write.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kPerCategory = 22;

struct Sample {
  GrayImage picture;
  std::vector<std::string> expected; // texts of the codes on it
  bool linear = false;               // the expected codes are bar codes
  int jpegQuality = 0;               // saved as JPEG at this quality; 0: PNG
};

using Rng = std::mt19937;
int Between(Rng& rng, int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
double Between(Rng& rng, double low, double high) { return std::uniform_real_distribution<double>(low, high)(rng); }

// Sizes a phone or a scanner gives, small ones more often.
std::pair<int, int> FrameSize(Rng& rng) {
  static const std::pair<int, int> sizes[] = {{640, 480}, {640, 480}, {800, 600}, {1024, 768}, {1600, 1200}};
  return sizes[Between(rng, 0, 4)];
}

std::string Url(Rng& rng) {
  static const char* const hosts[] = {"www.example.org", "shop.example.com", "lieferung.example.de"};
  return "https://" + std::string(hosts[Between(rng, 0, 2)]) + "/a/" + std::to_string(Between(rng, 1000, 999999));
}

std::string Ean13(Rng& rng) {
  std::string digits(1, static_cast<char>('1' + Between(rng, 0, 8))); // a leading 0 would make it a UPC-A
  for (int i = 1; i < 12; ++i) digits += static_cast<char>('0' + Between(rng, 0, 9));
  int sum = 0;
  for (int i = 0; i < 12; ++i) sum += (digits[static_cast<std::size_t>(i)] - '0') * (i % 2 ? 3 : 1);
  return digits + static_cast<char>('0' + (10 - sum % 10) % 10);
}

// A photo-like frame with the picture pasted at a random place.
GrayImage InScene(const GrayImage& picture, Rng& rng, int width = 0, int height = 0) {
  if (!width) std::tie(width, height) = FrameSize(rng);
  width = std::max(width, picture.width + 20), height = std::max(height, picture.height + 20);
  GrayImage scene = ContrastSqueezed(CodelessScene(width, height, static_cast<unsigned>(rng())), 60, 200);
  Paste(scene, picture, Between(rng, 10, width - picture.width - 10), Between(rng, 10, height - picture.height - 10));
  return scene;
}

GrayImage Code(const std::string& text, int modulePx) { return WithQuietZone(RenderCode(text, modulePx), 4 * modulePx); }

GrayImage RawCode(const std::string& bytes, int eci, int modulePx) { return WithQuietZone(RenderRawCode(bytes, eci, 1), 4, modulePx); }

// Every other pixel kept after averaging 2 x 2: a 3-pixel module becomes 1.5 pixels.
GrayImage Halved(const GrayImage& image) {
  GrayImage out{image.width / 2, image.height / 2, {}};
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x)
      out.pixels.push_back(static_cast<std::uint8_t>(
          (image.at(2 * x, 2 * y) + image.at(2 * x + 1, 2 * y) + image.at(2 * x, 2 * y + 1) + image.at(2 * x + 1, 2 * y + 1)) / 4));
  return out;
}

// Wrapped round a bottle or a shirt's fold, seen from the front: modules narrow towards the sides
// (bend 0 … 1: how much of the half-cylinder the code covers), shaded as a curved surface is.
GrayImage Curved(const GrayImage& image, double bend) {
  GrayImage out = Canvas(image.width, image.height, 255);
  const double half = image.width / 2.0, widest = std::asin(bend);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      const double angle = std::asin((x + 0.5 - half) / half * bend);
      const int sx = std::clamp(static_cast<int>(half + half * angle / widest), 0, image.width - 1);
      const double shade = 0.7 + 0.3 * std::cos(angle);
      out.pixels[static_cast<std::size_t>(y) * image.width + x] = static_cast<std::uint8_t>(image.at(sx, y) * shade);
    }
  return out;
}

void FillRect(GrayImage& image, int left, int top, int width, int height, std::uint8_t value) {
  for (int y = std::max(0, top); y < std::min(image.height, top + height); ++y)
    for (int x = std::max(0, left); x < std::min(image.width, left + width); ++x)
      image.pixels[static_cast<std::size_t>(y) * image.width + x] = value;
}

// A page of text: lines of word-like dark strokes.
GrayImage TextPage(Rng& rng) {
  auto [width, height] = FrameSize(rng);
  GrayImage page = Canvas(width, height, 245);
  const int line = Between(rng, 14, 26);
  for (int y = 30; y + line < height - 30; y += line + line / 2)
    for (int x = 40; x < width - 60;) {
      const int word = Between(rng, 3, 9) * line / 3;
      for (int letter = 0; letter < word; letter += line / 3 + 1)
        FillRect(page, x + letter, y + Between(rng, 0, line / 3), Between(rng, 1, line / 4), Between(rng, line / 2, line), 30);
      x += word + line / 2;
    }
  return BoxBlurred(page, 1);
}

GrayImage Ean13Code(const std::string& digits, int scale) { return WithQuietZone(RenderEan13(digits.substr(0, 12), scale), 10); }

std::string Repeated(Rng& rng, std::size_t length) {
  static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 .,-/";
  std::string text;
  while (text.size() < length) text += kLetters[Between(rng, 0, static_cast<int>(sizeof kLetters) - 2)];
  return text;
}

const std::vector<std::pair<std::string, std::string>> kJapanese = {
    // Shift-JIS bytes and the UTF-8 text they are
    {"\xC3\xDE\xBB\xDE\xB2\xDD", "\xEF\xBE\x83\xEF\xBE\x9E\xEF\xBD\xBB\xEF\xBE\x9E\xEF\xBD\xB2\xEF\xBE\x9D"}, // ﾃﾞｻﾞｲﾝ
    {"\x93\xFA\x96\x7B\x8C\xEA", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"},                                     // 日本語
    {"\x95\x69\x94\xD4 A-12", "\xE5\x93\x81\xE7\x95\xAA A-12"},                                              // 品番 A-12
    {"\xB6\xC0\xB6\xC5 123", "\xEF\xBD\xB6\xEF\xBE\x80\xEF\xBD\xB6\xEF\xBE\x85 123"},                         // ｶﾀｶﾅ 123
    {"\x83\x65\x83\x58\x83\x67", "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88"},                                     // テスト
};
const std::vector<std::pair<std::string, std::string>> kLatin1 = {
    {"Gr\xFC\xDF" "e aus K\xF6ln", "Gr\xC3\xBC\xC3\x9F" "e aus K\xC3\xB6ln"},
    {"\xC4rger", "\xC3\x84rger"},
    {"Stra\xDF" "e 5, M\xFCnchen", "Stra\xC3\x9F" "e 5, M\xC3\xBC" "nchen"},
    {"caf\xE9 cr\xE8me", "caf\xC3\xA9 cr\xC3\xA8me"},
    {"\xC5rhus \xD8st", "\xC3\x85rhus \xC3\x98st"},
};

using Generator = std::function<Sample(Rng&)>;

Sample QrSample(GrayImage picture, std::string text) { return {std::move(picture), {std::move(text)}}; }

std::vector<std::pair<std::string, Generator>> Categories() {
  return {
      {"perspective", [](Rng& r) { const auto t = Url(r); return QrSample(Perspective(InScene(Code(t, Between(r, 4, 6)), r), Between(r, 0.55, 0.85)), t); }},
      {"rotation", [](Rng& r) { const auto t = Url(r); return QrSample(InScene(Rotated(Code(t, Between(r, 3, 6)), Between(r, 5.0, 85.0)), r), t); }},
      {"blur", [](Rng& r) { const auto t = Url(r); return QrSample(BoxBlurred(InScene(Code(t, Between(r, 4, 7)), r), Between(r, 1, 3)), t); }},
      {"noise", [](Rng& r) { const auto t = Url(r); return QrSample(Noisy(InScene(Code(t, Between(r, 3, 5)), r), Between(r, 20, 50), static_cast<unsigned>(r())), t); }},
      {"jpeg-low", [](Rng& r) { const auto t = Url(r); Sample s = QrSample(InScene(Code(t, Between(r, 3, 5)), r), t); s.jpegQuality = Between(r, 8, 25); return s; }},
      {"low-contrast", [](Rng& r) { const auto t = Url(r); const int low = Between(r, 90, 130); return QrSample(ContrastSqueezed(InScene(Code(t, 4), r), static_cast<std::uint8_t>(low), static_cast<std::uint8_t>(low + Between(r, 25, 45))), t); }},
      {"uneven-light", [](Rng& r) { const auto t = Url(r); return QrSample(UnevenlyLit(InScene(Code(t, 4), r), Between(r, 0.12, 0.35)), t); }},
      {"small-modules", [](Rng& r) { const auto t = Url(r); const GrayImage c = r() % 2 ? Halved(Code(t, 3)) : Code(t, 2); return QrSample(InScene(c, r), t); }},
      {"inverted", [](Rng& r) { const auto t = Url(r); return QrSample(Inverted(InScene(Code(t, Between(r, 3, 5)), r)), t); }},
      {"curved", [](Rng& r) { const auto t = Url(r); return QrSample(InScene(Curved(Code(t, Between(r, 4, 6)), Between(r, 0.5, 0.95)), r), t); }},
      {"damaged-finder", [](Rng& r) {
         const auto t = Url(r);
         const int m = 5;
         GrayImage c = WithQuietZone(RenderCode(t, m), 4 * m);
         const int corner = Between(r, 0, 2), size = Between(r, 2, 4) * m; // a blot on one finder pattern
         const int fx = corner == 1 ? c.width - 4 * m - 7 * m : 4 * m, fy = corner == 2 ? c.height - 4 * m - 7 * m : 4 * m;
         FillRect(c, fx + Between(r, 0, 7 * m - size), fy + Between(r, 0, 7 * m - size), size, size, r() % 2 ? 0 : 255);
         return QrSample(InScene(c, r), t); }},
      {"covered", [](Rng& r) {
         const auto t = Url(r);
         GrayImage c = Code(t, 5);
         const int w = c.width / Between(r, 5, 8);
         FillRect(c, c.width / 2 + Between(r, -w, w), c.height / 2 + Between(r, -w, w), w, w, static_cast<std::uint8_t>(Between(r, 0, 255)));
         return QrSample(InScene(c, r), t); }},
      {"large-version", [](Rng& r) { const auto t = Repeated(r, static_cast<std::size_t>(Between(r, 700, 1600))); return QrSample(InScene(Code(t, 3), r, 1600, 1200), t); }},
      {"shift-jis", [](Rng& r) {
         const auto& [bytes, text] = kJapanese[static_cast<std::size_t>(Between(r, 0, 4))];
         return QrSample(InScene(RawCode(bytes, r() % 2 ? 20 : 0, Between(r, 3, 6)), r), text); }},
      {"iso-8859-1", [](Rng& r) {
         const auto& [bytes, text] = kLatin1[static_cast<std::size_t>(Between(r, 0, 4))];
         return QrSample(InScene(RawCode(bytes, r() % 2 ? 3 : 0, Between(r, 3, 6)), r), text); }},
      {"ean-13-photo", [](Rng& r) {
         const auto t = Ean13(r);
         GrayImage picture = InScene(Rotated(Ean13Code(t, Between(r, 2, 4)), Between(r, -12.0, 12.0)), r);
         picture = Noisy(UnevenlyLit(BoxBlurred(picture, Between(r, 0, 1)), Between(r, 0.4, 0.9)), Between(r, 5, 25), static_cast<unsigned>(r()));
         Sample s{picture, {t}, true};
         s.jpegQuality = Between(r, 40, 85);
         return s; }},
      {"neg-text-page", [](Rng& r) { return Sample{TextPage(r), {}, true}; }},
      {"neg-photo", [](Rng& r) { auto [w, h] = FrameSize(r); return Sample{Noisy(CodelessScene(w, h, static_cast<unsigned>(r())), 8, static_cast<unsigned>(r())), {}, true}; }},
      {"neg-cut-barcode", [](Rng& r) {
         GrayImage code = Ean13Code(Ean13(r), Between(r, 2, 4));
         GrayImage half{code.width / 2, code.height, {}};
         const int from = r() % 2 ? 0 : code.width - half.width;
         for (int y = 0; y < code.height; ++y)
           for (int x = 0; x < half.width; ++x) half.pixels.push_back(code.at(from + x, y));
         return Sample{InScene(Rotated(half, Between(r, -8.0, 8.0)), r), {}, true}; }},
      {"book-cover", [](Rng& r) {
         const auto a = Ean13(r), b = Ean13(r);
         GrayImage cover = Canvas(800, 600, static_cast<std::uint8_t>(Between(r, 150, 230)));
         Paste(cover, Ean13Code(a, 3), 60, 300);
         Paste(cover, Ean13Code(b, 2), 480, 320);
         return Sample{Noisy(Rotated(cover, Between(r, -6.0, 6.0)), 10, static_cast<unsigned>(r())), {a, b}, true}; }},
  };
}

struct Found {
  std::string text, symbology;
};

bool IsLinear(const std::string& symbology) {
  return symbology.find("QR") == std::string::npos && symbology != "DataMatrix" && symbology != "Aztec" &&
         symbology != "PDF417" && symbology != "MaxiCode" && symbology != "SQ-Code";
}

std::vector<Found> ThroughModule(void* handle, int (*count)(void*), int (*text)(void*, int, char*, int),
                                 int (*symbol)(void*, int, char*, int), void (*release)(void*)) {
  std::vector<Found> found;
  for (int i = 0; i < count(handle); ++i) {
    std::string t(static_cast<std::size_t>(text(handle, i, nullptr, 0)) + 1, '\0'), s(64, '\0');
    text(handle, i, t.data(), static_cast<int>(t.size()));
    symbol(handle, i, s.data(), static_cast<int>(s.size()));
    found.push_back({t.c_str(), s.c_str()});
  }
  release(handle);
  return found;
}

std::vector<Found> FromRaw(const std::vector<ReadCode>& codes) {
  std::vector<Found> found;
  for (const ReadCode& c : codes) found.push_back({c.text, c.format});
  return found;
}

// zxing-cpp with its default hints, except that bar codes are looked for one at a time: looking
// for several, 1.4 stops the process with a failed assertion on some photographs of EAN-13s.
std::vector<Found> RawZXing(const GrayImage& image) {
  std::vector<Found> found;
  if (image.empty()) return found;
  const ZXing::ImageView view(image.pixels.data(), image.width, image.height, ZXing::ImageFormat::Lum);
  for (const auto& [formats, most] : {std::pair(ZXing::BarcodeFormats(ZXing::BarcodeFormat::MatrixCodes), 255),
                                      std::pair(ZXing::BarcodeFormats(ZXing::BarcodeFormat::LinearCodes), 1)})
    for (const ZXing::Result& r : ZXing::ReadBarcodes(view, ZXing::DecodeHints().setFormats(formats).setMaxNumberOfSymbols(most)))
      found.push_back({r.text(), ZXing::ToString(r.format())});
  return found;
}

const std::vector<std::pair<std::string, std::function<std::vector<Found>(const std::string&)>>> kReaders = {
    {"ZXing", [](const std::string& path) {
       return ThroughModule(ZXING_DecodeImageMultipleResults(path.c_str(), false), ZXING_GetDecodeResultCount,
                            ZXING_GetDecodeResultName, ZXING_GetDecodeResultSymbol, ZXING_FreeDecodeResult); }},
    {"ZBar", [](const std::string& path) {
       return ThroughModule(ZBar_DecodeImage(path.c_str(), false), ZBar_GetDecodeResultCount, ZBar_GetDecodeResultName,
                            ZBar_GetDecodeResultSymbol, ZBar_FreeDecodeResult); }},
    {"ZXing + ZBar", [](const std::string& path) {
       CodeReader reader(Decoder_ZXingZBar, false);
       void* handle = reader.DecodeImage(path.c_str(), T_DecodeImageSource_Datei);
       std::vector<Found> found;
       for (int i = 0; i < reader.GetDecodeResultCount(handle); ++i) {
         char t[4096], s[64];
         reader.GetDecodeResultName(handle, i, t, sizeof t);
         reader.GetDecodeResultSymbol(handle, i, s, sizeof s);
         found.push_back({t, s});
       }
       reader.FreeDecodeResult(handle);
       return found; }},
    {"raw zxing-cpp", [](const std::string& path) { return RawZXing(LoadGrayWithStb(path)); }},
    {"raw ZBar", [](const std::string& path) { return FromRaw(ReadWithZBar(LoadGrayWithStb(path))); }},
};

constexpr std::size_t kFirstRaw = 3; // readers from here on are the raw libraries

struct Tally {
  int expected = 0, read = 0, wrong = 0, falsePositive = 0;
  std::vector<std::string> notes;
};

// What one reader made of one picture.
void Score(const Sample& sample, const std::vector<Found>& found, Tally& tally, const std::string& path) {
  tally.expected += static_cast<int>(sample.expected.size());
  std::set<std::string> seen;
  for (const Found& f : found) {
    const bool expected = std::find(sample.expected.begin(), sample.expected.end(), f.text) != sample.expected.end();
    if (expected) {
      if (seen.insert(f.text).second) ++tally.read;
    } else if (!sample.expected.empty() && IsLinear(f.symbology) == sample.linear) {
      ++tally.wrong, tally.notes.push_back(path + ": wrong " + f.symbology + " \"" + f.text + "\"");
    } else {
      ++tally.falsePositive, tally.notes.push_back(path + ": phantom " + f.symbology + " \"" + f.text + "\"");
    }
  }
}

bool Save(const Sample& sample, const std::string& path) {
  const GrayImage& p = sample.picture;
  if (sample.jpegQuality) return stbi_write_jpg(path.c_str(), p.width, p.height, 1, p.pixels.data(), sample.jpegQuality) != 0;
  return SavePng(p, path);
}

} // namespace

int main(int argc, char** argv) {
  SetAnsiCodeSetName("UTF-8"); // texts come back as they are
  const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::current_path() / "quality";
  const bool verbose = argc > 2 && std::string(argv[2]) == "-v";
  fs::remove_all(folder);
  const auto categories = Categories();
  struct Job {
    std::size_t category;
    int index;
  };
  std::vector<Job> jobs;
  for (std::size_t c = 0; c < categories.size(); ++c)
    for (int i = 0; i < kPerCategory; ++i) jobs.push_back({c, i});
  std::map<std::pair<std::size_t, std::size_t>, Tally> tallies; // (category, reader)
  std::map<std::size_t, std::pair<int, int>> rawUnion;            // category: (pictures, read by either raw library)
  std::mutex mutex;
  std::atomic<std::size_t> next{0};
  const auto start = std::chrono::steady_clock::now();
  auto work = [&] {
    for (std::size_t j; (j = next++) < jobs.size();) {
      const auto& [name, generate] = categories[jobs[j].category];
      Rng rng(static_cast<unsigned>(20261206 + 7919 * jobs[j].category + jobs[j].index));
      const Sample sample = generate(rng);
      fs::create_directories(folder / name);
      const std::string path = (folder / name / (std::to_string(jobs[j].index) + (sample.jpegQuality ? ".jpg" : ".png"))).string();
      if (!Save(sample, path)) continue;
      bool eitherRaw = false;
      for (std::size_t r = 0; r < kReaders.size(); ++r) {
        const std::vector<Found> found = kReaders[r].second(path);
        if (r >= kFirstRaw && sample.expected.size() == 1)
          eitherRaw |= std::any_of(found.begin(), found.end(), [&](const Found& f) { return f.text == sample.expected[0]; });
        std::lock_guard lock(mutex);
        Score(sample, found, tallies[{jobs[j].category, r}], path);
      }
      std::lock_guard lock(mutex);
      if (sample.expected.size() == 1) ++rawUnion[jobs[j].category].first, rawUnion[jobs[j].category].second += eitherRaw;
    }
  };
  std::vector<std::thread> threads;
  for (unsigned t = 0; t < std::max(1u, std::thread::hardware_concurrency()); ++t) threads.emplace_back(work);
  for (std::thread& t : threads) t.join();

  std::printf("%-16s", "category");
  for (const auto& reader : kReaders) std::printf(" | %-18s", reader.first.c_str());
  std::printf("\n%-16s", "");
  for (std::size_t r = 0; r < kReaders.size(); ++r) std::printf(" | %6s %5s %5s", "read%", "wrong", "false");
  std::printf(" | raw union\n");
  std::vector<Tally> totals(kReaders.size());
  for (std::size_t c = 0; c < categories.size(); ++c) {
    std::printf("%-16s", categories[c].first.c_str());
    for (std::size_t r = 0; r < kReaders.size(); ++r) {
      const Tally& t = tallies[{c, r}];
      if (t.expected) std::printf(" | %5.1f%% %5d %5d", 100.0 * t.read / t.expected, t.wrong, t.falsePositive);
      else std::printf(" | %6s %5d %5d", "-", t.wrong, t.falsePositive);
      totals[r].expected += t.expected, totals[r].read += t.read, totals[r].wrong += t.wrong;
      totals[r].falsePositive += t.falsePositive;
      if (verbose)
        for (const std::string& note : t.notes) std::fprintf(stderr, "%s: %s\n", kReaders[r].first.c_str(), note.c_str());
    }
    const auto [pictures, either] = rawUnion[c];
    if (pictures) std::printf(" | %5.1f%%", 100.0 * either / pictures);
    std::printf("\n");
  }
  std::printf("%-16s", "all");
  for (const Tally& t : totals) std::printf(" | %5.1f%% %5d %5d", 100.0 * t.read / t.expected, t.wrong, t.falsePositive);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("\n%zu pictures in %s, %.0f s\n", jobs.size(), folder.c_str(), seconds);
  return 0;
}
