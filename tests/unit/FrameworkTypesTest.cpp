// CString and CArray: the behaviour the system's code leans on.
#include "outside/CArray.h"
#include "outside/CString.h"
#include "outside/TextServices.h"

#include <gtest/gtest.h>

TEST(CStringTest, ReplaceCountsAndHandlesGrowingAndShrinking) {
  CString text("a\r\nb\r\n\r\nc");
  EXPECT_EQ(text.Replace("\r\n", "\n"), 3);
  EXPECT_EQ(text, "a\nb\n\nc");
  EXPECT_EQ(text.Replace("\n", "\r\n"), 3);
  EXPECT_EQ(text, "a\r\nb\r\n\r\nc");
  EXPECT_EQ(text.Replace("", "x"), 0);
  EXPECT_EQ(text.Replace("zz", "x"), 0);
  EXPECT_EQ(text, "a\r\nb\r\n\r\nc");
}

TEST(CStringTest, SlicingClampsInsteadOfOverrunning) {
  const CString text("Grüße");
  EXPECT_EQ(text.GetLength(), 7); // bytes, not characters
  EXPECT_EQ(text.Left(2), "Gr");
  EXPECT_EQ(text.Left(99), text);
  EXPECT_EQ(text.Right(3), "\xC3\x9F" "e");
  EXPECT_EQ(text.Mid(6), "e");
  EXPECT_EQ(text.Mid(-3, 2), "Gr");
  EXPECT_EQ(text.Mid(50), "");
  EXPECT_EQ(text.Find("ß"), 4);
  EXPECT_EQ(text.Find("x"), -1);
  EXPECT_EQ(text.Find('r', 99), -1);
  EXPECT_THROW(text.GetAt(7), std::invalid_argument);
}

TEST(CStringTest, FormatAndCaseRules) {
  CString text;
  text.Format("%d x %d", 25, -3);
  EXPECT_EQ(text, "25 x -3");
  text.AppendFormat(" %s", "mm");
  EXPECT_EQ(text, "25 x -3 mm");
  EXPECT_EQ(GetFormatedString("%d mm\n%s-Bibliothek", 0, "ZInt"), "0 mm\nZInt-Bibliothek");
  EXPECT_EQ(CString("WWW.x.DE").CompareNoCase("www.X.de"), 0);
  EXPECT_LT(CString("abc").CompareNoCase("abd"), 0);
  EXPECT_EQ(CString("  a b \n").Trim(), "a b");
}

TEST(StristrTest, IgnoresCaseOnlyWhenAsked) {
  const char* line = "Siehe WWW.Example.de";
  EXPECT_STREQ(stristr(line, "www.", true), "WWW.Example.de");
  EXPECT_EQ(stristr(line, "www.", false), nullptr);
  EXPECT_EQ(stristr("https://x.de", "http://", true), nullptr);
  EXPECT_EQ(stristr(nullptr, "a", true), nullptr);
}

TEST(CArrayTest, IndexOutsideThrowsAndEditsKeepOrder) {
  CArray<int> numbers;
  for (int i = 0; i < 5; ++i) numbers.Add(i);
  numbers.RemoveAt(1, 2);
  numbers.InsertAt(0, 9);
  ASSERT_EQ(numbers.GetSize(), 4);
  EXPECT_EQ(numbers[0], 9);
  EXPECT_EQ(numbers[1], 0);
  EXPECT_EQ(numbers[3], 4);
  EXPECT_THROW(numbers.GetAt(4), std::invalid_argument);
  EXPECT_THROW(numbers.GetAt(-1), std::invalid_argument);
  EXPECT_THROW(numbers.RemoveAt(3, 2), std::invalid_argument);
  EXPECT_THROW(numbers.InsertAt(6, 1), std::invalid_argument);
  EXPECT_THROW(numbers.SetSize(-1), std::invalid_argument);
  numbers.SetSize(2);
  EXPECT_EQ(numbers.GetSize(), 2);
}
