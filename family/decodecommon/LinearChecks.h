// Rules against bar codes that are not there. A linear read is weak evidence: a misread with a
// valid check digit, a short symbology found inside a longer one, bars made up by thresholding.
#pragma once

#include "DecodeResults.h"

namespace decodecommon {

// Whether two symbols lie at the same place (their boxes overlap, with a little slack).
bool SamePlace(const DecodedSymbol& a, const DecodedSymbol& b);
// Whether a look found the same symbol: same symbology and text, at the same place.
bool Agrees(const std::vector<DecodedSymbol>& look, const DecodedSymbol& symbol);

// Drops linear symbols whose centre lies inside a two-dimensional one (the modules of a dense QR
// code can look like a short bar code), and UPC-E and EAN-8 reads inside an EAN-13 or UPC-A.
void DropNestedLinearCodes(std::vector<DecodedSymbol>& symbols);
// Linear symbols at the same place with different texts: both are doubtful. True when there are.
bool HasDisagreeingLinearCodes(const std::vector<DecodedSymbol>& symbols);
// Of disagreeing linear symbols, keeps those the other look agrees with and drops the rest.
void SettleDisagreements(std::vector<DecodedSymbol>& symbols, const std::vector<DecodedSymbol>& otherLook);

} // namespace decodecommon
