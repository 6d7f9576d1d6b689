// Encoder back-end module over libzint. A handle from ZInt_GetCode is released exactly once with
// ZInt_DoneCode.
#pragma once

extern "C" {
// inputMode: 1 = UTF-8 text, 0 = raw bytes; symbology: zint's number (58 = QR Code);
// level: error correction, 1 = L … 4 = H; version: symbol size, 0 = smallest that fits.
void* ZInt_GetCode(const char* text, int inputMode, int symbology, int level, int version);
int ZInt_GetCodeWidth(void* code);
int ZInt_GetCodeHeight(void* code);
int ZInt_IsCodeBitSet(void* code, int row, int column);
void ZInt_DoneCode(void* code);
}
