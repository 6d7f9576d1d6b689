#include "outside/tq_qrencode.h"

#include "outside/CodePage.h"

#include <qrencode.h>

#include <cstring>
#include <memory>

namespace {

constexpr unsigned kEciUtf8 = 26;

bool IsAscii(const char* text) {
  for (const auto* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
    if (*p >= 0x80) return false;
  return true;
}

// Readers guess the character set of byte-mode data and guess UTF-8 wrong (ZBar reads it as
// Shift-JIS), so any non-ASCII UTF-8 text carries ECI 26, which names UTF-8 in the symbol.
QRcode* EncodeUtf8WithEci(const char* text, QRecLevel level) {
  std::unique_ptr<QRinput, decltype(&QRinput_free)> input(QRinput_new2(0, level), QRinput_free);
  if (!input) return nullptr;
  const auto size = static_cast<int>(std::strlen(text));
  if (QRinput_appendECIheader(input.get(), kEciUtf8) != 0 ||
      QRinput_append(input.get(), QR_MODE_8, size, reinterpret_cast<const unsigned char*>(text)) != 0)
    return nullptr;
  return QRcode_encodeInput(input.get());
}

QRcode* AsCode(void* code) { return static_cast<QRcode*>(code); }

} // namespace

extern "C" {

void* QREncode_GetCode(const char* text, int level) {
  if (!text || !*text || level < QR_ECLEVEL_L || level > QR_ECLEVEL_H) return nullptr;
  const auto ecLevel = static_cast<QRecLevel>(level);
  // Case-sensitive, or libqrencode upper-cases letters to fit alphanumeric mode.
  if (IsAscii(text)) return QRcode_encodeString(text, 0, ecLevel, QR_MODE_8, 1);
  if (IsValidUTF8(text, std::strlen(text))) return EncodeUtf8WithEci(text, ecLevel);
  // Not text at all: keep the bytes exactly, without claiming a character set.
  return QRcode_encodeString8bit(text, 0, ecLevel);
}

int QREncode_GetCodeWidth(void* code) { return code ? AsCode(code)->width : 0; }

int QREncode_GetCodeHeight(void* code) { return code ? AsCode(code)->width : 0; }

int QREncode_IsCodeBitSet(void* code, int row, int column) {
  const QRcode* qr = AsCode(code);
  if (!qr || row < 0 || column < 0 || row >= qr->width || column >= qr->width) return 0;
  return qr->data[row * qr->width + column] & 1;
}

void QREncode_DoneCode(void* code) { QRcode_free(AsCode(code)); }

} // extern "C"
