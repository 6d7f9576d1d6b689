#include "MainDialogCommand.h"

#include <dlfcn.h>

#include <ostream>

namespace {

// The dialog library lies beside the core library, where the program's run path finds it.
constexpr const char* kDialogLibrary = "libcodewerk.so.0";

} // namespace

void* DialogLibraryEntry(const char* name, std::ostream& err) {
  // Not closed again: the toolkit it loads keeps running code until the process ends.
  void* library = dlopen(kDialogLibrary, RTLD_NOW | RTLD_LOCAL);
  void* entry = library ? dlsym(library, name) : nullptr;
  if (!entry) {
    const char* why = dlerror();
    err << "codewerk: the dialogs cannot be loaded: " << (why ? why : kDialogLibrary) << "\n";
  }
  return entry;
}

int RunMainDialog(int argc, char** argv, std::ostream& err) {
  using Entry = int (*)(int, char**);
  const auto entry = reinterpret_cast<Entry>(DialogLibraryEntry("CodewerkRunMainDialog", err));
  return entry ? entry(argc, argv) : 1;
}
