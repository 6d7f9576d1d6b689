#include "FrameFile.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

void Put16(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t* at, std::uint32_t value) {
  Put16(at, value);
  Put16(at + 2, value >> 16);
}

// File header and BITMAPINFOHEADER of a bottom-up 24-bit picture.
std::vector<std::uint8_t> BmpHeader(int width, int height, std::uint32_t imageBytes) {
  std::vector<std::uint8_t> header(54, 0);
  header[0] = 'B';
  header[1] = 'M';
  Put32(&header[2], 54 + imageBytes);
  Put32(&header[10], 54);
  Put32(&header[14], 40);
  Put32(&header[18], static_cast<std::uint32_t>(width));
  Put32(&header[22], static_cast<std::uint32_t>(height));
  Put16(&header[26], 1);
  Put16(&header[28], 24);
  Put32(&header[34], imageBytes);
  Put32(&header[38], 2835); // 72 dpi
  Put32(&header[42], 2835);
  return header;
}

bool WriteRows(std::FILE* file, const BgrFrame& frame, size_t rowBytes) {
  const size_t used = static_cast<size_t>(frame.width) * 3;
  const std::uint8_t padding[4] = {};
  for (int y = frame.height - 1; y >= 0; --y) {
    const std::uint8_t* row = frame.pixels + static_cast<size_t>(y) * frame.stride;
    if (std::fwrite(row, 1, used, file) != used) return false;
    if (rowBytes > used && std::fwrite(padding, 1, rowBytes - used, file) != rowBytes - used) return false;
  }
  return true;
}

} // namespace

bool WriteFrameAsBmp(const BgrFrame& frame, const char* fileName) {
  if (!frame.pixels || frame.width <= 0 || frame.height <= 0 || frame.stride < frame.width * 3 || !fileName) return false;
  const size_t rowBytes = (static_cast<size_t>(frame.width) * 3 + 3) & ~size_t{3};
  const size_t imageBytes = rowBytes * static_cast<size_t>(frame.height);
  if (imageBytes > 0xFFFFFFFFu - 54) return false;
  const std::string part = std::string(fileName) + ".part";
  std::FILE* file = std::fopen(part.c_str(), "wb");
  if (!file) return false;
  const std::vector<std::uint8_t> header = BmpHeader(frame.width, frame.height, static_cast<std::uint32_t>(imageBytes));
  bool ok = std::fwrite(header.data(), 1, header.size(), file) == header.size() && WriteRows(file, frame, rowBytes);
  ok = std::fclose(file) == 0 && ok;
  if (ok && std::rename(part.c_str(), fileName) == 0) return true;
  std::remove(part.c_str());
  return false;
}
