// Host names in other letters in the ASCII form the name system uses.
#include "outside/HostNames.h"

#include <gtest/gtest.h>

TEST(HostNamesTest, PunycodeOfTheSampleStringsOfItsDefinition) {
  const std::pair<std::u32string, const char*> samples[] = {
      {U"\u0644\u064A\u0647\u0645\u0627\u0628\u062A\u0643\u0644\u0645\u0648\u0634\u0639\u0631\u0628\u064A\u061F",
       "egbpdaj6bu4bxfgehfvwxn"},
      {U"\u4ED6\u4EEC\u4E3A\u4EC0\u4E48\u4E0D\u8BF4\u4E2D\u6587", "ihqwcrb4cv8a8dqg056pqjye"},
      {U"\u4ED6\u5011\u7232\u4EC0\u9EBD\u4E0D\u8AAA\u4E2D\u6587", "ihqwctvzc91f659drss3x8bo0yb"},
      {U"Pro\u010Dprost\u011Bnemluv\u00ED\u010Desky", "Proprostnemluvesky-uyb24dma41a"},
      {U"3\u5E74B\u7D44\u91D1\u516B\u5148\u751F", "3B-ww4c5e180e575a65lsy2b"},
      {U"\u5B89\u5BA4\u5948\u7F8E\u6075-with-SUPER-MONKEYS", "-with-SUPER-MONKEYS-pc58ag80a8qai00g7n9n"},
      {U"\u30D1\u30D5\u30A3\u30FCde\u30EB\u30F3\u30D0", "de-jg4avhby1noc0d"},
      {U"-> $1.00 <-", "-> $1.00 <--"},
  };
  for (const auto& [unicode, punycode] : samples) {
    std::string encoded;
    EXPECT_TRUE(PunycodeEncode(unicode, encoded));
    EXPECT_EQ(encoded, punycode);
  }
  std::string encoded;
  EXPECT_FALSE(PunycodeEncode(std::u32string(U"\U0010FFFF") + std::u32string(5000, U'\u00FC'), encoded)); // overflow
  EXPECT_EQ(AsciiHostName("M\xC3\x9C" "NCHEN.De."), "xn--mnchen-3ya.de");
  for (const char* bad : {"a b.de", "x..de", "-x.de", "\xE2\x80\x8Bx.de", "x\xEF\xBC\x8F.de", "\xC3"})
    EXPECT_EQ(AsciiHostName(bad), "") << bad;
}
