#include "ProgramParts.h"

#include "outside/TempFiles.h"

#include <csignal>
#include <initializer_list>

const char* const kProgramUsage =
    "usage: codewerk                  (the main dialog)\n"
    "       codewerk encode [--encoder qrencode|zint] [--level L|M|Q|H] [--margin N]\n"
    "                       [--module PX | --height PX | --size-mm MM [--dpi N]] TEXT|- -o FILE.bmp|png|svg|pdf\n"
    "       codewerk decode [--decoder zxing|zbar|both] [--all-formats] [--points] [--json] [--jobs N] FILE...|-\n"
    "       codewerk read [--json] [--source \"2D Scanner\"|WebCam|Scanner|Datei|Bildschirm|Zwischenablage]\n"
    "       codewerk --help | --version\n";

namespace {

void OnEndingSignal(int signal) {
  RemoveTempFolderOnSignal();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

} // namespace

void RemoveTempFilesOnEndingSignals() {
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    struct sigaction action {}, previous {};
    action.sa_handler = OnEndingSignal;
    sigemptyset(&action.sa_mask);
    if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue; // nohup and the like
    sigaction(signal, &action, nullptr);
  }
}
