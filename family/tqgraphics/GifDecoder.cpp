// GIF through giflib: the first frame only, placed on its logical screen. Later frames of an
// animation are never read.
#include "ImageDecoders.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace tqgraphics {
namespace {

struct Source {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t pos = 0;
};

int ReadBytes(GifFileType* gif, GifByteType* out, int wanted) {
  auto* source = static_cast<Source*>(gif->UserData);
  const std::size_t n = std::min(static_cast<std::size_t>(std::max(wanted, 0)), source->size - source->pos);
  std::memcpy(out, source->data + source->pos, n);
  source->pos += n;
  return static_cast<int>(n);
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int ignored;
    DGifCloseFile(gif, &ignored);
  }
};

// Skips extensions up to the first image, noting the transparent colour of its control block.
bool FindFirstImage(GifFileType* gif, int& transparent) {
  for (;;) {
    GifRecordType type;
    if (DGifGetRecordType(gif, &type) == GIF_ERROR) return false;
    if (type == IMAGE_DESC_RECORD_TYPE) return DGifGetImageDesc(gif) == GIF_OK;
    if (type == TERMINATE_RECORD_TYPE) return false;
    if (type != EXTENSION_RECORD_TYPE) continue;
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
    if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) transparent = (block[1] & 1) ? block[4] : -1;
    while (block)
      if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
  }
}

bool IsGrey(const ColorMapObject& colours) {
  for (int i = 0; i < colours.ColorCount; ++i) {
    const GifColorType& c = colours.Colors[i];
    if (c.Red != c.Green || c.Green != c.Blue) return false;
  }
  return true;
}

// Rows of an interlaced frame come in four passes: every eighth from 0, every eighth from 4,
// every fourth from 2, every second from 1.
std::vector<int> RowOrder(int height, bool interlaced) {
  std::vector<int> order;
  order.reserve(static_cast<std::size_t>(height));
  if (!interlaced) {
    for (int y = 0; y < height; ++y) order.push_back(y);
    return order;
  }
  const int starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int y = starts[pass]; y < height; y += steps[pass]) order.push_back(y);
  return order;
}

} // namespace

bool DecodeGif(const std::uint8_t* data, std::size_t size, PixelFormat format, RasterImage& image, std::string* error) {
  Source source{data, size};
  int code = 0;
  std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&source, ReadBytes, &code));
  int transparent = -1;
  if (!gif || !FindFirstImage(gif.get(), transparent)) {
    SetError(error, "the GIF file is damaged, truncated or holds no picture");
    return false;
  }
  const GifImageDesc& frame = gif->Image;
  const ColorMapObject* colours = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
  if (!colours || colours->ColorCount <= 0 || frame.Width <= 0 || frame.Height <= 0) {
    SetError(error, "the GIF file's first picture has no colours or no pixels");
    return false;
  }
  // The frame on its screen, unless the screen cannot hold it.
  const bool onScreen = frame.Left >= 0 && frame.Top >= 0 && static_cast<long long>(frame.Left) + frame.Width <= gif->SWidth &&
                        static_cast<long long>(frame.Top) + frame.Height <= gif->SHeight;
  const int width = onScreen ? gif->SWidth : frame.Width, height = onScreen ? gif->SHeight : frame.Height;
  const int left = onScreen ? frame.Left : 0, top = onScreen ? frame.Top : 0;
  if (!AcceptDimensions(width, height, PlausiblePixels(size, 8), error)) return false;
  PrepareImage(image, width, height, format, IsGrey(*colours));
  std::vector<std::uint8_t> white(static_cast<std::size_t>(width) * 3, 255), bgr = white;
  for (int y = 0; y < height; ++y) StoreBgrRow(white.data(), width, image, y);
  std::vector<GifPixelType> indices(static_cast<std::size_t>(frame.Width));
  for (int y : RowOrder(frame.Height, frame.Interlace)) {
    if (DGifGetLine(gif.get(), indices.data(), frame.Width) == GIF_ERROR) {
      SetError(error, "the GIF file is damaged or truncated");
      return false;
    }
    for (int x = 0; x < frame.Width; ++x) {
      std::uint8_t* px = &bgr[static_cast<std::size_t>(left + x) * 3];
      const int index = indices[static_cast<std::size_t>(x)];
      if (index == transparent || index >= colours->ColorCount) {
        px[0] = px[1] = px[2] = 255; // shown on white
        continue;
      }
      const GifColorType& c = colours->Colors[index];
      px[0] = c.Blue, px[1] = c.Green, px[2] = c.Red;
    }
    StoreBgrRow(bgr.data(), width, image, top + y);
  }
  return true;
}

} // namespace tqgraphics
