#include "ReadCommand.h"

#include "CommandLine.h"
#include "JsonText.h"
#include "MainDialogCommand.h"
#include "decode/SubDlgDecodeResult.h"

#include <algorithm>
#include <ostream>

namespace {

const char* const kReadUsage =
    "usage: codewerk read [--json] [--source \"2D Scanner\"|WebCam|Scanner|Datei|Bildschirm|Zwischenablage]\n"
    "  Opens the \"QR Code\" dialog and prints every code of the first read that found any:\n"
    "  text and symbology, a line each; with --json one JSON object per code.\n"
    "  Exit status: 0 read, 1 closed without a read, 2 an error (no display, bad options).\n";

const char* const kSources[] = {"2D Scanner", "WebCam", "Scanner", "Datei", "Bildschirm", "Zwischenablage"};

struct Printer {
  std::ostream& out;
  bool json;
};

void PrintResult(const CSubDlgDecodeResult& result, void* context) {
  auto& printer = *static_cast<Printer*>(context);
  if (!printer.json) {
    printer.out << result.m_strText.str() << "\t" << result.m_strSymbol.str() << "\n";
    return;
  }
  printer.out << ResultJson(result) << "\n";
}

} // namespace

int RunReadCommand(int argc, char** argv, const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CommandLine line(args);
  if (line.TakeFlag("--help")) {
    out << kReadUsage;
    return 0;
  }
  Printer printer{out, line.TakeFlag("--json")};
  const std::optional<std::string> source = line.TakeValue("--source");
  const bool known = !source || std::find(std::begin(kSources), std::end(kSources), *source) != std::end(kSources);
  const std::vector<std::string> rest = line.Rest();
  if (!line.Ok() || !rest.empty() || !known) {
    err << "codewerk read: "
        << (!line.Ok() ? line.Error() : !known ? "unknown source '" + *source + "'" : "unexpected '" + rest[0] + "'") << "\n"
        << kReadUsage;
    return 2;
  }
  using Entry = int (*)(int, char**, const char*, void (*)(const CSubDlgDecodeResult&, void*), void*);
  const auto entry = reinterpret_cast<Entry>(DialogLibraryEntry("CodewerkRunRead", err));
  if (!entry) return 2;
  const int rc = entry(argc, argv, source ? source->c_str() : nullptr, PrintResult, &printer);
  out.flush();
  if (!out) {
    err << "codewerk read: the results could not be written\n";
    return 2;
  }
  return rc;
}
