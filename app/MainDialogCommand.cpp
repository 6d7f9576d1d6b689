#include "MainDialogCommand.h"

#include <dlfcn.h>

#include <ostream>

namespace {

// The dialog library lies beside the core library, where the program's run path finds it.
constexpr const char* kDialogLibrary = "libcodewerk.so.0";

} // namespace

int RunMainDialog(int argc, char** argv, std::ostream& err) {
  void* library = dlopen(kDialogLibrary, RTLD_NOW | RTLD_LOCAL);
  using Entry = int (*)(int, char**);
  const auto entry = library ? reinterpret_cast<Entry>(dlsym(library, "CodewerkRunMainDialog")) : nullptr;
  if (!entry) {
    const char* why = dlerror();
    err << "codewerk: the dialogs cannot be loaded: " << (why ? why : kDialogLibrary) << "\n";
    return 1;
  }
  // Not closed again: the toolkit it loaded keeps running code until the process ends.
  return entry(argc, argv);
}
