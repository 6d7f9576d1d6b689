// libFuzzer target: any bytes as a symbol's content with ECI designators. Whatever comes out is
// UTF-8; content declared UTF-8 comes back byte for byte, content declared Latin-1 one character
// per byte.
#include "EciText.h"
#include "outside/CodePage.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

bool Utf8(const std::string& text) { return IsValidUTF8(text.data(), text.size()); }

// The bytes as a QR code's content under one designator, backslashes doubled.
std::vector<std::uint8_t> Declared(const char* designator, const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> bytes{']', 'Q', '2'};
  for (const char* c = designator; *c; ++c) bytes.push_back(static_cast<std::uint8_t>(*c));
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == '\\') bytes.push_back('\\');
    bytes.push_back(data[i]);
  }
  return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (const auto text = TextFromEciBytes(std::vector<std::uint8_t>(data, data + size))) Check(Utf8(*text));

  const std::string raw(reinterpret_cast<const char*>(data), size);
  if (Utf8(raw)) Check(TextFromEciBytes(Declared("\\000026", data, size)) == raw);

  const auto latin1 = TextFromEciBytes(Declared("\\000003", data, size));
  Check(latin1 && Utf8(*latin1));
  std::size_t characters = 0;
  for (const unsigned char c : *latin1) characters += (c & 0xC0) != 0x80;
  Check(characters == size);
  return 0;
}
