// Decoder back-end module over ZBar. Texts come back as UTF-8 (the ANSI code page here).
// Symbology names are ZBar's: "QR-Code", "EAN-13", "EAN-8", "UPC-A", "UPC-E", "ISBN-13",
// "ISBN-10", "CODE-128", "CODE-93", "CODE-39", "Codabar", "I2/5", "DataBar", "DataBar-Exp".
#pragma once

#include "WinTypes.h"

extern "C" {
// A new result handle, or null when the file is unreadable or holds no code.
void* ZBar_DecodeImage(const char* fileName, bool onlyQR);
int ZBar_GetDecodeResultCount(void* handle);
// Write into buffer, cut at a character boundary to fit size bytes with the terminator (always
// written when size > 0); return the length of the whole text without the terminator, also when it
// did not fit: a caller whose buffer was too small asks again with that length + 1.
int ZBar_GetDecodeResultName(void* handle, int index, char* buffer, int size);
int ZBar_GetDecodeResultSymbol(void* handle, int index, char* buffer, int size);
// At most max corners in image pixels: top-left, top-right, bottom-right, bottom-left.
int ZBar_GetDecodeResultPointArray(void* handle, int index, POINT* points, int max);
void ZBar_FreeDecodeResult(void* handle);
}
