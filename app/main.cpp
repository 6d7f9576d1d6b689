// codewerk: the host program. Subcommands do the system's work headless for scripts.
#include "DecodeCommand.h"
#include "EncodeCommand.h"
#include "MainDialogCommand.h"
#include "ReadCommand.h"

#include "outside/TempFiles.h"

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

namespace {

const char* const kUsage =
    "usage: codewerk                  (the main dialog)\n"
    "       codewerk encode [--encoder qrencode|zint] [--level L|M|Q|H] [--margin N]\n"
    "                       [--module PX | --height PX | --size-mm MM [--dpi N]] TEXT|- -o FILE.bmp|png|svg|pdf\n"
    "       codewerk decode [--decoder zxing|zbar] [--all-formats] [--points] [--json] [--jobs N] FILE...|-\n"
    "       codewerk read [--json] [--source \"2D Scanner\"|WebCam|Scanner|Datei]\n"
    "       codewerk --help | --version\n";

// Ended from outside, the program takes its temporary files along, then ends as the signal asks.
// The library leaves signals to its host; this program is the host.
void OnEndingSignal(int signal) {
  RemoveTempFolderOnSignal();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

void RemoveTempFilesOnEndingSignals() {
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    struct sigaction action {}, previous {};
    action.sa_handler = OnEndingSignal;
    sigemptyset(&action.sa_mask);
    if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue; // nohup and the like
    sigaction(signal, &action, nullptr);
  }
}

} // namespace

int main(int argc, char** argv) {
  RemoveTempFilesOnEndingSignals();
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return RunMainDialog(argc, argv, std::cerr);
  if (args[0] == "--help" || args[0] == "-h") {
    std::cout << kUsage;
    return 0;
  }
  if (args[0] == "--version") {
    std::cout << "codewerk " << CODEWERK_VERSION << "\n";
    return 0;
  }
  const std::string command = args[0];
  args.erase(args.begin());
  if (command == "encode") return RunEncodeCommand(args, std::cin, std::cout, std::cerr);
  if (command == "decode") return RunDecodeCommand(args, std::cin, std::cout, std::cerr);
  if (command == "read") return RunReadCommand(argc, argv, args, std::cout, std::cerr);
  std::cerr << "codewerk: unknown command '" << command << "'\n" << kUsage;
  return 2;
}
