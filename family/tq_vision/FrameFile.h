// One camera frame written as a 24-bit BMP file, replacing the old file in one step.
#pragma once

#include <cstddef>
#include <cstdint>

struct BgrFrame {
  const std::uint8_t* pixels; // top row first
  int width;
  int height;
  int stride; // bytes from one row to the next
};

// Writes "<fileName>.part", then renames it over fileName; false (and no file left behind) on failure.
bool WriteFrameAsBmp(const BgrFrame& frame, const char* fileName);
