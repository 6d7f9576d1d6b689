// Encoder back-end module over libqrencode. Texts are zero-terminated UTF-8; a handle from
// QREncode_GetCode is released exactly once with QREncode_DoneCode.
#pragma once

extern "C" {
void* QREncode_GetCode(const char* text, int level);
int QREncode_GetCodeWidth(void* code);
int QREncode_GetCodeHeight(void* code);
int QREncode_IsCodeBitSet(void* code, int row, int column);
void QREncode_DoneCode(void* code);
}
