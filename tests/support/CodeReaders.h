// Independent readers for tests: zxing-cpp and ZBar called directly, not through our modules.
#pragma once

#include "GrayImage.h"

#include <string>
#include <vector>

struct ReadCode {
  std::string text;
  std::string format;
};

std::vector<ReadCode> ReadWithZXing(const GrayImage& image);
std::vector<ReadCode> ReadWithZBar(const GrayImage& image, bool qrOnly = false);
