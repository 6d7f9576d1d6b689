// A scanned page as SANE hands it over: one or three frames of rows, each row perhaps padded,
// the number of rows perhaps unknown until the end. Made into grey or blue-green-red pixels.
#pragma once

#include "outside/ImageFile.h"

#include <sane/sane.h>

#include <cstddef>
#include <cstdint>
#include <vector>

class ScanPageAssembler {
public:
  // Starts a frame; false (and the page is lost) when its format is none we can take.
  bool BeginFrame(const SANE_Parameters& parameters);
  // Bytes as sane_read gives them; false once the page grows past what we keep in memory.
  bool Append(const std::uint8_t* data, std::size_t bytes);
  // Whether a frame for the last one has been begun.
  bool LastFrameBegun() const { return m_lastFrame; }
  // The page from the frames received; false when it has no whole row.
  bool Finish(RasterImage& page);

private:
  struct Frame {
    SANE_Parameters parameters{};
    std::vector<std::uint8_t> bytes;
  };
  int Rows(const Frame& frame) const;
  bool FinishGray(const Frame& frame, RasterImage& page) const;
  bool FinishColour(RasterImage& page) const;

  std::vector<Frame> m_frames;
  bool m_lastFrame = false;
};

// One sample of a row as 8 bits: depth 1 (1 is black), 8 or 16 (native byte order).
std::uint8_t ScanSample(const std::uint8_t* row, int index, int depth);
