#include "EncodeCommand.h"

#include "CommandLine.h"

#include "encode/CodeCapacity.h"
#include "encode/CodeFiles.h"
#include "encode/EncoderGetCodeItem_QREncode.h"
#include "encode/EncoderGetCodeItem_ZInt.h"
#include "outside/TextServices.h"
#include "outside/CodePage.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstdio>

const char* const kEncodeUsage =
    "usage: codewerk encode [--encoder qrencode|zint] [--level L|M|Q|H] [--margin MODULES]\n"
    "                       [--module PX | --height PX | --size-mm MM [--dpi N]] [--format bmp|png|svg|pdf]\n"
    "                       TEXT|- -o FILE\n"
    "  Writes the QR code of TEXT (or of standard input, taken exactly, for '-'): BMP, PNG, SVG or PDF\n"
    "  by the file name's ending, or as --format says.\n"
    "  --encoder E    the library that makes the code: qrencode (default) or zint\n"
    "  --module PX    pixels per module (default 4)\n"
    "  --height PX    the largest whole-pixel module size that keeps the picture, quiet zone included,\n"
    "                 PX pixels high\n"
    "  --size-mm MM   the code's own size in millimetres, the quiet zone on top; PNG and BMP store the\n"
    "                 resolution that makes it so, SVG and PDF have that size\n"
    "  --dpi N        the resolution the pixels are meant for (default 300)\n"
    "  --margin N     modules of quiet zone on every side (default 4)\n"
    "  --level L|M|Q|H  error correction (default L)\n"
    "  Exit status: 0 written, 1 the text cannot be encoded or the file not written, 2 bad options or input.\n";

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct EncodeRequest {
  std::string encoderName = "qrencode";
  int level = 0; // 0 = L … 3 = H
  int module = 4;
  int height = 0;
  double sizeMm = 0;
  CodeFileLayout layout;
  CodeFileFormat format = CodeFileFormat::Bmp;
  std::string text;
  std::string outputPath;
};

int UsageError(std::FILE* err, const std::string& message) {
  std::fprintf(err, "codewerk encode: %s\n%s", message.c_str(), kEncodeUsage);
  return kExitUsage;
}

std::optional<double> ParsePositiveNumber(const std::string& text) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  return end && *end == '\0' && !text.empty() && value > 0 && value < 1e6 ? std::optional(value) : std::nullopt;
}

int ReportTooLong(CEncoderItemBase& encoder, const std::string& text, char level, std::FILE* err) {
  if (text.empty()) {
    std::fputs("codewerk encode: the text is empty; there is nothing to encode\n", err);
    return kExitFailed;
  }
  const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  std::fprintf(err, "codewerk encode: the text is too long for a QR code: %zu bytes; with error correction %c the %s "
               "back end takes at most %d\n", text.size(), level, encoder.GetNameBibliothek().str().c_str(),
               LargestEncodableBytes(encoder, ascii));
  return kExitFailed;
}

// Pixels per module as the options ask; 0 with a message when none is possible.
int ModulePixels(const EncodeRequest& request, int modules, std::FILE* err) {
  if (request.sizeMm > 0) {
    const int pixels = ModulePixelsFor(request.sizeMm, request.layout.dpi, modules);
    if (!pixels)
      std::fprintf(err, "codewerk encode: at %g dpi a module of a %g mm code would be smaller than one pixel\n",
                   request.layout.dpi, request.sizeMm);
    return pixels;
  }
  if (request.height > 0) {
    const int pixels = request.height / (modules + 2 * request.layout.marginModules);
    if (!pixels)
      std::fprintf(err, "codewerk encode: %d pixels cannot hold a module each of %d modules (quiet zone included)\n",
                   request.height, modules + 2 * request.layout.marginModules);
    return pixels;
  }
  return request.module;
}

int Encode(EncodeRequest& request, CEncoderItemBase& encoder, std::FILE* out, std::FILE* err) {
  const std::optional<CodeMatrix> code = MakeCodeMatrix(CString(request.text.c_str()), encoder);
  if (!code) return ReportTooLong(encoder, request.text, "LMQH"[request.level], err);
  request.layout.modulePixels = ModulePixels(request, code->size, err);
  request.layout.codeMillimetres = request.sizeMm;
  if (!request.layout.modulePixels) return kExitUsage;
  std::string why;
  if (!WriteCodeFile(request.outputPath, request.format, *code, request.layout, why)) {
    std::fprintf(err, "codewerk encode: cannot write %s: %s\n", request.outputPath.c_str(), why.c_str());
    return kExitFailed;
  }
  const int pixels = (code->size + 2 * request.layout.marginModules) * request.layout.modulePixels;
  std::fprintf(out, "wrote %s (%d x %d modules, %d x %d pixels, %s)\n", request.outputPath.c_str(), code->size,
               code->size, pixels, pixels, encoder.GetNameBibliothek().str().c_str());
  return kExitOk;
}

// The encoders take zero-terminated UTF-8: a text that is not would be changed without a word.
std::optional<std::string> RefusedText(const std::string& text) {
  if (text.find('\0') != std::string::npos) return "the text holds a NUL byte, which a code made here cannot carry";
  if (!IsValidUTF8(text.c_str(), text.size())) return "the text is not valid UTF-8";
  return std::nullopt;
}

// The options into the request; a message when one is wrong.
std::optional<std::string> ReadOptions(CommandLine& line, EncodeRequest& request) {
  if (auto name = line.TakeValue("--encoder")) request.encoderName = *name;
  if (request.encoderName != "qrencode" && request.encoderName != "zint")
    return "unknown encoder '" + request.encoderName + "' (qrencode or zint)";
  if (auto level = line.TakeValue("--level")) {
    const std::string levels = "LMQH";
    if (level->size() != 1 || levels.find(static_cast<char>(std::toupper(static_cast<unsigned char>((*level)[0])))) == std::string::npos)
      return "--level takes L, M, Q or H";
    request.level = static_cast<int>(levels.find(static_cast<char>(std::toupper(static_cast<unsigned char>((*level)[0])))));
  }
  const auto module = line.TakeValue("--module"), height = line.TakeValue("--height"), size = line.TakeValue("--size-mm");
  if ((module ? 1 : 0) + (height ? 1 : 0) + (size ? 1 : 0) > 1) return "--module, --height and --size-mm exclude each other";
  if (module && !(request.module = ParsePositive(*module).value_or(0))) return "--module needs a whole number of pixels, at least 1";
  if (height && !(request.height = ParsePositive(*height).value_or(0))) return "--height needs a whole number of pixels, at least 1";
  if (size && !(request.sizeMm = ParsePositiveNumber(*size).value_or(0))) return "--size-mm needs a size in millimetres";
  if (auto dpi = line.TakeValue("--dpi")) {
    if (!size) return "--dpi goes with --size-mm";
    if (!(request.layout.dpi = ParsePositiveNumber(*dpi).value_or(0))) return "--dpi needs a resolution, dots per inch";
  }
  if (auto margin = line.TakeValue("--margin")) {
    const std::optional<int> value = *margin == "0" ? std::optional(0) : ParsePositive(*margin);
    if (!value || *value > 100) return "--margin needs a whole number of modules, 0 to 100";
    request.layout.marginModules = *value;
  }
  auto output = line.TakeValue("-o");
  if (!output) output = line.TakeValue("--output");
  if (!output || output->empty()) return std::string("no output file (-o FILE)");
  request.outputPath = *output;
  const auto format = line.TakeValue("--format");
  const auto chosen = format ? CodeFileFormatOf("." + *format) : CodeFileFormatOf(request.outputPath);
  if (!chosen)
    return format ? "unknown format '" + *format + "' (bmp, png, svg or pdf)"
                  : "the file name ends in none of .bmp, .png, .svg, .pdf; say which with --format";
  request.format = *chosen;
  return std::nullopt;
}

// Everything the standard input holds, bytes as they are.
std::string ReadAll(std::FILE* in) {
  std::string text;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, in)) > 0;) text.append(buffer, got);
  return text;
}

} // namespace

int RunEncodeCommand(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err) {
  CommandLine line(args);
  EncodeRequest request;
  if (line.TakeFlag("--help")) {
    std::fputs(kEncodeUsage, out);
    return kExitOk;
  }
  if (line.TakeFlag("--version")) {
    std::fputs("codewerk " CODEWERK_VERSION "\n", out);
    return kExitOk;
  }
  if (const std::optional<std::string> wrong = ReadOptions(line, request)) return UsageError(err, *wrong);
  const std::vector<std::string> rest = line.Rest();
  if (!line.Ok()) return UsageError(err, line.Error());
  if (rest.size() != 1) return UsageError(err, rest.empty() ? "no text given" : "give the text as one argument (quote it)");
  request.text = rest[0] == "-" ? ReadAll(in) : rest[0];
  if (const std::optional<std::string> refused = RefusedText(request.text)) {
    std::fprintf(err, "codewerk encode: %s\n", refused->c_str());
    return kExitUsage;
  }
  if (request.encoderName == "qrencode") {
    CEncoderGetCodeItem_QREncode encoder;
    encoder.m_nLevel = request.level;
    return Encode(request, encoder, out, err);
  }
  CEncoderGetCodeItem_ZInt encoder;
  encoder.m_nLevel = request.level + 1;
  return Encode(request, encoder, out, err);
}
