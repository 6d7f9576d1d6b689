#include "DecodeResults.h"

#include "outside/CodePage.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <strings.h>

namespace decodecommon {
namespace {

POINT Centre(const std::vector<POINT>& corners) {
  long long x = 0, y = 0;
  for (const POINT& p : corners) x += p.x, y += p.y;
  const auto n = static_cast<long long>(corners.size());
  return {static_cast<LONG>(x / n), static_cast<LONG>(y / n)};
}

// Whether p lies inside the convex quadrilateral (corners in either winding).
bool Inside(const std::vector<POINT>& quad, POINT p) {
  if (quad.size() < 3) return false;
  int sign = 0;
  for (size_t i = 0; i < quad.size(); ++i) {
    const POINT& a = quad[i];
    const POINT& b = quad[(i + 1) % quad.size()];
    const long long cross = static_cast<long long>(b.x - a.x) * (p.y - a.y) - static_cast<long long>(b.y - a.y) * (p.x - a.x);
    const int s = (cross > 0) - (cross < 0);
    if (s == 0) continue;
    if (sign == 0) sign = s;
    else if (s != sign) return false;
  }
  return true;
}

std::string ToAnsi(const std::string& utf8) {
  if (strcasecmp(GetAnsiCodeSetName(), "UTF-8") == 0) return utf8;
  std::wstring wide(utf8.size() + 1, L'\0');
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
  if (n <= 0) return utf8;
  const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return utf8;
  std::string ansi(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, ansi.data(), bytes, nullptr, nullptr);
  ansi.resize(static_cast<size_t>(bytes - 1));
  return ansi;
}

} // namespace

std::vector<POINT> BoundingQuad(const std::vector<POINT>& points) {
  if (points.empty()) return {};
  LONG left = points[0].x, right = left, top = points[0].y, bottom = top;
  for (const POINT& p : points) {
    left = std::min(left, p.x), right = std::max(right, p.x);
    top = std::min(top, p.y), bottom = std::max(bottom, p.y);
  }
  return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
}

void DropPhantomLinearCodes(std::vector<DecodedSymbol>& symbols) {
  std::vector<std::vector<POINT>> matrices;
  for (const DecodedSymbol& s : symbols)
    if (s.matrix) matrices.push_back(s.corners);
  std::erase_if(symbols, [&](const DecodedSymbol& s) {
    if (s.matrix || s.corners.empty()) return false;
    const POINT centre = Centre(s.corners);
    return std::any_of(matrices.begin(), matrices.end(), [&](const auto& quad) { return Inside(quad, centre); });
  });
}

void InvertGray(RasterImage& image) {
  for (auto& p : image.pixels) p = static_cast<std::uint8_t>(255 - p);
}

void* MakeHandle(std::vector<DecodedSymbol> symbols) {
  if (symbols.empty()) return nullptr;
  return new DecodeResults{std::move(symbols)};
}

int CountOf(void* handle) { return handle ? static_cast<int>(static_cast<DecodeResults*>(handle)->symbols.size()) : 0; }

const DecodedSymbol* SymbolAt(void* handle, int index) {
  if (!handle || index < 0 || index >= CountOf(handle)) return nullptr;
  return &static_cast<DecodeResults*>(handle)->symbols[static_cast<size_t>(index)];
}

void FreeHandle(void* handle) { delete static_cast<DecodeResults*>(handle); }

int CopyText(const std::string& utf8, char* buffer, int size) {
  const std::string text = ToAnsi(utf8);
  const int needed = static_cast<int>(std::min<size_t>(text.size(), INT_MAX - 1));
  if (!buffer || size <= 0) return needed;
  size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
  // Step back over continuation bytes so no character is cut in half.
  if (n < text.size())
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return needed;
}

int CopyCorners(const DecodedSymbol* symbol, POINT* points, int max) {
  if (!symbol || !points || max <= 0) return 0;
  const int n = std::min(max, static_cast<int>(symbol->corners.size()));
  std::copy_n(symbol->corners.begin(), n, points);
  return n;
}

} // namespace decodecommon
