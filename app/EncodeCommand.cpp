#include "EncodeCommand.h"

#include "CommandLine.h"

#include "encode/EncodedBitmap.h"
#include "encode/EncoderGetCodeItem_QREncode.h"
#include "encode/EncoderGetCodeItem_ZInt.h"
#include "outside/DibServices.h"
#include "outside/GlobalMemory.h"
#include "outside/TextServices.h"

#include <cerrno>
#include <cstring>
#include <istream>
#include <iterator>
#include <ostream>

const char* const kEncodeUsage =
    "usage: codewerk encode [--encoder qrencode|zint] [--module N | --height PX] TEXT|- -o FILE.bmp\n"
    "  Writes the QR code of TEXT (or of standard input, taken exactly, for '-') as a 24-bit BMP.\n"
    "  --module N   pixels per module (default 1: one pixel per module)\n"
    "  --height PX  the largest whole-pixel module size that keeps the picture PX pixels high\n";

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct EncodeRequest {
  std::string encoderName = "zint";
  int module = 1;
  int height = 0;
  std::string text;
  std::string outputPath;
};

int UsageError(std::ostream& err, const std::string& message) {
  err << "codewerk encode: " << message << "\n" << kEncodeUsage;
  return kExitUsage;
}

// Tells apart the two reasons for no picture: a text the back end refuses, or a picture too large.
int ReportNoBitmap(CEncoderItemBase& encoder, const CString& text, std::ostream& err) {
  const CString utf8 = GetAsUTF8String(text);
  if (void* code = encoder.GetCodeItem(utf8)) {
    const int width = encoder.GetCodeWidth(code);
    encoder.DoneCode(code);
    err << "codewerk encode: a picture of this " << width << "-module code at that size does not fit in memory\n";
  } else if (text.IsEmpty()) {
    err << "codewerk encode: the text is empty; there is nothing to encode\n";
  } else {
    err << "codewerk encode: the " << encoder.GetNameBibliothek().str() << " back end cannot encode this text ("
        << utf8.GetLength() << " bytes; a QR code holds at most 2953)\n";
  }
  return kExitFailed;
}

int Encode(const EncodeRequest& request, CEncoderItemBase& encoder, std::ostream& out, std::ostream& err) {
  const CString text(request.text);
  CSubDlgEncodeBaseCalcAusdehnungFest fixedModule(request.module, request.module);
  CSubDlgEncodeBaseCalcAusdehnungFesteHoehe fixedHeight(request.height);
  CSubDlgEncodeBaseCalcAusdehnungBase& calculator =
      request.height > 0 ? static_cast<CSubDlgEncodeBaseCalcAusdehnungBase&>(fixedHeight) : fixedModule;
  HGLOBAL dib = GetEncodedBitmap(text, encoder, calculator, RGB(0, 0, 0), RGB(255, 255, 255));
  if (!dib) return ReportNoBitmap(encoder, text, err);
  const CSize size = GetDIBSize(dib);
  errno = 0;
  const bool written = WriteDIB(request.outputPath.c_str(), dib) != FALSE;
  const int writeError = errno;
  GlobalFree(dib);
  if (!written) {
    err << "codewerk encode: cannot write " << request.outputPath;
    if (writeError) err << ": " << std::strerror(writeError);
    err << "\n";
    return kExitFailed;
  }
  out << "wrote " << request.outputPath << " (" << size.cx << " x " << size.cy << " pixels, "
      << encoder.GetNameBibliothek().str() << ")\n";
  return kExitOk;
}

} // namespace

int RunEncodeCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
  CommandLine line(args);
  EncodeRequest request;
  if (line.TakeFlag("--help")) {
    out << kEncodeUsage;
    return kExitOk;
  }
  if (auto name = line.TakeValue("--encoder")) request.encoderName = *name;
  const auto module = line.TakeValue("--module");
  const auto height = line.TakeValue("--height");
  auto output = line.TakeValue("-o");
  if (!output) output = line.TakeValue("--output");
  const std::vector<std::string> rest = line.Rest();
  if (!line.Ok()) return UsageError(err, line.Error());

  if (request.encoderName != "qrencode" && request.encoderName != "zint")
    return UsageError(err, "unknown encoder '" + request.encoderName + "' (qrencode or zint)");
  if (module && height) return UsageError(err, "--module and --height exclude each other");
  if (module && !(request.module = ParsePositive(*module).value_or(0)))
    return UsageError(err, "--module needs a whole number of pixels, at least 1");
  if (height && !(request.height = ParsePositive(*height).value_or(0)))
    return UsageError(err, "--height needs a whole number of pixels, at least 1");
  if (!output || output->empty()) return UsageError(err, "no output file (-o FILE.bmp)");
  if (rest.size() != 1) return UsageError(err, rest.empty() ? "no text given" : "give the text as one argument (quote it)");
  request.outputPath = *output;
  request.text = rest[0] == "-" ? std::string(std::istreambuf_iterator<char>(in), {}) : rest[0];

  if (request.encoderName == "qrencode") {
    CEncoderGetCodeItem_QREncode encoder;
    return Encode(request, encoder, out, err);
  }
  CEncoderGetCodeItem_ZInt encoder;
  return Encode(request, encoder, out, err);
}
