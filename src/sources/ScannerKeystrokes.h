// The texts a 2D scanner types through the keyboard, told apart from a person's keys. A scanner
// types in bursts, its keys a few milliseconds apart; a burst ends when nothing has been pressed
// for the idle period. A key that comes alone, with no other key just before or after it, is a
// person's: it is held back until that is clear and then handed back to the window.
#pragma once

#include "CodewerkExport.h"

#include <optional>
#include <string>
#include <vector>

struct ScannerKey {
  enum class Kind {
    Text,     // a character, with its text
    End,      // Enter, Down: ends the scanner's text
    Tab,      // inside a text a tab, at its end an end key
    Other,    // navigation and function keys (arrows, page keys, Escape, F-keys, Alt with a letter)
    Modifier, // Shift, Ctrl, Alt alone: neither the scanner's nor a person's key
  };
  Kind kind = Kind::Text;
  std::string text;  // UTF-8, for Text
  int keyCode = 0;   // the toolkit's key code and modifiers, for handing the key back
  int modifiers = 0;
};

class CODEWERK_EXPORT ScannerKeystrokes {
public:
  // A press; true when it belongs to the scanner (or is held back for now) and must not reach the
  // window. The caller restarts its idle timer after each one.
  bool Press(const ScannerKey& key);
  // Whether the key's release must not reach the window either (its press was taken).
  bool TakesRelease(const ScannerKey& key) const;
  // Whether a burst is under way.
  bool HasKeys() const { return m_nKeysInBurst > 0; }

  struct Idle {
    std::vector<std::string> texts;          // complete texts, in the order they were typed
    std::optional<ScannerKey> keyForWindow;   // a key that came alone
  };
  // The idle period has passed since the last press.
  Idle OnIdle();

private:
  void Append(const ScannerKey& key);
  void FinishText();

  std::string m_text;
  bool m_bTabPending = false;   // a tab that is part of the text only if more text follows
  bool m_bAfterEnd = false;     // blanks right after an end key are the scanner's padding
  int m_nKeysInBurst = 0;
  std::optional<ScannerKey> m_held;
  std::vector<std::string> m_finished;
  std::vector<int> m_takenCodes; // key codes whose release is the scanner's
};
