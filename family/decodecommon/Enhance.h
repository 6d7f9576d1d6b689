// Second looks at a picture in which a reader found nothing.
#pragma once

#include "outside/ImageFile.h"

#include "DecodeResults.h"

#include <functional>

namespace decodecommon {

using Reader = std::function<std::vector<DecodedSymbol>(const RasterImage&)>;

// The reader's finds in the picture as it is; when there are none, in its negative (light codes
// on a dark ground), then in a locally binarized copy (blur, low contrast, uneven light).
std::vector<DecodedSymbol> ReadWithSecondLooks(RasterImage& image, const Reader& read);

// Black and white by comparison with the local mean, which sharpens blurred module edges.
void BinarizeLocally(RasterImage& image);

} // namespace decodecommon
