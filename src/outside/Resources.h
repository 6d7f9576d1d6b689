// Dialog templates: libraries register a loader for their XRC resources when they are loaded;
// the framework runs every loader once, when the first window is made from a template.
#pragma once

#include <functional>

void AddResourceLoader(std::function<void()> loader);
// Makes sure every registered template can be found; called before a template is used.
void EnsureResourcesLoaded();
