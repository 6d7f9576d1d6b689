// One camera frame written as a 24-bit BMP file, replacing the old file in one step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct BgrFrame {
  const std::uint8_t* pixels; // top row first
  int width;
  int height;
  int stride; // bytes from one row to the next
};

// Writes the spare file, then swaps it with fileName in one step, so a reader sees the old picture
// or the new one. The spare then holds the old picture until the next write; remove it when done.
// False (and no spare left behind) on failure.
bool WriteFrameAsBmp(const BgrFrame& frame, const char* fileName);
std::string SpareFileName(const char* fileName);
