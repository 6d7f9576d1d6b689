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
// The text of the one code read, or how many there were.
inline std::string TheCode(const std::vector<ReadCode>& codes) {
  return codes.size() == 1 ? codes[0].text : std::to_string(codes.size()) + " codes";
}
