#include "ScanPage.h"

#include <algorithm>
#include <cstring>

namespace {

// The most a page may take before it is converted: a colour A4 page at 1200 dpi is 420 MB.
constexpr std::size_t kMaxPageBytes = std::size_t{1} << 30;

int SamplesPerPixel(SANE_Frame format) { return format == SANE_FRAME_RGB ? 3 : 1; }

bool Plausible(const SANE_Parameters& p) {
  if (p.format != SANE_FRAME_GRAY && p.format != SANE_FRAME_RGB && p.format != SANE_FRAME_RED &&
      p.format != SANE_FRAME_GREEN && p.format != SANE_FRAME_BLUE)
    return false;
  if (p.depth != 1 && p.depth != 8 && p.depth != 16) return false;
  if (p.depth == 1 && p.format == SANE_FRAME_RGB) return false;
  if (p.pixels_per_line <= 0 || p.pixels_per_line > kMaxImageSide || p.lines > kMaxImageSide) return false;
  const long long needed = (static_cast<long long>(p.pixels_per_line) * SamplesPerPixel(p.format) * p.depth + 7) / 8;
  return p.bytes_per_line >= needed;
}

} // namespace

std::uint8_t ScanSample(const std::uint8_t* row, int index, int depth) {
  switch (depth) {
    case 1: return (row[index / 8] >> (7 - index % 8)) & 1 ? 0 : 255;
    case 16: {
      std::uint16_t sample;
      std::memcpy(&sample, row + 2 * static_cast<std::size_t>(index), sizeof sample);
      return static_cast<std::uint8_t>(sample >> 8);
    }
    default: return row[index];
  }
}

bool ScanPageAssembler::BeginFrame(const SANE_Parameters& parameters) {
  if (!Plausible(parameters)) return false;
  // Three-pass frames are one page: they must agree on its size.
  if (!m_frames.empty()) {
    const SANE_Parameters& first = m_frames.front().parameters;
    if (first.format == SANE_FRAME_GRAY || first.format == SANE_FRAME_RGB || parameters.format == SANE_FRAME_GRAY ||
        parameters.format == SANE_FRAME_RGB || first.pixels_per_line != parameters.pixels_per_line || m_frames.size() >= 3)
      return false;
  }
  Frame frame;
  frame.parameters = parameters;
  if (parameters.lines > 0) frame.bytes.reserve(static_cast<std::size_t>(parameters.lines) * parameters.bytes_per_line);
  m_frames.push_back(std::move(frame));
  m_lastFrame = parameters.last_frame != SANE_FALSE;
  return true;
}

bool ScanPageAssembler::Append(const std::uint8_t* data, std::size_t bytes) {
  if (m_frames.empty()) return false;
  std::vector<std::uint8_t>& target = m_frames.back().bytes;
  if (target.size() + bytes > kMaxPageBytes) return false;
  target.insert(target.end(), data, data + bytes);
  return true;
}

int ScanPageAssembler::Rows(const Frame& frame) const {
  // A device that does not know the length ends the page where it ends; a device that said it sends
  // more rows than it did gives what it sent.
  long long rows = static_cast<long long>(frame.bytes.size() / static_cast<std::size_t>(frame.parameters.bytes_per_line));
  if (frame.parameters.lines > 0) rows = std::min<long long>(rows, frame.parameters.lines);
  return static_cast<int>(std::min<long long>(rows, kMaxImageSide));
}

bool ScanPageAssembler::Finish(RasterImage& page) {
  if (m_frames.empty()) return false;
  const bool ok = m_frames.front().parameters.format == SANE_FRAME_GRAY && m_frames.size() == 1
                      ? FinishGray(m_frames.front(), page)
                      : FinishColour(page);
  m_frames.clear();
  return ok;
}

bool ScanPageAssembler::FinishGray(const Frame& frame, RasterImage& page) const {
  const SANE_Parameters& p = frame.parameters;
  const int rows = Rows(frame);
  if (rows <= 0 || static_cast<long long>(rows) * p.pixels_per_line > kMaxImagePixels) return false;
  page.width = p.pixels_per_line;
  page.height = rows;
  page.format = PixelFormat::Gray8;
  page.pixels.resize(static_cast<std::size_t>(rows) * page.width);
  for (int y = 0; y < rows; ++y) {
    const std::uint8_t* in = frame.bytes.data() + static_cast<std::size_t>(y) * p.bytes_per_line;
    std::uint8_t* out = page.pixels.data() + static_cast<std::size_t>(y) * page.width;
    if (p.depth == 8) {
      std::memcpy(out, in, static_cast<std::size_t>(page.width));
      continue;
    }
    for (int x = 0; x < page.width; ++x) out[x] = ScanSample(in, x, p.depth);
  }
  return true;
}

bool ScanPageAssembler::FinishColour(RasterImage& page) const {
  const SANE_Parameters& first = m_frames.front().parameters;
  int rows = kMaxImageSide;
  for (const Frame& frame : m_frames) rows = std::min(rows, Rows(frame));
  if (rows <= 0 || static_cast<long long>(rows) * first.pixels_per_line > kMaxImagePixels) return false;
  page.width = first.pixels_per_line;
  page.height = rows;
  page.format = PixelFormat::Bgr24;
  page.pixels.assign(static_cast<std::size_t>(rows) * page.width * 3, 0);
  for (const Frame& frame : m_frames) {
    const SANE_Parameters& p = frame.parameters;
    for (int y = 0; y < rows; ++y) {
      const std::uint8_t* in = frame.bytes.data() + static_cast<std::size_t>(y) * p.bytes_per_line;
      std::uint8_t* out = page.pixels.data() + static_cast<std::size_t>(y) * page.width * 3;
      for (int x = 0; x < page.width; ++x) {
        if (p.format == SANE_FRAME_RGB) {
          for (int c = 0; c < 3; ++c) out[3 * x + 2 - c] = ScanSample(in, 3 * x + c, p.depth);
        } else {
          const int channel = p.format == SANE_FRAME_RED ? 2 : p.format == SANE_FRAME_GREEN ? 1 : 0;
          out[3 * x + channel] = ScanSample(in, x, p.depth);
        }
      }
    }
  }
  return true;
}
