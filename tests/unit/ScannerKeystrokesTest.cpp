// The keys of a scanner's bursts become texts, whatever their numbers; a key that comes alone is a
// person's and goes back to the window.
#include "sources/ScannerKeystrokes.h"

#include <gtest/gtest.h>

namespace {

using Kind = ScannerKey::Kind;

// A burst written as text: "\n" Enter, "\t" Tab, "\x1b" Escape (a navigation key), "^" Shift.
std::vector<ScannerKey> Burst(const std::string& typed) {
  std::vector<ScannerKey> keys;
  for (char c : typed) {
    if (c == '\n') keys.push_back({Kind::End, "", 13});
    else if (c == '\t') keys.push_back({Kind::Tab, "", 9});
    else if (c == '\x1b') keys.push_back({Kind::Other, "", 27});
    else if (c == '^') keys.push_back({Kind::Modifier, "", 306});
    else keys.push_back({Kind::Text, std::string(1, c), c});
  }
  return keys;
}

} // namespace

TEST(ScannerKeystrokesTest, BurstsBecomeTextsLoneKeysGoBackToTheWindow) {
  struct Case {
    std::vector<std::string> bursts; // each followed by the idle period
    std::vector<std::string> texts;
    std::vector<int> keysForWindow;
  };
  const Case cases[] = {
      {{"a(b c)d [e]\n"}, {"a(b c)d [e]"}, {}},   // '(' and blanks are text, not end keys
      {{"abc\n  "}, {"abc"}, {}},                   // blanks after the end key are padding
      {{"abc\ndef\n"}, {"abc", "def"}, {}},        // two codes in one burst, in order
      {{"a\tb\t"}, {"a\tb"}, {}},                   // a tab inside is text, a trailing one ends
      {{"ab\x1b" "c"}, {"abc"}, {}},                // a navigation key inside a burst is the scanner's
      {{"\t", "^\t", "\x1b", "x"}, {}, {9, 9, 27, 'x'}}, // alone, even after a modifier: the window's
      {{"abc", "def\n"}, {"abc", "def"}, {}},      // an idle period ends a text too
  };
  for (const Case& c : cases) {
    ScannerKeystrokes keystrokes;
    std::vector<std::string> texts;
    std::vector<int> forWindow;
    for (const std::string& burst : c.bursts) {
      for (const ScannerKey& key : Burst(burst)) EXPECT_EQ(keystrokes.Press(key), key.kind != Kind::Modifier) << burst;
      ScannerKeystrokes::Idle idle = keystrokes.OnIdle();
      texts.insert(texts.end(), idle.texts.begin(), idle.texts.end());
      if (idle.keyForWindow) forWindow.push_back(idle.keyForWindow->keyCode);
    }
    EXPECT_EQ(texts, c.texts) << c.bursts[0];
    EXPECT_EQ(forWindow, c.keysForWindow) << c.bursts[0];
  }
}

TEST(ScannerKeystrokesTest, TheReleaseOfATakenKeyIsTakenToo) {
  ScannerKeystrokes keystrokes;
  const ScannerKey enter{Kind::End, "", 13}, shift{Kind::Modifier, "", 306}, other{Kind::Other, "", 366};
  keystrokes.Press({Kind::Text, "a", 'a'});
  keystrokes.Press(enter);
  EXPECT_TRUE(keystrokes.TakesRelease(enter));
  EXPECT_FALSE(keystrokes.TakesRelease(shift));
  EXPECT_FALSE(keystrokes.TakesRelease(other));
  keystrokes.OnIdle();
  EXPECT_FALSE(keystrokes.TakesRelease(enter)); // a new burst
}
