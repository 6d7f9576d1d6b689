#include "HostilePictures.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

void Be32(Bytes& b, std::uint32_t v) { for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<std::uint8_t>(v >> s)); }
void Be16(Bytes& b, unsigned v) { b.push_back(static_cast<std::uint8_t>(v >> 8)), b.push_back(static_cast<std::uint8_t>(v)); }
void Le16(Bytes& b, unsigned v) { b.push_back(static_cast<std::uint8_t>(v)), b.push_back(static_cast<std::uint8_t>(v >> 8)); }
void Le32(Bytes& b, std::uint32_t v) { Le16(b, v & 0xFFFF), Le16(b, v >> 16); }
Bytes Cut(const Bytes& b, double fraction) { return Bytes(b.begin(), b.begin() + static_cast<long>(b.size() * fraction)); }

// zlib data of rows of zeros, made a row at a time so that a bomb never exists unpacked.
Bytes DeflatedZeros(std::size_t rowBytes, std::size_t rows) {
  z_stream z{};
  deflateInit(&z, 9);
  Bytes row(rowBytes, 0), out, chunk(1 << 16);
  for (std::size_t y = 0; y <= rows; ++y) {
    z.next_in = row.data();
    z.avail_in = y < rows ? static_cast<uInt>(rowBytes) : 0;
    do {
      z.next_out = chunk.data();
      z.avail_out = static_cast<uInt>(chunk.size());
      deflate(&z, y < rows ? Z_NO_FLUSH : Z_FINISH);
      out.insert(out.end(), chunk.data(), z.next_out);
    } while (z.avail_out == 0);
  }
  deflateEnd(&z);
  return out;
}

// --- PNG ---

void PngChunk(Bytes& png, const char* type, const Bytes& data) {
  Be32(png, static_cast<std::uint32_t>(data.size()));
  Bytes body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  png.insert(png.end(), body.begin(), body.end());
  Be32(png, static_cast<std::uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
}

Bytes Png(std::uint32_t width, std::uint32_t height, int depth, int colourType, const Bytes& pixelData,
          const std::vector<std::pair<const char*, Bytes>>& extra = {}, int interlace = 0) {
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, header;
  Be32(header, width), Be32(header, height);
  header.insert(header.end(), {static_cast<std::uint8_t>(depth), static_cast<std::uint8_t>(colourType), 0, 0,
                               static_cast<std::uint8_t>(interlace)});
  PngChunk(png, "IHDR", header);
  for (const auto& [type, data] : extra) PngChunk(png, type, data);
  PngChunk(png, "IDAT", pixelData);
  PngChunk(png, "IEND", {});
  return png;
}

Bytes ZeroRows(std::uint32_t width, std::uint32_t height, int bitsPerPixel) {
  return DeflatedZeros(1 + (static_cast<std::size_t>(width) * bitsPerPixel + 7) / 8, height);
}

// Enough zeros for the seven passes of an interlaced picture, each row with its filter byte.
Bytes InterlacedZeroRows(std::uint32_t side, int bytesPerPixel) {
  const int x0[7] = {0, 4, 0, 2, 0, 1, 0}, dx[7] = {8, 8, 4, 4, 2, 2, 1}, y0[7] = {0, 0, 4, 0, 2, 0, 1}, dy[7] = {8, 8, 8, 4, 4, 2, 2};
  std::size_t total = 0;
  for (int p = 0; p < 7; ++p)
    total += (side - y0[p] + dy[p] - 1) / dy[p] * (1 + (side - x0[p] + dx[p] - 1) / dx[p] * static_cast<std::size_t>(bytesPerPixel));
  return DeflatedZeros(1 << 16, (total >> 16) + 1);
}

std::vector<HostileFile> PngFiles() {
  Bytes text = {'k', 0, 0}; // keyword, compression method, then 100 MB of zeros
  const Bytes zeros = DeflatedZeros(1 << 20, 100);
  text.insert(text.end(), zeros.begin(), zeros.end());
  std::vector<std::pair<const char*, Bytes>> chatter(20000, {"tEXt", Bytes{'a', 0, 'b'}});
  const Bytes small = Png(64, 64, 8, 0, ZeroRows(64, 64, 8));
  return {
      {"png-16bit-rgb-bomb.png", Png(6000, 6000, 16, 2, ZeroRows(6000, 6000, 48))},
      {"png-interlaced-bomb.png", Png(6000, 6000, 8, 2, InterlacedZeroRows(6000, 3), {}, 1)},
      {"png-claims-65535.png", Png(65535, 65535, 1, 0, ZeroRows(64, 64, 1))},
      {"png-claims-100000.png", Png(100000, 100000, 8, 0, ZeroRows(64, 64, 8))},
      {"png-claims-12000-in-a-small-file.png", Png(12000, 12000, 8, 0, ZeroRows(200, 200, 8))}, // within the limit, not the file
      {"png-ztxt-bomb.png", Png(64, 64, 8, 0, ZeroRows(64, 64, 8), {{"zTXt", text}, {"iCCP", text}})},
      {"png-20000-chunks.png", Png(64, 64, 8, 0, ZeroRows(64, 64, 8), chatter)},
      {"png-cut-in-header.png", Cut(small, 0.3)},
      {"png-cut-in-pixels.png", Cut(small, 0.7)},
      {"png-cut-before-end.png", Cut(small, 0.97)},
  };
}

// --- JPEG: entropy-coded data written by hand, each block costing a bit or two ---

void Segment(Bytes& jpeg, std::uint8_t marker, const Bytes& body) {
  jpeg.push_back(0xFF), jpeg.push_back(marker);
  Be16(jpeg, static_cast<unsigned>(body.size() + 2));
  jpeg.insert(jpeg.end(), body.begin(), body.end());
}

// Bits written most significant first; padding with ones, 0xFF stuffed with a zero.
struct BitWriter {
  Bytes bytes;
  unsigned buffer = 0;
  int count = 0;
  void Put(unsigned value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
      buffer = buffer << 1 | ((value >> i) & 1);
      if (++count == 8) Flush();
    }
  }
  void Flush() {
    bytes.push_back(static_cast<std::uint8_t>(buffer));
    if (buffer == 0xFF) bytes.push_back(0);
    buffer = 0, count = 0;
  }
  Bytes Done() {
    while (count) Put(1, 1);
    return bytes;
  }
};

Bytes JpegStart(std::uint8_t frameMarker, unsigned width, unsigned height) {
  Bytes jpeg = {0xFF, 0xD8}, table = {0}, frame = {8};
  table.insert(table.end(), 64, 1);
  Segment(jpeg, 0xDB, table);
  Be16(frame, height), Be16(frame, width);
  frame.insert(frame.end(), {1, 1, 0x11, 0});
  Segment(jpeg, frameMarker, frame);
  return jpeg;
}

// A Huffman table whose symbols all have codes of one length.
void HuffmanTable(Bytes& jpeg, std::uint8_t classAndId, int length, const Bytes& symbols) {
  Bytes body = {classAndId};
  for (int l = 1; l <= 16; ++l) body.push_back(l == length ? static_cast<std::uint8_t>(symbols.size()) : 0);
  body.insert(body.end(), symbols.begin(), symbols.end());
  Segment(jpeg, 0xC4, body);
}

void Scan(Bytes& jpeg, std::uint8_t first, std::uint8_t last, const Bytes& data) {
  Segment(jpeg, 0xDA, {1, 1, 0x00, first, last, 0});
  jpeg.insert(jpeg.end(), data.begin(), data.end());
}

// Every block has DC difference 0 and ends at once: two bits a block.
Bytes BaselineBomb(unsigned width, unsigned height) {
  Bytes jpeg = JpegStart(0xC0, width, height);
  HuffmanTable(jpeg, 0x00, 1, {0x00});
  HuffmanTable(jpeg, 0x10, 1, {0x00});
  const std::size_t blocks = static_cast<std::size_t>((width + 7) / 8) * ((height + 7) / 8);
  Scan(jpeg, 0, 63, Bytes(blocks / 4, 0));
  jpeg.insert(jpeg.end(), {0xFF, 0xD9});
  return jpeg;
}

// A DC scan, then many AC scans that say "all blocks end here" in a few end-of-band runs.
Bytes ProgressiveScansBomb(unsigned side, int acScans) {
  Bytes jpeg = JpegStart(0xC2, side, side);
  HuffmanTable(jpeg, 0x00, 1, {0x00});
  Bytes runs;
  for (int n = 0; n < 15; ++n) runs.push_back(static_cast<std::uint8_t>(n << 4));
  HuffmanTable(jpeg, 0x10, 4, runs);
  const std::size_t blocks = static_cast<std::size_t>((side + 7) / 8) * ((side + 7) / 8);
  BitWriter dc;
  for (std::size_t b = 0; b < blocks; ++b) dc.Put(0, 1);
  Scan(jpeg, 0, 0, dc.Done());
  BitWriter ac;
  for (std::size_t left = blocks; left > 0;) {
    const std::size_t run = std::min<std::size_t>(left, 32767);
    int n = 0;
    while ((std::size_t{2} << n) <= run) ++n;
    ac.Put(static_cast<unsigned>(n), 4), ac.Put(static_cast<unsigned>(run - (std::size_t{1} << n)), n);
    left -= run;
  }
  const Bytes acData = ac.Done();
  for (int i = 0; i < acScans; ++i) Scan(jpeg, 1, 63, acData);
  jpeg.insert(jpeg.end(), {0xFF, 0xD9});
  return jpeg;
}

std::vector<HostileFile> JpegFiles() {
  const Bytes small = BaselineBomb(256, 256);
  return {
      {"jpeg-300-empty-scans.jpg", ProgressiveScansBomb(3600, 300)},
      {"jpeg-baseline-bomb.jpg", BaselineBomb(6000, 6000)},
      {"jpeg-claims-65500.jpg", BaselineBomb(65500, 65500)},
      {"jpeg-cut-in-header.jpg", Cut(small, 0.05)},
      {"jpeg-cut-in-scan.jpg", Cut(small, 0.6)},
  };
}

// --- GIF, with an LZW coder that makes its codes as giflib does ---

class LzwWriter {
public:
  Bytes Encode(const Bytes& pixels) {
    Reset();
    Put(kClear);
    std::uint16_t prefix = pixels[0];
    for (std::size_t i = 1; i < pixels.size(); ++i) {
      const std::uint8_t c = pixels[i];
      if (const std::uint16_t next = (*m_table)[prefix][c]) {
        prefix = next;
        continue;
      }
      Put(prefix);
      if (m_running >= 4095) {
        Put(kClear);
        Reset();
      } else {
        (*m_table)[prefix][c] = static_cast<std::uint16_t>(m_running++);
      }
      prefix = c;
    }
    Put(prefix);
    Put(kClear + 1);
    if (m_count) m_out.push_back(static_cast<std::uint8_t>(m_buffer));
    return m_out;
  }

private:
  static constexpr std::uint16_t kClear = 256;
  void Reset() {
    m_table = std::make_unique<std::array<std::array<std::uint16_t, 256>, 4096>>();
    m_running = kClear + 2, m_bits = 9, m_max = 512;
  }
  void Put(unsigned code) {
    m_buffer |= code << m_count;
    for (m_count += m_bits; m_count >= 8; m_count -= 8, m_buffer >>= 8) m_out.push_back(static_cast<std::uint8_t>(m_buffer));
    if (m_running >= m_max && code <= 4095 && m_bits < 12) m_max = 1u << ++m_bits;
  }

  std::unique_ptr<std::array<std::array<std::uint16_t, 256>, 4096>> m_table;
  Bytes m_out;
  unsigned m_buffer = 0, m_running = 0, m_bits = 9, m_max = 512;
  int m_count = 0;
};

Bytes GifFrame(unsigned left, unsigned top, unsigned width, unsigned height, const Bytes& pixels) {
  Bytes frame = {0x2C};
  Le16(frame, left), Le16(frame, top), Le16(frame, width), Le16(frame, height);
  frame.insert(frame.end(), {0x00, 8});
  const Bytes data = LzwWriter().Encode(pixels);
  for (std::size_t at = 0; at < data.size(); at += 255) {
    const std::size_t n = std::min<std::size_t>(255, data.size() - at);
    frame.push_back(static_cast<std::uint8_t>(n));
    frame.insert(frame.end(), data.begin() + static_cast<long>(at), data.begin() + static_cast<long>(at + n));
  }
  frame.push_back(0);
  return frame;
}

Bytes Gif(unsigned width, unsigned height, const std::vector<Bytes>& frames) {
  Bytes gif = {'G', 'I', 'F', '8', '9', 'a'};
  Le16(gif, width), Le16(gif, height);
  gif.insert(gif.end(), {0xF7, 0, 0}); // a global table of 256 greys
  for (int i = 0; i < 256; ++i) gif.insert(gif.end(), 3, static_cast<std::uint8_t>(i));
  for (const Bytes& frame : frames) gif.insert(gif.end(), frame.begin(), frame.end());
  gif.push_back(0x3B);
  return gif;
}

std::vector<HostileFile> GifFiles() {
  const Bytes small = Gif(64, 64, {GifFrame(0, 0, 64, 64, Bytes(64 * 64, 7))});
  std::vector<Bytes> tiny(10000, GifFrame(0, 0, 1, 1, {0}));
  return {
      {"gif-bomb.gif", Gif(6000, 6000, {GifFrame(0, 0, 6000, 6000, Bytes(36'000'000, 0))})},
      {"gif-claims-65535.gif", Gif(65535, 65535, {GifFrame(0, 0, 65535, 65535, Bytes(4096, 0))})},
      {"gif-10000-frames.gif", Gif(1, 1, tiny)},
      {"gif-frame-beyond-screen.gif", Gif(8, 8, {GifFrame(60000, 60000, 64, 64, Bytes(64 * 64, 0))})},
      {"gif-cut-in-pixels.gif", Cut(small, 0.6)},
  };
}

// --- TIFF, little-endian, one strip a page ---

struct TiffPage {
  std::uint32_t width, height;
  std::uint16_t bits, compression, photometric;
  Bytes strip;
};

// nextOfLast: where the last page points on (0: nowhere; anything else makes a loop or a dangling link).
Bytes Tiff(const std::vector<TiffPage>& pages, std::uint32_t nextOfLast = 0, std::uint32_t stripOffsetShift = 0) {
  Bytes tiff = {'I', 'I', 42, 0};
  Le32(tiff, 0);
  std::size_t link = 4; // where the offset of the next directory goes
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const TiffPage& page = pages[i];
    const std::uint32_t stripAt = static_cast<std::uint32_t>(tiff.size()) + stripOffsetShift;
    tiff.insert(tiff.end(), page.strip.begin(), page.strip.end());
    if (tiff.size() % 2) tiff.push_back(0);
    const auto at = static_cast<std::uint32_t>(tiff.size());
    for (int b = 0; b < 4; ++b) tiff[link + b] = static_cast<std::uint8_t>(at >> (8 * b));
    const std::array<std::array<std::uint32_t, 3>, 9> entries = {{{256, 4, page.width}, {257, 4, page.height},
                                                                 {258, 3, page.bits}, {259, 3, page.compression},
                                                                 {262, 3, page.photometric}, {273, 4, stripAt},
                                                                 {277, 3, 1}, {278, 4, page.height},
                                                                 {279, 4, static_cast<std::uint32_t>(page.strip.size())}}};
    Le16(tiff, entries.size());
    for (const auto& [tag, type, value] : entries) Le16(tiff, tag), Le16(tiff, type), Le32(tiff, 1), Le32(tiff, value);
    link = tiff.size();
    Le32(tiff, i + 1 == pages.size() ? nextOfLast : 0);
  }
  return tiff;
}

// Fax group 4: a white line below a white line is one bit; the data ends with two end-of-lines.
Bytes BlankFaxLines(std::uint32_t height) {
  Bytes data((height + 7) / 8, 0xFF);
  data.insert(data.end(), {0x00, 0x10, 0x01});
  return data;
}

std::vector<HostileFile> TiffFiles() {
  const TiffPage pixel{1, 1, 8, 1, 1, {128}};
  const Bytes one = Tiff({pixel});
  return {
      {"tiff-deflate-bomb.tif", Tiff({{6000, 6000, 8, 8, 1, DeflatedZeros(6000, 6000)}})},
      {"tiff-claims-1200-dpi-page-in-2-kb.tif", Tiff({{9921, 14031, 1, 4, 0, BlankFaxLines(14031)}})},
      {"tiff-claims-65535.tif", Tiff({{65535, 65535, 8, 1, 1, {0}}})},
      {"tiff-claims-100000.tif", Tiff({{100000, 100000, 1, 4, 0, BlankFaxLines(100)}})},
      {"tiff-directory-loop.tif", Tiff({pixel, pixel}, 8)}, // the last page points back at the first
      {"tiff-10000-pages.tif", Tiff(std::vector<TiffPage>(10000, pixel))},
      {"tiff-strip-past-end.tif", Tiff({{64, 64, 8, 1, 1, Bytes(64, 0)}}, 0, 1u << 30)},
      {"tiff-cut.tif", Cut(one, 0.5)},
  };
}

// --- BMP ---

Bytes Bmp(std::int32_t width, std::int32_t height, int bits, std::uint32_t compression, const Bytes& pixels,
          std::uint32_t pixelOffset = 0) {
  const std::uint32_t palette = bits <= 8 ? 4u << bits : 0;
  Bytes bmp = {'B', 'M'};
  Le32(bmp, static_cast<std::uint32_t>(54 + palette + pixels.size())), Le32(bmp, 0);
  Le32(bmp, pixelOffset ? pixelOffset : 54 + palette);
  Le32(bmp, 40), Le32(bmp, static_cast<std::uint32_t>(width)), Le32(bmp, static_cast<std::uint32_t>(height));
  Le16(bmp, 1), Le16(bmp, static_cast<unsigned>(bits)), Le32(bmp, compression);
  for (int i = 0; i < 5; ++i) Le32(bmp, 0);
  for (std::uint32_t i = 0; i < palette / 4; ++i) bmp.insert(bmp.end(), {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), 0});
  bmp.insert(bmp.end(), pixels.begin(), pixels.end());
  return bmp;
}

std::vector<HostileFile> BmpFiles() {
  Bytes pastEnd = {255, 9, 255, 9, 0, 2, 255, 255, 0, 2, 255, 255, 0, 200, 1, 2}; // runs and deltas beyond the picture
  Bytes lines;
  for (int i = 0; i < 640; ++i) lines.insert(lines.end(), {0, 0}); // end-of-line codes only
  const Bytes plain = Bmp(64, 64, 24, 0, Bytes(64 * 64 * 3, 200));
  return {
      {"bmp-rle8-past-the-end.bmp", Bmp(10, 10, 8, 1, pastEnd)},
      {"bmp-rle8-claims-26-million.bmp", Bmp(5170, 5170, 8, 1, lines)},
      {"bmp-claims-65535.bmp", Bmp(65535, 65535, 24, 0, Bytes(3000, 0))},
      {"bmp-claims-100000.bmp", Bmp(100000, -100000, 8, 1, lines)},
      {"bmp-pixels-outside.bmp", Bmp(64, 64, 24, 0, Bytes(64, 0), 0x7FFFFFF0)},
      {"bmp-cut.bmp", Cut(plain, 0.5)},
  };
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}

} // namespace

std::vector<std::uint8_t> BlankMultiPageTiff(int pages, int side) {
  const auto s = static_cast<std::uint32_t>(side);
  return Tiff(std::vector<TiffPage>(static_cast<std::size_t>(pages), {s, s, 8, 8, 1, DeflatedZeros(s, s)}));
}

std::vector<HostileFile> MakeHostilePictures() {
  std::vector<HostileFile> files;
  for (auto make : {PngFiles, JpegFiles, GifFiles, TiffFiles, BmpFiles})
    for (HostileFile& file : make()) files.push_back(std::move(file));
  return files;
}

std::vector<fs::path> WriteHostileCorpus(const fs::path& folder) {
  fs::create_directories(folder);
  std::vector<fs::path> paths;
  for (const HostileFile& file : MakeHostilePictures()) {
    WriteFile(folder / file.name, file.bytes);
    paths.push_back(folder / file.name);
  }
  const fs::path fifo = folder / "fifo.png", dir = folder / "folder.png", zero = folder / "dev-zero.png",
                 empty = folder / "empty.png", sparse = folder / "sparse-4-gigabytes.bmp";
  mkfifo(fifo.c_str(), 0600);
  fs::create_directory(dir);
  fs::create_symlink("/dev/zero", zero);
  WriteFile(empty, {});
  WriteFile(sparse, {'B', 'M'});
  if (truncate(sparse.c_str(), 4ll << 30) != 0) fs::remove(sparse);
  for (const fs::path& path : {fifo, dir, zero, empty, sparse})
    if (fs::exists(fs::symlink_status(path))) paths.push_back(path);
  return paths;
}
