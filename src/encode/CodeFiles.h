// A code written to a file people can use: a quiet zone around it, and a size in pixels or in
// millimetres, as BMP, PNG (with its resolution), SVG or PDF (at its physical size).
#pragma once

#include "CodewerkExport.h"
#include "encode/EncoderItemBase.h"
#include "outside/CString.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The modules of a code, rows top first: true where a module is dark.
struct CodeMatrix {
  int size = 0; // modules a side
  std::vector<bool> dark;
  bool At(int row, int column) const { return dark[static_cast<std::size_t>(row) * size + column]; }
};

// The text's code from the encoder (the text UTF-8); nothing when the encoder makes none.
CODEWERK_EXPORT std::optional<CodeMatrix> MakeCodeMatrix(const CString& text, CEncoderItemBase& encoder);

enum class CodeFileFormat { Bmp, Png, Svg, Pdf };

// By the name's ending, in any letter case; nothing for another ending.
CODEWERK_EXPORT std::optional<CodeFileFormat> CodeFileFormatOf(const std::string& path);

struct CodeFileLayout {
  int modulePixels = 4;   // raster formats; vector formats draw the same size at dpi
  int marginModules = 4;  // the quiet zone on every side
  double dpi = 300;       // the resolution the pixels are meant for
  double codeMillimetres = 0; // when set: the code's own size (without the quiet zone) exactly
};

// Pixels per module that make the code codeMillimetres wide at dpi; 0 when one would be less than
// a pixel.
CODEWERK_EXPORT int ModulePixelsFor(double codeMillimetres, double dpi, int modules);

// Writes the file in one step: a file of that name is replaced only by a complete new one.
// False with the reason in error.
CODEWERK_EXPORT bool WriteCodeFile(const std::string& path, CodeFileFormat format, const CodeMatrix& code,
                                   const CodeFileLayout& layout, std::string& error);
