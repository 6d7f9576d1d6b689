// Grey from blue-green-red with the luminance weights zxing-cpp uses, so both readers see the same
// grey picture. Every webcam frame passes here, so an AVX2 path does sixteen pixels at a time.
#include "ImageDecoders.h"

#include <immintrin.h>

namespace tqgraphics {

namespace {

inline std::uint8_t Luminance(const std::uint8_t* p) {
  return static_cast<std::uint8_t>((117 * p[0] + 601 * p[1] + 306 * p[2] + 0x200) >> 10);
}

void ScalarRow(const std::uint8_t* bgr, int width, std::uint8_t* out) {
  for (int x = 0; x < width; ++x) out[x] = Luminance(bgr + 3 * x);
}

// Eight pixels from 24 bytes: each 128-bit lane holds four of them in its first 12 bytes.
__attribute__((target("avx2"))) __m256i EightLuminances(const std::uint8_t* p) {
  const __m256i v = _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(p + 12), reinterpret_cast<const __m128i*>(p));
  const __m256i blueGreen = _mm256_shuffle_epi8(v, _mm256_setr_epi8(0, -1, 1, -1, 3, -1, 4, -1, 6, -1, 7, -1, 9, -1, 10, -1,
                                                                    0, -1, 1, -1, 3, -1, 4, -1, 6, -1, 7, -1, 9, -1, 10, -1));
  const __m256i red = _mm256_shuffle_epi8(v, _mm256_setr_epi8(2, -1, -1, -1, 5, -1, -1, -1, 8, -1, -1, -1, 11, -1, -1, -1,
                                                              2, -1, -1, -1, 5, -1, -1, -1, 8, -1, -1, -1, 11, -1, -1, -1));
  const __m256i sum = _mm256_add_epi32(_mm256_madd_epi16(blueGreen, _mm256_set1_epi32(601 << 16 | 117)),
                                       _mm256_madd_epi16(red, _mm256_set1_epi32(306)));
  return _mm256_srli_epi32(_mm256_add_epi32(sum, _mm256_set1_epi32(0x200)), 10);
}

__attribute__((target("avx2"))) void Avx2Row(const std::uint8_t* bgr, int width, std::uint8_t* out) {
  int x = 0;
  for (; x + 18 <= width; x += 16) { // the loads reach 52 bytes past 3 x
    const __m256i words = _mm256_packus_epi32(EightLuminances(bgr + 3 * x), EightLuminances(bgr + 3 * x + 24));
    const __m256i bytes = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(words, words), _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm256_castsi256_si128(bytes));
  }
  ScalarRow(bgr + 3 * x, width - x, out + x);
}

} // namespace

void BgrRowToGray(const std::uint8_t* bgr, int width, std::uint8_t* out) {
  static const bool avx2 = __builtin_cpu_supports("avx2");
  (avx2 ? Avx2Row : ScalarRow)(bgr, width, out);
}

} // namespace tqgraphics
