#include "LinearChecks.h"

#include <algorithm>

namespace decodecommon {
namespace {

struct Box {
  long left, top, right, bottom;
};

// The symbol's box, widened by a tenth of its width on every side: two reads of one bar code
// cross it on different lines, and a linear read may be a line of no height.
Box SlackBoxOf(const DecodedSymbol& s) {
  const std::vector<POINT> quad = BoundingQuad(s.corners);
  const long slack = std::max(4L, static_cast<long>(quad[2].x - quad[0].x) / 10);
  return {quad[0].x - slack, quad[0].y - slack, quad[2].x + slack, quad[2].y + slack};
}

bool Overlap(const Box& a, const Box& b) {
  return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

bool IsShortRetailCode(const std::string& symbology) {
  return symbology == "UPC-E" || symbology == "EAN-8" || symbology == "UPCE" || symbology == "EAN8";
}
bool IsLongRetailCode(const std::string& symbology) {
  return symbology == "EAN-13" || symbology == "UPC-A" || symbology == "EAN13" || symbology == "UPCA" ||
         symbology == "ISBN-13";
}

bool Disagree(const DecodedSymbol& a, const DecodedSymbol& b) {
  return !a.matrix && !b.matrix && &a != &b && a.text != b.text && SamePlace(a, b);
}

} // namespace

bool SamePlace(const DecodedSymbol& a, const DecodedSymbol& b) {
  if (a.corners.empty() || b.corners.empty()) return false;
  return Overlap(SlackBoxOf(a), SlackBoxOf(b));
}

bool Agrees(const std::vector<DecodedSymbol>& look, const DecodedSymbol& symbol) {
  return std::any_of(look.begin(), look.end(), [&](const DecodedSymbol& other) {
    return other.symbology == symbol.symbology && other.text == symbol.text && SamePlace(other, symbol);
  });
}

void DropNestedLinearCodes(std::vector<DecodedSymbol>& symbols) {
  DropPhantomLinearCodes(symbols);
  const std::vector<DecodedSymbol> all = symbols;
  std::erase_if(symbols, [&](const DecodedSymbol& s) {
    return IsShortRetailCode(s.symbology) && std::any_of(all.begin(), all.end(), [&](const DecodedSymbol& outer) {
             return IsLongRetailCode(outer.symbology) && SamePlace(outer, s);
           });
  });
}

bool HasDisagreeingLinearCodes(const std::vector<DecodedSymbol>& symbols) {
  for (const DecodedSymbol& a : symbols)
    for (const DecodedSymbol& b : symbols)
      if (Disagree(a, b)) return true;
  return false;
}

void SettleDisagreements(std::vector<DecodedSymbol>& symbols, const std::vector<DecodedSymbol>& otherLook) {
  const std::vector<DecodedSymbol> all = symbols;
  std::vector<bool> drop(all.size(), false);
  for (std::size_t i = 0; i < all.size(); ++i)
    for (std::size_t j = 0; j < all.size(); ++j)
      if (Disagree(all[i], all[j]) && !Agrees(otherLook, all[i])) drop[i] = true;
  std::size_t index = 0;
  std::erase_if(symbols, [&](const DecodedSymbol&) { return drop[index++]; });
}

} // namespace decodecommon
