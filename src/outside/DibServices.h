// Device-independent bitmap helpers of the graphics library. A bitmap is a global memory block
// holding a BITMAPINFOHEADER, an optional colour table and the pixel rows, bottom-up.
#pragma once

#include "WinTypes.h"

// Where the parts of a packed bitmap lie, checked against the block's size.
struct DibLayout {
  int width = 0;
  int height = 0;         // absolute value; topDown tells the row order
  bool topDown = false;
  int bitCount = 0;
  DWORD compression = 0;
  int paletteEntries = 0;
  size_t headerBytes = 0; // header plus colour table or bit masks
  size_t stride = 0;      // 0 for compressed rows
  size_t imageBytes = 0;
};

// Fills layout for a bitmap of blockSize bytes; false when it is not a bitmap this library draws.
bool ReadDibLayout(const void* block, size_t blockSize, DibLayout& layout);

// Bytes per pixel row for a width and bit count, rows padded to 4 bytes; -1 when it does not fit.
long long DibRowStride(long long width, int bitCount);
// Width and height in pixels; 0 x 0 for a null or malformed bitmap.
CSize GetDIBSize(HGLOBAL dib);
// An independent copy that the receiver owns, null on failure.
HGLOBAL CopyDIB(HGLOBAL dib);
// The largest rectangle of the size's proportions inside rect, centred in it.
CRect GetKorrektRect(CSize size, const CRect& rect);
// Writes a BMP file; nonzero on success. A failed write leaves no partial file behind.
BOOL WriteDIB(const char* fileName, HGLOBAL dib);
