// Pictures for reading tests: codes made by our encode path, placed into frames and degraded the
// way photographs and scans degrade them.
#pragma once

#include "GrayImage.h"

#include <string>

enum class TestEncoder { QREncode, ZInt };

// The code of text at modulePx pixels per module, without quiet zone.
GrayImage RenderCode(const std::string& text, int modulePx, TestEncoder encoder = TestEncoder::ZInt);
// The code of raw bytes at modulePx, made directly by libqrencode, with an ECI when eci is not 0.
GrayImage RenderRawCode(const std::string& bytes, int eci, int modulePx);
// An EAN-13 bar code with its digits under the bars, made by zint.
GrayImage RenderEan13(const std::string& digits, int scale);

GrayImage Canvas(int width, int height, std::uint8_t value = 255);
void Paste(GrayImage& canvas, const GrayImage& picture, int left, int top);
GrayImage Scaled(const GrayImage& image, int factor);
// Turned by degrees about its centre onto a canvas large enough to hold it.
GrayImage Rotated(const GrayImage& image, double degrees, std::uint8_t background = 255);
// Seen from an angle: the top edge narrowed to topWidthFraction of the bottom edge.
GrayImage Perspective(const GrayImage& image, double topWidthFraction);
GrayImage BoxBlurred(const GrayImage& image, int radius);
// Dark pixels become low, light ones high.
GrayImage ContrastSqueezed(const GrayImage& image, std::uint8_t low, std::uint8_t high);
// Light falling off from left to right, as from a window.
GrayImage UnevenlyLit(const GrayImage& image, double darkestFactor);
GrayImage Noisy(const GrayImage& image, int amplitude, unsigned seed);
GrayImage Inverted(const GrayImage& image);
// Something photo-like without any code: gradients, blotches, stripes of varying width, noise.
GrayImage CodelessScene(int width, int height, unsigned seed);

// Independent writers (stb_image_write), so our reader is not tested against itself.
bool SaveBmp(const GrayImage& image, const std::string& path);
bool SavePng(const GrayImage& image, const std::string& path);
bool SaveJpeg(const GrayImage& image, const std::string& path);
