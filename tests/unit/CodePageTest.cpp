// Code-page conversion: UTF-8, Windows-1252 and the locale's code set as the ANSI code page.
#include "outside/CodePage.h"
#include "outside/TextServices.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring ToWide(UINT codePage, const std::string& bytes, DWORD flags = 0) {
  const int n = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (n <= 0) return L"<failed>";
  std::wstring wide(static_cast<size_t>(n), L'\0');
  EXPECT_EQ(MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n), n);
  return wide;
}

std::string ToBytes(UINT codePage, const std::wstring& wide, BOOL* usedDefault = nullptr) {
  const int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, usedDefault);
  if (n <= 0) return "<failed>";
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), n, nullptr, usedDefault);
  return bytes;
}

// Sets the ANSI code page for one test and restores the locale's afterwards.
struct AnsiCodePage {
  explicit AnsiCodePage(const char* name) { SetAnsiCodeSetName(name); }
  ~AnsiCodePage() { SetAnsiCodeSetName(nullptr); }
};

} // namespace

TEST(CodePageTest, Utf8RoundTripsEveryPlane) {
  const std::string text = "A\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80"; // A ä € 😀
  const std::wstring wide = ToWide(CP_UTF8, text);
  EXPECT_EQ(wide, (std::wstring{L'A', 0xE4, 0x20AC, static_cast<wchar_t>(0x1F600)}));
  EXPECT_EQ(ToBytes(CP_UTF8, wide), text);
}

TEST(CodePageTest, Windows1252MapsItsOwnBytes) {
  EXPECT_EQ(ToWide(1252, "\xE4\x80"), (std::wstring{0xE4, 0x20AC}));
  EXPECT_EQ(ToBytes(1252, std::wstring{0xE4, 0x20AC}), "\xE4\x80");
  BOOL usedDefault = FALSE;
  EXPECT_EQ(ToBytes(1252, std::wstring{L'a', static_cast<wchar_t>(0x1F600)}, &usedDefault), "a?");
  EXPECT_TRUE(usedDefault);
}

TEST(CodePageTest, MinusOneLengthConvertsAndCountsTheTerminator) {
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "ab", -1, nullptr, 0), 3);
  WCHAR out[3] = {L'x', L'x', L'x'};
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "ab", -1, out, 3), 3);
  EXPECT_EQ(out[2], L'\0');
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"\u00e4", -1, nullptr, 0, nullptr, nullptr), 3);
}

TEST(CodePageTest, FailuresReturnZero) {
  WCHAR small[1];
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, small, 1), 0);         // destination too small
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 0, nullptr, 0), 0);       // nothing to convert
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, nullptr, -1, nullptr, 0), 0);
  EXPECT_EQ(MultiByteToWideChar(99999, 0, "abc", 3, nullptr, 0), 0);         // unknown code page
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xFF", 2, nullptr, 0), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xC0\xAF", 2, nullptr, 0), 0); // overlong '/'
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xED\xA0\x80", 3, nullptr, 0), 0); // surrogate
}

TEST(CodePageTest, InvalidBytesBecomeReplacementCharactersWithoutTheStrictFlag) {
  EXPECT_EQ(ToWide(CP_UTF8, "a\xFF" "b\xE2\x82"), (std::wstring{L'a', 0xFFFD, L'b', 0xFFFD, 0xFFFD}));
}

TEST(CodePageTest, Utf8Validation) {
  EXPECT_TRUE(IsValidUTF8("", 0));
  EXPECT_TRUE(IsValidUTF8("Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80", 12));
  EXPECT_FALSE(IsValidUTF8("Gr\xFC\xDF" "e", 5));       // Latin-1
  EXPECT_FALSE(IsValidUTF8("\xF4\x90\x80\x80", 4));     // above U+10FFFF
  EXPECT_FALSE(IsValidUTF8("\xE2\x82", 2));             // cut short
}

TEST(CodePageTest, AnsiCodePageDecidesWhatGetAsUTF8StringConverts) {
  {
    AnsiCodePage cp("CP1252");
    EXPECT_EQ(GetAsUTF8String("\xE4 \x80"), "\xC3\xA4 \xE2\x82\xAC");
    EXPECT_EQ(GetAsUTF8String("plain"), "plain");
  }
  {
    AnsiCodePage cp("UTF-8");
    EXPECT_EQ(GetAsUTF8String("\xC3\xA4"), "\xC3\xA4");
    EXPECT_EQ(GetAsUTF8String("\xE4"), "\xEF\xBF\xBD"); // not UTF-8: replaced, as the conversion does
  }
  EXPECT_STRNE(GetAnsiCodeSetName(), "ANSI_X3.4-1968"); // an unset locale counts as UTF-8
}
