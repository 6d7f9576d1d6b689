#include "outside/PixelMemory.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kLarge = 2 * kHugePage; // below this the heap serves as well

std::size_t MappedBytes(std::size_t bytes) { return (bytes + kHugePage - 1) & ~(kHugePage - 1); }

// A mapping aligned to the huge page size, so that all of it can be served in huge pages.
void* MapAligned(std::size_t bytes) {
  const std::size_t padded = bytes + kHugePage;
  void* raw = mmap(nullptr, padded, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
  if (aligned > start) munmap(raw, aligned - start);
  const std::uintptr_t end = start + padded;
  if (end > aligned + bytes) munmap(reinterpret_cast<void*>(aligned + bytes), end - aligned - bytes);
  return reinterpret_cast<void*>(aligned);
}

} // namespace

void* AllocatePixelMemory(std::size_t bytes) {
  if (bytes < kLarge) return std::malloc(bytes ? bytes : 1);
  if (bytes > SIZE_MAX - 2 * kHugePage) return nullptr;
  void* memory = MapAligned(MappedBytes(bytes));
  if (memory) madvise(memory, MappedBytes(bytes), MADV_HUGEPAGE); // a hint: without it, small pages
  return memory;
}

void FreePixelMemory(void* memory, std::size_t bytes) {
  if (!memory) return;
  if (bytes < kLarge) std::free(memory);
  else munmap(memory, MappedBytes(bytes));
}
