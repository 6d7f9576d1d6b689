// codewerk: the program scripts call. It creates codes itself, with the core built in and no C++
// runtime to load, so "codewerk encode" starts about as fast as the encoder alone; everything else
// it hands to codewerk-main, which brings the reading module and the windows.
#include "EncodeCommand.h"
#include "ProgramParts.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// codewerk-main lies where the installation puts it, seen from this program's folder; never from
// the current folder.
std::string MainProgramPath() {
  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return {};
  const std::string path(self, static_cast<std::size_t>(length));
  return path.substr(0, path.rfind('/') + 1) + CODEWERK_MAIN_FROM_BIN;
}

int StartMainProgram(char** argv) {
  const std::string path = MainProgramPath();
  if (path.empty()) {
    std::fputs("codewerk: cannot find where this program lies (/proc/self/exe)\n", stderr);
    return 2;
  }
  execv(path.c_str(), argv);
  std::fprintf(stderr, "codewerk: cannot start %s: %s\n", path.c_str(), std::strerror(errno));
  return 2;
}

} // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "--help" || command == "-h") return std::fputs(kProgramUsage, stdout) < 0;
  if (command == "--version") return std::printf("codewerk %s\n", CODEWERK_VERSION) < 0;
  if (command != "encode") return StartMainProgram(argv);
  RemoveTempFilesOnEndingSignals();
  return RunEncodeCommand(std::vector<std::string>(argv + 2, argv + argc), stdin, stdout, stderr);
}
