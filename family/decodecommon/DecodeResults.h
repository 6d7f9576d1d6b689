// What both decoder back-end modules share: the result handle and the rules that make their
// results alike (corner order, texts written into buffers, no phantom codes).
#pragma once

#include "outside/ImageFile.h"
#include "outside/WinTypes.h"

#include <string>
#include <vector>

namespace decodecommon {

struct DecodedSymbol {
  std::string text;      // UTF-8
  std::string symbology; // the back end's own name
  std::vector<POINT> corners; // top-left, top-right, bottom-right, bottom-left
  bool matrix = false;   // a two-dimensional symbol (QR, Data Matrix, …) rather than a linear one
};

// The object behind a decode result handle.
struct DecodeResults {
  std::vector<DecodedSymbol> symbols;
};

// The smallest upright rectangle around many points, as four corners in the order above.
std::vector<POINT> BoundingQuad(const std::vector<POINT>& points);
// Drops linear symbols whose centre lies inside a two-dimensional one: the modules of a dense
// QR code can look like a short bar code to a reader, and such a find is not a code.
void DropPhantomLinearCodes(std::vector<DecodedSymbol>& symbols);
void InvertGray(RasterImage& image);

// A handle for the caller, or null when nothing was found.
void* MakeHandle(std::vector<DecodedSymbol> symbols);
const DecodedSymbol* SymbolAt(void* handle, int index);
int CountOf(void* handle);
void FreeHandle(void* handle);

// Writes text, in the ANSI code page, cut at a character boundary so it fits size bytes with its
// terminator; returns the length of the whole text without the terminator, also when the buffer
// was too small for it (a caller then asks again with that length + 1).
int CopyText(const std::string& utf8, char* buffer, int size);
int CopyCorners(const DecodedSymbol* symbol, POINT* points, int max);

} // namespace decodecommon
