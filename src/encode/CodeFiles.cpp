#include "encode/CodeFiles.h"

#include "outside/ReplacingFile.h"
#include "outside/TextServices.h"

#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csetjmp>
#include <cstring>
#include <dlfcn.h>
#include <strings.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Where the modules lie: the code's size plus the quiet zone, and the physical size of it all.
struct Extent {
  int modules;    // a side, quiet zone included
  int pixels;     // a side, raster formats
  double millimetres;
  double PixelsPerMetre() const { return pixels / (millimetres / 1000); }
};

Extent Measure(const CodeMatrix& code, const CodeFileLayout& layout) {
  Extent e;
  e.modules = code.size + 2 * layout.marginModules;
  e.pixels = e.modules * layout.modulePixels;
  e.millimetres = layout.codeMillimetres > 0 ? layout.codeMillimetres * e.modules / code.size : e.pixels / layout.dpi * 25.4;
  return e;
}

bool IsDark(const CodeMatrix& code, int margin, int row, int column) {
  row -= margin, column -= margin;
  return row >= 0 && column >= 0 && row < code.size && column < code.size && code.At(row, column);
}

// Runs of dark modules in a row of the code, as (first column, length).
std::vector<std::pair<int, int>> DarkRuns(const CodeMatrix& code, int row) {
  std::vector<std::pair<int, int>> runs;
  for (int column = 0; column < code.size;) {
    if (!code.At(row, column)) {
      ++column;
      continue;
    }
    const int first = column;
    while (column < code.size && code.At(row, column)) ++column;
    runs.emplace_back(first, column - first);
  }
  return runs;
}

void Put16(Bytes& b, unsigned v) { b.push_back(v & 0xFF), b.push_back((v >> 8) & 0xFF); }
void Put32(Bytes& b, std::uint32_t v) { Put16(b, v & 0xFFFF), Put16(b, v >> 16); }

Bytes Bmp(const CodeMatrix& code, const CodeFileLayout& layout, const Extent& e) {
  const std::uint32_t stride = (static_cast<std::uint32_t>(e.pixels) * 3 + 3) & ~3u;
  const auto ppm = static_cast<std::uint32_t>(std::lround(e.PixelsPerMetre()));
  Bytes bmp = {'B', 'M'};
  Put32(bmp, 54 + stride * e.pixels), Put32(bmp, 0), Put32(bmp, 54);
  Put32(bmp, 40), Put32(bmp, e.pixels), Put32(bmp, e.pixels), Put16(bmp, 1), Put16(bmp, 24), Put32(bmp, 0);
  Put32(bmp, stride * e.pixels), Put32(bmp, ppm), Put32(bmp, ppm), Put32(bmp, 0), Put32(bmp, 0);
  bmp.reserve(bmp.size() + std::size_t{stride} * e.pixels);
  Bytes row(stride, 0);
  for (int moduleRow = e.modules - 1; moduleRow >= 0; --moduleRow) { // bottom-up
    for (int x = 0; x < e.pixels; ++x)
      std::memset(&row[3 * static_cast<std::size_t>(x)],
                  IsDark(code, layout.marginModules, moduleRow, x / layout.modulePixels) ? 0 : 255, 3);
    for (int copy = 0; copy < layout.modulePixels; ++copy) bmp.insert(bmp.end(), row.begin(), row.end());
  }
  return bmp;
}

void PngWrite(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}
void PngFlush(png_structp) {}
void PngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// Everything libpng may leave with a long jump lives here, with nothing to destroy on the way.
bool PngRows(png_structp png, png_infop info, const CodeMatrix& code, const CodeFileLayout& layout, const Extent& e,
             Bytes& row, Bytes& out) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, &out, PngWrite, PngFlush);
  png_set_IHDR(png, info, e.pixels, e.pixels, 1, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  const auto ppm = static_cast<png_uint_32>(std::lround(e.PixelsPerMetre()));
  png_set_pHYs(png, info, ppm, ppm, PNG_RESOLUTION_METER);
  png_write_info(png, info);
  for (int y = 0; y < e.pixels; ++y) {
    std::fill(row.begin(), row.end(), 0);
    for (int x = 0; x < e.pixels; ++x)
      if (!IsDark(code, layout.marginModules, y / layout.modulePixels, x / layout.modulePixels))
        row[static_cast<std::size_t>(x) / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8)); // 1 is white
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  return true;
}

std::optional<Bytes> Png(const CodeMatrix& code, const CodeFileLayout& layout, const Extent& e) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  Bytes row((static_cast<std::size_t>(e.pixels) + 7) / 8), out;
  const bool ok = info && PngRows(png, info, code, layout, e, row, out);
  png_destroy_write_struct(&png, info ? &info : nullptr);
  if (!ok) return std::nullopt;
  return out;
}

// One path of the rows' dark runs: renderers fill it as one shape, so touching modules show no
// seams between them.
Bytes Svg(const CodeMatrix& code, const CodeFileLayout& layout, const Extent& e) {
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  char head[400];
  std::snprintf(head, sizeof head,
                "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.4fmm\" height=\"%.4fmm\" viewBox=\"0 0 %d %d\">\n"
                "<rect width=\"%d\" height=\"%d\" fill=\"#ffffff\"/>\n<path fill=\"#000000\" d=\"",
                e.millimetres, e.millimetres, e.modules, e.modules, e.modules, e.modules);
  svg += head;
  char run[64];
  for (int row = 0; row < code.size; ++row)
    for (const auto& [column, length] : DarkRuns(code, row)) {
      std::snprintf(run, sizeof run, "M%d %dh%dv1h-%dz", column + layout.marginModules, row + layout.marginModules, length, length);
      svg += run;
    }
  svg += "\"/>\n</svg>\n";
  return Bytes(svg.begin(), svg.end());
}

// Cairo draws the PDF. It is opened when a PDF is asked for: a program that writes other files
// never loads it and what it brings along.
struct Cairo {
  void* (*pdfSurfaceCreate)(const char*, double, double);
  void* (*create)(void*);
  void (*scale)(void*, double, double);
  void (*setSourceRgb)(void*, double, double, double);
  void (*rectangle)(void*, double, double, double, double);
  void (*fill)(void*);
  void (*showPage)(void*);
  void (*destroy)(void*);
  void (*surfaceFinish)(void*);
  int (*surfaceStatus)(void*);
  void (*surfaceDestroy)(void*);
};

const Cairo* LoadCairo(std::string& error) {
  static const Cairo* const cairo = []() -> const Cairo* {
    void* library = dlopen("libcairo.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!library) return nullptr;
    static Cairo calls;
    const std::pair<void**, const char*> names[] = {
        {reinterpret_cast<void**>(&calls.pdfSurfaceCreate), "cairo_pdf_surface_create"},
        {reinterpret_cast<void**>(&calls.create), "cairo_create"},
        {reinterpret_cast<void**>(&calls.scale), "cairo_scale"},
        {reinterpret_cast<void**>(&calls.setSourceRgb), "cairo_set_source_rgb"},
        {reinterpret_cast<void**>(&calls.rectangle), "cairo_rectangle"},
        {reinterpret_cast<void**>(&calls.fill), "cairo_fill"},
        {reinterpret_cast<void**>(&calls.showPage), "cairo_show_page"},
        {reinterpret_cast<void**>(&calls.destroy), "cairo_destroy"},
        {reinterpret_cast<void**>(&calls.surfaceFinish), "cairo_surface_finish"},
        {reinterpret_cast<void**>(&calls.surfaceStatus), "cairo_surface_status"},
        {reinterpret_cast<void**>(&calls.surfaceDestroy), "cairo_surface_destroy"}};
    for (const auto& [slot, name] : names)
      if (!(*slot = dlsym(library, name))) return nullptr;
    return &calls;
  }();
  if (!cairo) error = "PDF files need the Cairo library (libcairo2), which cannot be loaded";
  return cairo;
}

bool Pdf(const std::string& path, const CodeMatrix& code, const CodeFileLayout& layout, const Extent& e,
         std::string& error) {
  const Cairo* c = LoadCairo(error);
  if (!c) return false;
  const double points = e.millimetres / 25.4 * 72;
  void* surface = c->pdfSurfaceCreate(path.c_str(), points, points);
  void* cr = c->create(surface);
  c->scale(cr, points / e.modules, points / e.modules);
  c->setSourceRgb(cr, 0, 0, 0);
  for (int row = 0; row < code.size; ++row)
    for (const auto& [column, length] : DarkRuns(code, row))
      c->rectangle(cr, column + layout.marginModules, row + layout.marginModules, length, 1);
  c->fill(cr); // one fill of every module: no seams
  c->showPage(cr);
  c->destroy(cr);
  c->surfaceFinish(surface);
  const bool ok = c->surfaceStatus(surface) == 0;
  c->surfaceDestroy(surface);
  if (!ok) error = "Cairo cannot write the PDF file";
  return ok;
}

bool WriteInOneStep(const std::string& path, const Bytes& bytes, std::string& error) {
  ReplacingFile file(path);
  if (file.Write(bytes.data(), bytes.size()) && file.Commit()) return true;
  error = std::strerror(file.Error());
  return false;
}

} // namespace

std::optional<CodeMatrix> MakeCodeMatrix(const CString& text, CEncoderItemBase& encoder) {
  void* handle = encoder.GetCodeItem(GetAsUTF8String(text));
  if (!handle) return std::nullopt;
  CodeMatrix code;
  code.size = encoder.GetCodeWidth(handle);
  const int rows = encoder.GetCodeHeight(handle);
  if (code.size <= 0 || rows != code.size) { // QR codes are square
    encoder.DoneCode(handle);
    return std::nullopt;
  }
  code.dark.resize(static_cast<std::size_t>(code.size) * code.size);
  for (int row = 0; row < code.size; ++row)
    for (int column = 0; column < code.size; ++column)
      code.dark[static_cast<std::size_t>(row) * code.size + column] = encoder.IsCodeBitSet(handle, row, column);
  encoder.DoneCode(handle);
  return code;
}

std::optional<CodeFileFormat> CodeFileFormatOf(const std::string& path) {
  const auto dot = path.rfind('.');
  if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return std::nullopt;
  const char* ending = path.c_str() + dot + 1;
  if (strcasecmp(ending, "bmp") == 0) return CodeFileFormat::Bmp;
  if (strcasecmp(ending, "png") == 0) return CodeFileFormat::Png;
  if (strcasecmp(ending, "svg") == 0) return CodeFileFormat::Svg;
  if (strcasecmp(ending, "pdf") == 0) return CodeFileFormat::Pdf;
  return std::nullopt;
}

int ModulePixelsFor(double codeMillimetres, double dpi, int modules) {
  const double pixels = codeMillimetres / 25.4 * dpi / modules;
  return pixels < 1 ? 0 : static_cast<int>(std::lround(pixels));
}

bool WriteCodeFile(const std::string& path, CodeFileFormat format, const CodeMatrix& code, const CodeFileLayout& layout,
                   std::string& error) {
  const Extent e = Measure(code, layout);
  if (code.size <= 0 || layout.modulePixels <= 0 || layout.marginModules < 0 || e.millimetres <= 0) {
    error = "no size to draw the code at";
    return false;
  }
  constexpr int kMostPixels = 32768; // a side; a larger picture is no longer a code anyone prints
  if ((format == CodeFileFormat::Bmp || format == CodeFileFormat::Png) &&
      static_cast<long long>(e.modules) * layout.modulePixels > kMostPixels) {
    error = "the picture would be " + std::to_string(static_cast<long long>(e.modules) * layout.modulePixels) +
            " pixels a side, more than " + std::to_string(kMostPixels);
    return false;
  }
  switch (format) {
    case CodeFileFormat::Bmp: return WriteInOneStep(path, Bmp(code, layout, e), error);
    case CodeFileFormat::Svg: return WriteInOneStep(path, Svg(code, layout, e), error);
    case CodeFileFormat::Png: {
      const std::optional<Bytes> png = Png(code, layout, e);
      if (!png) error = "the PNG file cannot be made";
      return png && WriteInOneStep(path, *png, error);
    }
    case CodeFileFormat::Pdf: {
      ReplacingFile file(path); // Cairo writes the spare by its name
      if (file.Error()) {
        error = std::strerror(file.Error());
        return false;
      }
      if (!Pdf(file.SparePath(), code, layout, e, error)) return false;
      if (file.Commit()) return true;
      error = std::strerror(file.Error());
      return false;
    }
  }
  return false;
}
