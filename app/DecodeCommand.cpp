#include "DecodeCommand.h"

#include "CommandLine.h"
#include "JsonText.h"

#include "config/QRCodeKonfiguration.h"
#include "decode/SubDlgDecode.h"
#include "outside/ImageFile.h"
#include "sources/DecodeDateiArray.h"

#include <algorithm>
#include <memory>
#include <ostream>

const char* const kDecodeUsage =
    "usage: codewerk decode [--decoder zxing|zbar] [--all-formats] [--points] [--json] FILE...\n"
    "  Prints one line per code found: \"symbology: text\", line breaks in the text shown as \\n\n"
    "  (and a backslash as \\\\); with several files each line starts with \"FILE: \".\n"
    "  --decoder      the reading library (default: the settings' choice)\n"
    "  --all-formats  look for every symbology, not only QR codes (default: the settings' choice)\n"
    "  --points       add the code's corners: top-left, top-right, bottom-right, bottom-left\n"
    "  --json         one JSON object per file: {\"file\", \"results\": [{\"text\", \"symbology\", \"points\"}]}\n"
    "                 or {\"file\", \"error\"}\n"
    "  Exit status: 0 something found, 1 nothing found, 2 an error (unreadable file, bad options).\n";

namespace {

constexpr int kExitFound = 0;
constexpr int kExitNothing = 1;
constexpr int kExitError = 2;

struct Options {
  bool points = false;
  bool json = false;
  bool prefixFile = false;
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
  for (int i = 0; i < results.GetSize(); ++i) {
    const CSubDlgDecodeResult* result = results[i];
    out << (i ? "," : "") << "{\"text\":" << JsonQuoted(result->m_strText.str())
        << ",\"symbology\":" << JsonQuoted(result->m_strSymbol.str()) << ",\"points\":[";
    for (int p = 0; p < result->m_arPoints.GetSize(); ++p)
      out << (p ? "," : "") << "[" << result->m_arPoints[p].x << "," << result->m_arPoints[p].y << "]";
    out << "]}";
  }
  out << "]}\n";
}

std::string Named(const std::string& file, int page) {
  return page < 0 ? file : file + " (page " + std::to_string(page + 1) + ")";
}

void PrintError(const std::string& file, const std::string& why, const char* verb, const Options& options,
                std::ostream& out, std::ostream& err) {
  if (options.json) out << "{\"file\":" << JsonQuoted(file) << ",\"error\":" << JsonQuoted(why) << "}\n";
  err << "codewerk decode: " << verb << file << ": " << why << "\n";
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

struct FileOutcome {
  bool found = false, failed = false;
};

// One file, read once: a multi-page scan page by page, each page's results marked with its number.
FileOutcome DecodeFile(CSubDlgDecode& decoder, const std::string& file, const Options& options, std::ostream& out,
                       std::ostream& err) {
  FileOutcome outcome;
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
    if (!decoder.GetDecodedImageText(path, results, T_DecodeImageSource_Datei) &&
        !LastImageFileError().empty()) {
      outcome.failed = true;
      PrintError(name, LastImageFileError(), "cannot read ", options, out, err);
      continue;
    }
    outcome.found |= !results.IsEmpty();
    if (options.json) PrintJson(name, results, out);
    else PrintLines(name, results, lineOptions, out);
    if (results.IsEmpty() && !options.json) err << "codewerk decode: no code found in " << name << "\n";
  }
  for (const SkippedPages& skipped : pages.GetSkippedPages()) {
    outcome.failed = true;
    PrintError(file, Describe(skipped), "", options, out, err);
  }
  return outcome;
}

// Settings give the defaults; options change them for this run only, nothing is saved.
bool ApplyOptions(CommandLine& line, Options& options, std::ostream& err) {
  CQRCodeKonfiguration& settings = GetQRCodeKonfiguration();
  if (auto decoder = line.TakeValue("--decoder")) {
    if (*decoder == "zxing") settings.m_eDecoder = Decoder_ZXing;
    else if (*decoder == "zbar") settings.m_eDecoder = Decoder_ZBar;
    else {
      err << "codewerk decode: unknown decoder '" << *decoder << "' (zxing or zbar)\n" << kDecodeUsage;
      return false;
    }
  }
  if (line.TakeFlag("--all-formats")) settings.m_bNurQRCodes = 0;
  options.points = line.TakeFlag("--points");
  options.json = line.TakeFlag("--json");
  return true;
}

} // namespace

int RunDecodeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CommandLine line(args);
  if (line.TakeFlag("--help")) {
    out << kDecodeUsage;
    return kExitFound;
  }
  Options options;
  if (!ApplyOptions(line, options, err)) return kExitError;
  const std::vector<std::string> files = line.Rest();
  if (!line.Ok() || files.empty()) {
    err << "codewerk decode: " << (line.Ok() ? "no picture file given" : line.Error()) << "\n" << kDecodeUsage;
    return kExitError;
  }
  options.prefixFile = files.size() > 1;

  std::unique_ptr<CSubDlgDecode> decoder(CreateCurrentDecoder());
  bool found = false, failed = false;
  for (const std::string& file : files) {
    const FileOutcome outcome = DecodeFile(*decoder, file, options, out, err);
    found |= outcome.found;
    failed |= outcome.failed;
  }
  return failed ? kExitError : found ? kExitFound : kExitNothing;
}
