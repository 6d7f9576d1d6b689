// libFuzzer target: any sequence of key presses, releases and idle periods through the scanner's
// keystroke assembly. Texts come out whole and in order, nothing is made up, nothing is lost.
#include "sources/ScannerKeystrokes.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ScannerKeystrokes keystrokes;
  std::string typed; // every character pressed since the last idle period
  for (std::size_t i = 0; i < size; ++i) {
    const std::uint8_t byte = data[i];
    ScannerKey key;
    key.keyCode = byte & 0x3F;
    switch (byte >> 6) {
      case 0: key.kind = ScannerKey::Kind::Text, key.text = std::string(1, static_cast<char>(0x21 + byte % 90)); break;
      case 1: key.kind = static_cast<ScannerKey::Kind>(1 + byte % 4); break;
      case 2: keystrokes.TakesRelease(key); continue;
      default: {
        const ScannerKeystrokes::Idle idle = keystrokes.OnIdle();
        std::string out;
        for (const std::string& text : idle.texts) {
          if (text.empty()) __builtin_trap();
          out += text;
        }
        std::erase(out, '\t');
        // What is reported was typed, in that order (padding blanks may be left out); a lone key
        // is handed back and makes no text.
        std::size_t at = 0;
        for (char c : out)
          if ((at = typed.find(c, at)) == std::string::npos) __builtin_trap();
          else ++at;
        if (idle.keyForWindow && !idle.texts.empty()) __builtin_trap();
        if (!keystrokes.OnIdle().texts.empty()) __builtin_trap(); // reported once only
        typed.clear();
        continue;
      }
    }
    const bool taken = keystrokes.Press(key);
    if (taken == (key.kind == ScannerKey::Kind::Modifier)) __builtin_trap();
    if (key.kind == ScannerKey::Kind::Text) typed += key.text;
  }
  return 0;
}
