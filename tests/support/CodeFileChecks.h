// Code files as their users see them: drawn by independent programs, and measured.
#pragma once

#include "GrayImage.h"

#include <string>

// The picture a reader gets of a code file, by its ending: vector formats drawn at 300 dpi by
// librsvg and poppler.
GrayImage CodeFilePicture(const std::string& path);
// The width a file says it has, in millimetres: a PNG by its pHYs chunk, an SVG by its width
// attribute, a PDF by its page; -1 when it does not say.
double CodeFileMillimetres(const std::string& path);
