// Decoder back-end module over zxing-cpp. Texts come back as UTF-8 (the ANSI code page here).
// Symbology names are zxing-cpp's: "QRCode", "MicroQRCode", "EAN-13", "EAN-8", "UPC-A", "UPC-E",
// "Code128", "Code93", "Code39", "Codabar", "ITF", "DataBar", "DataBarExpanded", "DataMatrix",
// "Aztec", "PDF417", "MaxiCode".
#pragma once

#include "WinTypes.h"

extern "C" {
// At most one code: for webcam frames.
void* ZXING_DecodeImageSingleResult(const char* fileName, bool onlyQR);
// Every code in the picture.
void* ZXING_DecodeImageMultipleResults(const char* fileName, bool onlyQR);
int ZXING_GetDecodeResultCount(void* handle);
// Write into buffer, cut at a character boundary to fit size bytes with the terminator (always
// written when size > 0); return the length of the whole text without the terminator, also when it
// did not fit: a caller whose buffer was too small asks again with that length + 1.
int ZXING_GetDecodeResultName(void* handle, int index, char* buffer, int size);
int ZXING_GetDecodeResultSymbol(void* handle, int index, char* buffer, int size);
int ZXING_GetDecodeResultPointArray(void* handle, int index, POINT* points, int max);
void ZXING_FreeDecodeResult(void* handle);
}
