#include "outside/Resources.h"

#include "outside/MessageBox.h"

#include <wx/xrc/xmlres.h>

#include <mutex>
#include <vector>

void InstallWxMessageBox();

namespace {

std::mutex g_mutex;
std::vector<std::function<void()>> g_loaders;
size_t g_loaded = 0;

} // namespace

void AddResourceLoader(std::function<void()> loader) {
  std::lock_guard lock(g_mutex);
  g_loaders.push_back(std::move(loader));
}

void EnsureResourcesLoaded() {
  std::vector<std::function<void()>> pending;
  {
    std::lock_guard lock(g_mutex);
    if (g_loaded == 0) {
      wxXmlResource::Get()->InitAllHandlers();
      InstallWxMessageBox();
    }
    pending.assign(g_loaders.begin() + static_cast<long>(g_loaded), g_loaders.end());
    g_loaded = g_loaders.size();
  }
  for (auto& load : pending) load();
}
