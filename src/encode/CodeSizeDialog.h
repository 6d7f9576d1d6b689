// The size a saved code gets: asked after the file dialog for PNG, SVG and PDF.
#pragma once

#include <optional>

class wxWindow;

struct CodeSize {
  double millimetres = 25; // the code's own size, the quiet zone on top
  double dpi = 300;        // PNG only
};

// "Größe (mm)" and, with withDpi, "Auflösung (dpi)"; nothing when cancelled.
std::optional<CodeSize> AskCodeSize(wxWindow* parent, bool withDpi);
