// What happens when a program loads the core library: temporary folders that killed processes
// left behind are swept away.
#include "outside/TempFiles.h"

namespace {

struct CoreModuleEntry {
  CoreModuleEntry() { SweepAbandonedTempFolders(); }
};

const CoreModuleEntry g_coreModuleEntry;

} // namespace
