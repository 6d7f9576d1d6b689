// Global memory blocks: zero-filled, nested locks, and sizes that must be refused, not wrapped.
#include "outside/GlobalMemory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

TEST(GlobalMemoryTest, ZeroInitialisedMovableBlockKeepsItsSizeAndContent) {
  HGLOBAL block = GlobalAlloc(GHND, 1000);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalSize(block), 1000u);
  auto* bytes = static_cast<unsigned char*>(GlobalLock(block));
  ASSERT_NE(bytes, nullptr);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(bytes[i], 0) << i;
  std::memset(bytes, 0xAB, 1000);
  EXPECT_EQ(GlobalLock(block), bytes); // locks nest and see the same memory
  EXPECT_TRUE(GlobalUnlock(block));    // still locked once
  EXPECT_FALSE(GlobalUnlock(block));
  EXPECT_FALSE(GlobalUnlock(block));   // unlocking an unlocked block is harmless
  EXPECT_EQ(static_cast<unsigned char*>(GlobalLock(block))[999], 0xAB);
  GlobalUnlock(block);
  EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(GlobalMemoryTest, EmptyBlockIsValid) {
  HGLOBAL block = GlobalAlloc(GHND, 0);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalSize(block), 0u);
  EXPECT_NE(GlobalLock(block), nullptr);
  GlobalUnlock(block);
  GlobalFree(block);
}

TEST(GlobalMemoryTest, SizesBeyondThirtyTwoBitsAreRefusedNotWrapped) {
  // 2^32 + 16 would wrap to a 16-byte block in 32-bit arithmetic.
  EXPECT_EQ(GlobalAlloc(GHND, (SIZE_T{1} << 32) + 16), nullptr);
  EXPECT_EQ(GlobalAlloc(GHND, std::numeric_limits<SIZE_T>::max()), nullptr);
  EXPECT_EQ(GlobalAlloc(GHND, std::numeric_limits<SIZE_T>::max() - 8), nullptr);
}

TEST(GlobalMemoryTest, NullAndForeignHandlesAreRejected) {
  EXPECT_EQ(GlobalLock(nullptr), nullptr);
  EXPECT_EQ(GlobalSize(nullptr), 0u);
  EXPECT_EQ(GlobalFree(nullptr), nullptr);
  alignas(16) unsigned char notABlock[64] = {};
  EXPECT_EQ(GlobalLock(notABlock), nullptr);
  EXPECT_EQ(GlobalSize(notABlock), 0u);
  EXPECT_EQ(GlobalFree(notABlock), static_cast<HGLOBAL>(notABlock));
}

// Blocks of a scanned page's size come from another source than small ones: each must be usable
// to its last byte and zeroed when asked, on either side of the border.
TEST(GlobalMemoryTest, LargeBlocksAreWholeAndZeroedOnBothSidesOfTheBorder) {
  for (SIZE_T bytes : {SIZE_T{(4u << 20) - 33}, SIZE_T{(4u << 20) - 32}, SIZE_T{(4u << 20) + 1}, SIZE_T{(26u << 20) + 3}}) {
    HGLOBAL block = GlobalAlloc(GHND, bytes);
    ASSERT_NE(block, nullptr) << bytes;
    auto* data = static_cast<unsigned char*>(GlobalLock(block));
    for (SIZE_T at : {SIZE_T{0}, bytes / 2, bytes - 1}) ASSERT_EQ(data[at], 0) << bytes << " at " << at;
    std::memset(data, 0x5A, bytes);
    GlobalUnlock(block);
    EXPECT_EQ(GlobalSize(block), bytes);
    EXPECT_EQ(GlobalFree(block), nullptr);
  }
}
