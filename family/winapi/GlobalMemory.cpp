#include "outside/GlobalMemory.h"

#include "outside/PixelMemory.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace {

constexpr std::uint64_t kBlockMagic = 0x4B4C42474C424C47ull; // marks a live block
constexpr std::uint64_t kFreedMagic = 0x44454552462D2D2Dull;

// The payload follows the header directly; 32 bytes keep it 16-byte aligned.
struct alignas(16) BlockHeader {
  std::uint64_t magic;
  std::uint32_t size;
  std::uint32_t lockCount;
  std::uint64_t reserved;
};
static_assert(sizeof(BlockHeader) == 32);

// The block header records the size in 32 bits, as the bitmaps that travel in blocks do.
constexpr SIZE_T kMaxBlockSize = std::numeric_limits<std::uint32_t>::max() - sizeof(BlockHeader);

BlockHeader* AsBlock(HGLOBAL handle) {
  auto* block = static_cast<BlockHeader*>(handle);
  return (block && block->magic == kBlockMagic) ? block : nullptr;
}

} // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
  if (bytes > kMaxBlockSize) return nullptr;
  const SIZE_T total = sizeof(BlockHeader) + bytes;
  // Blocks mostly carry bitmaps, so they come from picture memory.
  void* memory = AllocatePixelMemory(total);
  if (!memory) return nullptr;
  if (flags & GMEM_ZEROINIT) std::memset(memory, 0, total);
  auto* block = static_cast<BlockHeader*>(memory);
  block->magic = kBlockMagic;
  block->size = static_cast<std::uint32_t>(bytes);
  block->lockCount = 0;
  return block;
}

void* GlobalLock(HGLOBAL handle) {
  BlockHeader* block = AsBlock(handle);
  if (!block) return nullptr;
  ++block->lockCount;
  return block + 1;
}

BOOL GlobalUnlock(HGLOBAL handle) {
  BlockHeader* block = AsBlock(handle);
  if (!block || block->lockCount == 0) return FALSE;
  return --block->lockCount != 0;
}

HGLOBAL GlobalFree(HGLOBAL handle) {
  BlockHeader* block = AsBlock(handle);
  if (!block) return handle;
  block->magic = kFreedMagic;
  FreePixelMemory(block, sizeof(BlockHeader) + block->size);
  return nullptr;
}

SIZE_T GlobalSize(HGLOBAL handle) {
  const BlockHeader* block = AsBlock(handle);
  return block ? block->size : 0;
}
