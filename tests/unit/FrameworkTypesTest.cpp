// CString, CArray and global memory blocks: the behaviour the system's code leans on.
#include "outside/CArray.h"
#include "outside/CString.h"
#include "outside/GlobalMemory.h"
#include "outside/TextServices.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

// Texts and arrays never overrun: slices clamp, an index outside throws; edits keep order.
TEST(CStringTest, TextsAndArraysReplaceSliceAndCompareWithoutOverrunning) {
  CString text("a\r\nb\r\n\r\nc");
  EXPECT_EQ(text.Replace("\r\n", "\n"), 3);
  EXPECT_EQ(text, "a\nb\n\nc");
  EXPECT_EQ(text.Replace("\n", "\r\n"), 3);
  EXPECT_EQ(text.Replace("", "x") + text.Replace("zz", "x"), 0);
  EXPECT_EQ(text, "a\r\nb\r\n\r\nc");

  const CString word("Grüße"); // 7 bytes
  const std::pair<CString, const char*> slices[] = {{word.Left(2), "Gr"}, {word.Left(99), "Grüße"}, {word.Right(3), "\xC3\x9F" "e"},
                                                    {word.Mid(6), "e"}, {word.Mid(-3, 2), "Gr"}, {word.Mid(50), ""}};
  for (const auto& [slice, expected] : slices) EXPECT_EQ(slice, expected);
  EXPECT_EQ(word.GetLength(), 7);
  EXPECT_EQ(word.Find("ß"), 4);
  EXPECT_EQ(word.Find('r', 99), -1);
  EXPECT_THROW(word.GetAt(7), std::invalid_argument);

  text.Format("%d x %d", 25, -3);
  text.AppendFormat(" %s", "mm");
  EXPECT_EQ(text, "25 x -3 mm");
  EXPECT_EQ(GetFormatedString("%d mm\n%s-Bibliothek", 0, "ZInt"), "0 mm\nZInt-Bibliothek");
  EXPECT_EQ(CString("WWW.x.DE").CompareNoCase("www.X.de"), 0);
  EXPECT_LT(CString("abc").CompareNoCase("abd"), 0);
  EXPECT_EQ(CString("  a b \n").Trim(), "a b");
  EXPECT_STREQ(stristr("Siehe WWW.Example.de", "www.", true), "WWW.Example.de");
  EXPECT_EQ(stristr("Siehe WWW.Example.de", "www.", false), nullptr);
  EXPECT_EQ(stristr("https://x.de", "http://", true), nullptr);
  EXPECT_EQ(stristr(nullptr, "a", true), nullptr);

  CArray<int> numbers;
  for (int i = 0; i < 5; ++i) numbers.Add(i);
  numbers.RemoveAt(1, 2);
  numbers.InsertAt(0, 9);
  ASSERT_EQ(numbers.GetSize(), 4);
  EXPECT_EQ(std::vector<int>({numbers[0], numbers[1], numbers[2], numbers[3]}), std::vector<int>({9, 0, 3, 4}));
  EXPECT_THROW(numbers.GetAt(4), std::invalid_argument);
  EXPECT_THROW(numbers.GetAt(-1), std::invalid_argument);
  EXPECT_THROW(numbers.RemoveAt(3, 2), std::invalid_argument);
  EXPECT_THROW(numbers.InsertAt(6, 1), std::invalid_argument);
  EXPECT_THROW(numbers.SetSize(-1), std::invalid_argument);
  numbers.SetSize(2);
  EXPECT_EQ(numbers.GetSize(), 2);
}

// Blocks of a scanned page's size come from another source than small ones: each must be usable
// to its last byte and zeroed, on either side of the border. Locks nest and see the same memory.
TEST(GlobalMemoryTest, BlocksAreWholeZeroedAndNestLocksAndWrappingSizesAndForeignHandlesAreRefused) {
  for (SIZE_T bytes : std::initializer_list<SIZE_T>{0, 1000, (4u << 20) - 33, (4u << 20) - 32, (4u << 20) + 1, (26u << 20) + 3}) {
    HGLOBAL block = GlobalAlloc(GHND, bytes);
    ASSERT_NE(block, nullptr) << bytes;
    EXPECT_EQ(GlobalSize(block), bytes);
    auto* data = static_cast<unsigned char*>(GlobalLock(block));
    ASSERT_NE(data, nullptr);
    for (SIZE_T at : {SIZE_T{0}, bytes / 2, bytes - 1})
      if (at < bytes) { ASSERT_EQ(data[at], 0) << bytes << " at " << at; }
    std::memset(data, 0x5A, bytes);
    EXPECT_EQ(GlobalLock(block), data) << bytes;
    EXPECT_TRUE(GlobalUnlock(block)); // still locked once
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_FALSE(GlobalUnlock(block)); // unlocking an unlocked block is harmless
    if (bytes) { EXPECT_EQ(static_cast<unsigned char*>(GlobalLock(block))[bytes - 1], 0x5A); }
    GlobalUnlock(block);
    EXPECT_EQ(GlobalFree(block), nullptr);
  }
  // 2^32 + 16 would wrap to a 16-byte block in 32-bit arithmetic.
  for (SIZE_T bytes : {(SIZE_T{1} << 32) + 16, std::numeric_limits<SIZE_T>::max(), std::numeric_limits<SIZE_T>::max() - 8})
    EXPECT_EQ(GlobalAlloc(GHND, bytes), nullptr) << bytes;
  EXPECT_EQ(GlobalLock(nullptr), nullptr);
  EXPECT_EQ(GlobalSize(nullptr), 0u);
  EXPECT_EQ(GlobalFree(nullptr), nullptr);
  alignas(16) unsigned char notABlock[64] = {};
  EXPECT_EQ(GlobalLock(notABlock), nullptr);
  EXPECT_EQ(GlobalSize(notABlock), 0u);
  EXPECT_EQ(GlobalFree(notABlock), static_cast<HGLOBAL>(notABlock));
}
