// Memory for whole pictures. A scanned page is tens of megabytes; taken from the system in huge
// pages where it offers them, it is ready in a few faults instead of thousands, which otherwise
// cost more than reading the page.
#pragma once

#include <cstddef>

// Small sizes come from the ordinary heap. Null when there is no memory. Not zeroed.
void* AllocatePixelMemory(std::size_t bytes);
// bytes as given when allocating.
void FreePixelMemory(void* memory, std::size_t bytes);
