#include "encode/CodeCapacity.h"

namespace {

// Texts of n bytes that the encoders store byte by byte: lower-case letters, with an umlaut in
// front when the text is not plain ASCII.
CString Probe(int bytes, bool plainAscii) {
  std::string text = plainAscii ? std::string() : std::string("\xC3\xA4");
  text.append(static_cast<std::size_t>(std::max(0, bytes - static_cast<int>(text.size()))), 'a');
  return CString(text.c_str());
}

bool Fits(CEncoderItemBase& encoder, int bytes, bool plainAscii) {
  void* code = encoder.GetCodeItem(Probe(bytes, plainAscii));
  if (code) encoder.DoneCode(code);
  return code != nullptr;
}

} // namespace

int LargestEncodableBytes(CEncoderItemBase& encoder, bool plainAscii) {
  int fits = plainAscii ? 1 : 2, tooMany = 8000; // more than the largest code holds
  if (!Fits(encoder, fits, plainAscii)) return 0;
  while (tooMany - fits > 1) {
    const int middle = (fits + tooMany) / 2;
    (Fits(encoder, middle, plainAscii) ? fits : tooMany) = middle;
  }
  return fits;
}
