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
#include <istream>
#include <iterator>
#include <ostream>

const char* const kEncodeUsage =
    "usage: codewerk encode [--encoder qrencode|zint] [--level L|M|Q|H] [--margin MODULES]\n"
    "                       [--module PX | --height PX | --size-mm MM [--dpi N]] [--format bmp|png|svg|pdf]\n"
    "                       TEXT|- -o FILE\n"
    "  Writes the QR code of TEXT (or of standard input, taken exactly, for '-'): BMP, PNG, SVG or PDF\n"
    "  by the file name's ending, or as --format says.\n"
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
  std::string encoderName = "zint";
  int level = 0; // 0 = L … 3 = H
  int module = 4;
  int height = 0;
  double sizeMm = 0;
  CodeFileLayout layout;
  CodeFileFormat format = CodeFileFormat::Bmp;
  std::string text;
  std::string outputPath;
};

int UsageError(std::ostream& err, const std::string& message) {
  err << "codewerk encode: " << message << "\n" << kEncodeUsage;
  return kExitUsage;
}

std::optional<double> ParsePositiveNumber(const std::string& text) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  return end && *end == '\0' && !text.empty() && value > 0 && value < 1e6 ? std::optional(value) : std::nullopt;
}

int ReportTooLong(CEncoderItemBase& encoder, const std::string& text, char level, std::ostream& err) {
  if (text.empty()) {
    err << "codewerk encode: the text is empty; there is nothing to encode\n";
    return kExitFailed;
  }
  const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  err << "codewerk encode: the text is too long for a QR code: " << text.size() << " bytes; with error correction "
      << level << " the " << encoder.GetNameBibliothek().str() << " back end takes at most "
      << LargestEncodableBytes(encoder, ascii) << "\n";
  return kExitFailed;
}

// Pixels per module as the options ask; 0 with a message when none is possible.
int ModulePixels(const EncodeRequest& request, int modules, std::ostream& err) {
  if (request.sizeMm > 0) {
    const int pixels = ModulePixelsFor(request.sizeMm, request.layout.dpi, modules);
    if (!pixels) err << "codewerk encode: at " << request.layout.dpi << " dpi a module of a " << request.sizeMm
                     << " mm code would be smaller than one pixel\n";
    return pixels;
  }
  if (request.height > 0) {
    const int pixels = request.height / (modules + 2 * request.layout.marginModules);
    if (!pixels) err << "codewerk encode: " << request.height << " pixels cannot hold a module each of "
                     << modules + 2 * request.layout.marginModules << " modules (quiet zone included)\n";
    return pixels;
  }
  return request.module;
}

int Encode(EncodeRequest& request, CEncoderItemBase& encoder, std::ostream& out, std::ostream& err) {
  const std::optional<CodeMatrix> code = MakeCodeMatrix(CString(request.text.c_str()), encoder);
  if (!code) return ReportTooLong(encoder, request.text, "LMQH"[request.level], err);
  request.layout.modulePixels = ModulePixels(request, code->size, err);
  request.layout.codeMillimetres = request.sizeMm;
  if (!request.layout.modulePixels) return kExitUsage;
  std::string why;
  if (!WriteCodeFile(request.outputPath, request.format, *code, request.layout, why)) {
    err << "codewerk encode: cannot write " << request.outputPath << ": " << why << "\n";
    return kExitFailed;
  }
  const int pixels = (code->size + 2 * request.layout.marginModules) * request.layout.modulePixels;
  out << "wrote " << request.outputPath << " (" << code->size << " x " << code->size << " modules, " << pixels << " x "
      << pixels << " pixels, " << encoder.GetNameBibliothek().str() << ")\n";
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

} // namespace

int RunEncodeCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
  CommandLine line(args);
  EncodeRequest request;
  if (line.TakeFlag("--help")) {
    out << kEncodeUsage;
    return kExitOk;
  }
  if (line.TakeFlag("--version")) {
    out << "codewerk " << CODEWERK_VERSION << "\n";
    return kExitOk;
  }
  if (const std::optional<std::string> wrong = ReadOptions(line, request)) return UsageError(err, *wrong);
  const std::vector<std::string> rest = line.Rest();
  if (!line.Ok()) return UsageError(err, line.Error());
  if (rest.size() != 1) return UsageError(err, rest.empty() ? "no text given" : "give the text as one argument (quote it)");
  request.text = rest[0] == "-" ? std::string(std::istreambuf_iterator<char>(in), {}) : rest[0];
  if (const std::optional<std::string> refused = RefusedText(request.text)) {
    err << "codewerk encode: " << *refused << "\n";
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
