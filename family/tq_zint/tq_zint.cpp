#include "outside/tq_zint.h"

#include <zint.h>

#include <cstring>
#include <dlfcn.h>
#include <mutex>

namespace {

constexpr int kEciUtf8 = 26;

bool IsAscii(const char* text, size_t length) {
  for (size_t i = 0; i < length; ++i)
    if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
  return true;
}

zint_symbol* AsSymbol(void* code) { return static_cast<zint_symbol*>(code); }

// The three calls we make, found in zint once it is loaded; all null when it cannot be.
struct Zint {
  decltype(&ZBarcode_Create) create = nullptr;
  decltype(&ZBarcode_Encode) encode = nullptr;
  decltype(&ZBarcode_Delete) destroy = nullptr;
};

const Zint& LoadedZint() {
  static Zint zint;
  static std::once_flag once;
  std::call_once(once, [] {
    void* library = dlopen(ZINT_SONAME, RTLD_NOW | RTLD_LOCAL); // stays loaded: symbols may outlive any call
    if (!library) return;
    Zint found{reinterpret_cast<decltype(&ZBarcode_Create)>(dlsym(library, "ZBarcode_Create")),
               reinterpret_cast<decltype(&ZBarcode_Encode)>(dlsym(library, "ZBarcode_Encode")),
               reinterpret_cast<decltype(&ZBarcode_Delete)>(dlsym(library, "ZBarcode_Delete"))};
    if (found.create && found.encode && found.destroy) zint = found;
  });
  return zint;
}

} // namespace

extern "C" {

void* ZInt_GetCode(const char* text, int inputMode, int symbology, int level, int version) {
  if (!text || !*text) return nullptr;
  const auto length = static_cast<int>(std::strlen(text));
  const Zint& zint = LoadedZint();
  zint_symbol* symbol = zint.create ? zint.create() : nullptr;
  if (!symbol) return nullptr;
  symbol->symbology = symbology;
  symbol->input_mode = inputMode;
  symbol->option_1 = level;
  symbol->option_2 = version;
  // Left alone, zint picks ECI 9 for "€" (which zxing-cpp misreads) and no ECI for other UTF-8,
  // which ZBar then reads as Shift-JIS. Naming UTF-8 in the symbol lets every reader get it right.
  if ((inputMode & 0x07) == UNICODE_MODE && !IsAscii(text, static_cast<size_t>(length))) symbol->eci = kEciUtf8;
  const int rc = zint.encode(symbol, reinterpret_cast<const unsigned char*>(text), length);
  if (rc >= ZINT_ERROR || symbol->width < 1 || symbol->rows < 1) {
    zint.destroy(symbol);
    return nullptr;
  }
  return symbol;
}

int ZInt_GetCodeWidth(void* code) { return code ? AsSymbol(code)->width : 0; }

int ZInt_GetCodeHeight(void* code) { return code ? AsSymbol(code)->rows : 0; }

int ZInt_IsCodeBitSet(void* code, int row, int column) {
  const zint_symbol* symbol = AsSymbol(code);
  if (!symbol || row < 0 || column < 0 || row >= symbol->rows || column >= symbol->width) return 0;
  // zint packs each row's modules as bits, least significant bit first.
  return (symbol->encoded_data[row][column >> 3] >> (column & 7)) & 1;
}

void ZInt_DoneCode(void* code) {
  if (code) LoadedZint().destroy(AsSymbol(code));
}

} // extern "C"
