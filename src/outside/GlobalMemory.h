// Movable global memory blocks: the form in which bitmaps pass between the system and its hosts.
#pragma once

#include "WinTypes.h"

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// Returns null when the block cannot be allocated or its size does not fit the 32-bit size
// of the block header; a size is never wrapped.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
// Returns the block's memory, or null for a null or foreign handle. Locks nest.
void* GlobalLock(HGLOBAL block);
// Returns whether the block is still locked afterwards.
BOOL GlobalUnlock(HGLOBAL block);
// Returns null on success, the handle itself when it was not a block.
HGLOBAL GlobalFree(HGLOBAL block);
// The usable size in bytes, 0 for a null or foreign handle.
SIZE_T GlobalSize(HGLOBAL block);
