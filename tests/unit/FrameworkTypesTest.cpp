// CString, CArray and global memory blocks: the behaviour the system's code leans on.
#include "outside/CArray.h"
#include "outside/CString.h"
#include "outside/GlobalMemory.h"
#include "outside/TextServices.h"

#include <gtest/gtest.h>

#include <algorithm>
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
  CString format;
  format.Format("%d x %d", 25, -3);
  format.AppendFormat(" %s", "mm");
  const std::pair<CString, const char*> texts[] = {
      {word.Left(2), "Gr"}, {word.Left(99), "Grüße"}, {word.Right(3), "\xC3\x9F" "e"}, {word.Mid(6), "e"}, {word.Mid(-3, 2), "Gr"},
      {word.Mid(50), ""}, {format, "25 x -3 mm"}, {GetFormatedString("%d mm\n%s-Bibliothek", 0, "ZInt"), "0 mm\nZInt-Bibliothek"},
      {CString("  a b \n").Trim(), "a b"}};
  for (const auto& [text, expected] : texts) EXPECT_EQ(text, expected);
  EXPECT_EQ(std::vector<int>({word.GetLength(), word.Find("ß"), word.Find('r', 99), CString("WWW.x.DE").CompareNoCase("www.X.de"),
                              CString("abc").CompareNoCase("abd") < 0}), std::vector<int>({7, 4, -1, 0, 1}));
  EXPECT_THROW(word.GetAt(7), std::invalid_argument);
  EXPECT_STREQ(stristr("Siehe WWW.Example.de", "www.", true), "WWW.Example.de");
  EXPECT_FALSE(stristr("Siehe WWW.Example.de", "www.", false) || stristr("https://x.de", "http://", true) || stristr(nullptr, "a", true));

  CArray<int> numbers;
  for (int i = 0; i < 5; ++i) numbers.Add(i);
  numbers.RemoveAt(1, 2), numbers.InsertAt(0, 9);
  EXPECT_EQ(std::vector<int>(numbers.begin(), numbers.end()), std::vector<int>({9, 0, 3, 4}));
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
    ASSERT_TRUE(block && GlobalSize(block) == bytes) << bytes;
    auto* data = static_cast<unsigned char*>(GlobalLock(block));
    ASSERT_TRUE(data && std::all_of(data, data + bytes, [](unsigned char b) { return b == 0; })) << bytes;
    std::memset(data, 0x5A, bytes);
    EXPECT_EQ(GlobalLock(block), data) << bytes;
    // Still locked once, then unlocked; unlocking an unlocked block is harmless.
    EXPECT_EQ(std::vector<BOOL>({GlobalUnlock(block), GlobalUnlock(block), GlobalUnlock(block)}), std::vector<BOOL>({TRUE, FALSE, FALSE}));
    if (bytes) { EXPECT_EQ(static_cast<unsigned char*>(GlobalLock(block))[bytes - 1], 0x5A); }
    GlobalUnlock(block);
    EXPECT_EQ(GlobalFree(block), nullptr);
  }
  // 2^32 + 16 would wrap to a 16-byte block in 32-bit arithmetic.
  for (SIZE_T bytes : {(SIZE_T{1} << 32) + 16, std::numeric_limits<SIZE_T>::max(), std::numeric_limits<SIZE_T>::max() - 8})
    EXPECT_EQ(GlobalAlloc(GHND, bytes), nullptr) << bytes;
  alignas(16) unsigned char notABlock[64] = {};
  for (HGLOBAL foreign : {HGLOBAL{nullptr}, static_cast<HGLOBAL>(notABlock)})
    EXPECT_TRUE(!GlobalLock(foreign) && !GlobalSize(foreign) && GlobalFree(foreign) == foreign) << foreign;
}
