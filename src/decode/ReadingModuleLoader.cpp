#include "outside/ReadingModule.h"

#include <dlfcn.h>

#include <mutex>

// Where everything is linked into one program (tests, benchmarks), the module is already there.
extern "C" __attribute__((weak)) const ReadingModule* CodewerkReadingModule();

namespace {

constexpr const char* kModuleName = "libcodewerk-reading.so.0";

// The module beside this library, or by name where the library's run path finds it.
void* OpenModule(std::string& error) {
  Dl_info self{};
  if (dladdr(reinterpret_cast<void*>(&GetReadingModule), &self) && self.dli_fname) {
    std::string path = self.dli_fname;
    path = path.substr(0, path.rfind('/') + 1) + kModuleName;
    if (void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) return module;
  }
  if (void* module = dlopen(kModuleName, RTLD_NOW | RTLD_LOCAL)) return module;
  const char* why = dlerror();
  error = std::string("the reading module cannot be loaded: ") + (why ? why : kModuleName);
  return nullptr;
}

const ReadingModule* Load(std::string& error) {
  if (CodewerkReadingModule) return CodewerkReadingModule();
  void* module = OpenModule(error); // kept open: its code runs until the process ends
  using Entry = const ReadingModule* (*)();
  const auto entry = module ? reinterpret_cast<Entry>(dlsym(module, "CodewerkReadingModule")) : nullptr;
  if (module && !entry) error = std::string("the reading module has no entry: ") + kModuleName;
  return entry ? entry() : nullptr;
}

} // namespace

const ReadingModule* GetReadingModule(std::string* error) {
  static std::string why;
  static const ReadingModule* const module = Load(why);
  if (!module && error) *error = why;
  return module;
}
