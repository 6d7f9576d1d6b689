// Second looks at a picture in which a reader found nothing.
#pragma once

#include "outside/ImageFile.h"

#include "DecodeResults.h"

#include <functional>

namespace decodecommon {

using Reader = std::function<std::vector<DecodedSymbol>(const RasterImage&)>;

// The reader's finds in the picture as it is; when there are none, in its negative (light codes
// on a dark ground), then in a locally binarized copy (blur, low contrast, uneven light). Linear
// symbols must pass the rules of LinearChecks.h; one found only in a changed picture must be
// found in a second one too (the binarized copy, or one binarized over a smaller window).
std::vector<DecodedSymbol> ReadWithSecondLooks(RasterImage& image, const Reader& read);

// Black and white by comparison with the mean over a window of 1/windowDivisor of the shorter
// side, which sharpens blurred module edges.
void BinarizeLocally(RasterImage& image, int windowDivisor = 16);

} // namespace decodecommon
