#include "DecodeCommand.h"

#include "CommandLine.h"
#include "JsonText.h"

#include "OrderedBatch.h"

#include "config/QRCodeKonfiguration.h"
#include "decode/CodeReader.h"
#include "outside/ImageFile.h"
#include "sources/DecodeDateiArray.h"

#include <algorithm>
#include <istream>
#include <ostream>
#include <sstream>
#include <thread>

const char* const kDecodeUsage =
    "usage: codewerk decode [--decoder zxing|zbar|both] [--all-formats] [--points] [--json] [--jobs N] FILE...\n"
    "       codewerk decode [options] [--null] -      (the files' names on standard input)\n"
    "  Prints one line per code found: \"symbology: text\", line breaks in the text shown as \\n\n"
    "  (and a backslash as \\\\); with several files each line starts with \"FILE: \", and the pages\n"
    "  of a multi-page TIFF are marked \"FILE (page N)\". Results come in the order of the files.\n"
    "  --decoder      the reading library; both: ZXing, then ZBar where ZXing finds nothing\n"
    "                 (default: the settings' choice)\n"
    "  --all-formats  look for every symbology, not only QR codes (default: the settings' choice)\n"
    "  --points       add the code's corners: top-left, top-right, bottom-right, bottom-left\n"
    "  --json         one JSON object per line and file: {\"file\", \"results\": [{\"text\", \"symbology\",\n"
    "                 \"points\"}]} or {\"file\", \"error\"}\n"
    "  --jobs N       read N files at once (default: one per processor core)\n"
    "  -              read the files' names from standard input, one per line\n"
    "  --null         names on standard input end with a NUL byte instead (find -print0)\n"
    "  Exit status: 0 something found, 1 nothing found, 2 an error (unreadable file, bad options).\n";

namespace {

constexpr int kExitFound = 0;
constexpr int kExitNothing = 1;
constexpr int kExitError = 2;

struct Options {
  bool points = false;
  bool json = false;
  bool prefixFile = false;
  int jobs = 1;
  bool namesFromInput = false;
  char nameEnd = '\n';
};

std::string Escaped(const CString& text) {
  std::string out;
  for (char c : text.view()) {
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\\') out += "\\\\";
    else out += c;
  }
  return out;
}

void PrintLines(const std::string& file, const CDecodeResultArray& results, const Options& options, std::ostream& out) {
  for (const CSubDlgDecodeResult* result : results) {
    if (options.prefixFile) out << file << ": ";
    out << result->m_strSymbol.str() << ": " << Escaped(result->m_strText);
    if (options.points && !result->m_arPoints.IsEmpty()) {
      out << "  [";
      for (int i = 0; i < result->m_arPoints.GetSize(); ++i)
        out << (i ? " " : "") << result->m_arPoints[i].x << "," << result->m_arPoints[i].y;
      out << "]";
    }
    out << "\n";
  }
}

void PrintJson(const std::string& file, const CDecodeResultArray& results, std::ostream& out) {
  out << "{\"file\":" << JsonQuoted(file) << ",\"results\":[";
  for (int i = 0; i < results.GetSize(); ++i) out << (i ? "," : "") << ResultJson(*results[i]);
  out << "]}\n";
}

std::string Named(const std::string& file, int page) {
  return page < 0 ? file : file + " (page " + std::to_string(page + 1) + ")";
}

std::string Describe(const SkippedPages& skipped) {
  const std::string read = "only the first " + std::to_string(skipped.pagesSplit) + " pages were read";
  switch (skipped.reason) {
    case SkippedPages::Reason::TooManyPages: return "more than " + std::to_string(kMaxImagePages) + " pages; " + read;
    case SkippedPages::Reason::DiskFull: return "no space left in the temporary folder for its pages; " + read;
    case SkippedPages::Reason::WriteFailed: break;
  }
  return "its pages cannot be written to the temporary folder; " + read;
}

// What one file gave, written out by a worker and printed in order by the caller.
struct FileReport {
  std::ostringstream out, err;
  bool found = false, failed = false;
};

void ReportError(FileReport& report, const std::string& file, const std::string& why, const char* verb,
                 const Options& options) {
  report.failed = true;
  if (options.json) report.out << "{\"file\":" << JsonQuoted(file) << ",\"error\":" << JsonQuoted(why) << "}\n";
  report.err << "codewerk decode: " << verb << file << ": " << why << "\n";
}

// One file, read once: a multi-page scan page by page, each page's results marked with its number.
FileReport DecodeFile(const std::string& file, const Options& options) {
  FileReport report;
  CodeReader reader = CodeReader::FromSettings();
  CDecodeDateiArray pages;
  pages.AddDatei(file.c_str());
  const bool paged = pages.m_arDateien.GetSize() > 1 || !pages.GetSkippedPages().empty();
  Options lineOptions = options;
  lineOptions.prefixFile |= paged;
  // A scan none of whose pages could be split is read as it is, for the reader to say why.
  const int entries = std::max(pages.m_arDateien.GetSize(), 1);
  for (int i = 0; i < entries; ++i) {
    const std::string name = Named(file, paged ? pages.GetPage(i) : -1);
    const CString path = pages.m_arDateien.IsEmpty() ? CString(file.c_str()) : pages.m_arDateien[i];
    CDecodeResultArray results;
    if (!reader.Read(path, results) && !CodeReader::LastReadError().empty()) {
      ReportError(report, name, CodeReader::LastReadError(), "cannot read ", options);
      continue;
    }
    report.found |= !results.IsEmpty();
    if (options.json) PrintJson(name, results, report.out);
    else PrintLines(name, results, lineOptions, report.out);
    if (results.IsEmpty() && !options.json) report.err << "codewerk decode: no code found in " << name << "\n";
  }
  for (const SkippedPages& skipped : pages.GetSkippedPages()) ReportError(report, file, Describe(skipped), "", options);
  return report;
}

// Settings give the defaults; options change them for this run only, nothing is saved.
bool ApplyOptions(CommandLine& line, Options& options, std::ostream& err) {
  CQRCodeKonfiguration& settings = GetQRCodeKonfiguration();
  if (!settings.GetLastLoadReason().empty())
    err << "codewerk: the settings file " << settings.GetStammdatenName().str() << " cannot be read ("
        << settings.GetLastLoadReason() << "); the defaults are in use\n";
  if (auto decoder = line.TakeValue("--decoder")) {
    if (*decoder == "zxing") settings.m_eDecoder = Decoder_ZXing;
    else if (*decoder == "zbar") settings.m_eDecoder = Decoder_ZBar;
    else if (*decoder == "both") settings.m_eDecoder = Decoder_ZXingZBar;
    else {
      err << "codewerk decode: unknown decoder '" << *decoder << "' (zxing, zbar or both)\n" << kDecodeUsage;
      return false;
    }
  }
  options.jobs = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 64u));
  if (auto jobs = line.TakeValue("--jobs")) {
    const std::optional<int> value = ParsePositive(*jobs);
    if (!value) {
      err << "codewerk decode: --jobs needs a whole number of at least 1, not '" << *jobs << "'\n" << kDecodeUsage;
      return false;
    }
    options.jobs = *value;
  }
  if (line.TakeFlag("--all-formats")) settings.m_bNurQRCodes = 0;
  options.points = line.TakeFlag("--points");
  options.json = line.TakeFlag("--json");
  if (line.TakeFlag("--null")) options.nameEnd = '\0';
  return true;
}

} // namespace

int RunDecodeCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
  CommandLine line(args);
  if (line.TakeFlag("--help")) {
    out << kDecodeUsage;
    return kExitFound;
  }
  if (line.TakeFlag("--version")) {
    out << "codewerk " << CODEWERK_VERSION << "\n";
    return kExitFound;
  }
  Options options;
  if (!ApplyOptions(line, options, err)) return kExitError;
  const std::vector<std::string> files = line.Rest();
  options.namesFromInput = files.size() == 1 && files[0] == "-";
  if (!line.Ok() || files.empty()) {
    err << "codewerk decode: " << (line.Ok() ? "no picture file given" : line.Error()) << "\n" << kDecodeUsage;
    return kExitError;
  }
  options.prefixFile = files.size() > 1 || options.namesFromInput;

  std::size_t nextFile = 0;
  auto next = [&]() -> std::optional<std::string> {
    if (!options.namesFromInput) return nextFile < files.size() ? std::optional(files[nextFile++]) : std::nullopt;
    for (std::string name; std::getline(in, name, options.nameEnd);)
      if (!name.empty()) return name;
    return std::nullopt;
  };
  bool found = false, failed = false;
  OrderedBatch<std::string, FileReport>::Run(
      options.jobs, next, [&](const std::string& file) { return DecodeFile(file, options); },
      [&](FileReport& report) {
        out << report.out.str() << std::flush;
        err << report.err.str();
        found |= report.found;
        failed |= report.failed;
      });
  return failed ? kExitError : found ? kExitFound : kExitNothing;
}
