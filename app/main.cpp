// codewerk-main: what "codewerk" hands on — reading codes, and the windows. It loads the reading
// module on the first read and the dialog library when it shows a window.
#include "DecodeCommand.h"
#include "MainDialogCommand.h"
#include "ProgramParts.h"
#include "ReadCommand.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  RemoveTempFilesOnEndingSignals();
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return RunMainDialog(argc, argv, std::cerr);
  const std::string command = args[0];
  args.erase(args.begin());
  if (command == "decode") return RunDecodeCommand(args, std::cin, std::cout, std::cerr);
  if (command == "read") return RunReadCommand(argc, argv, args, std::cout, std::cerr);
  std::cerr << "codewerk: unknown command '" << command << "'\n" << kProgramUsage;
  return 2;
}
