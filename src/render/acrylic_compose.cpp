#include "render/acrylic_compose.h"

#include <emmintrin.h>

#include "render/acrylic_blur_kernels.h"

namespace cardel {
namespace {

// x / 255 rounded to nearest, for x up to 255 * 255.
constexpr uint32_t Div255(uint32_t x) noexcept { return (x + 128 + ((x + 128) >> 8)) >> 8; }

// Each byte of a premultiplied pixel scaled by factor / 255.
constexpr uint32_t Scale(uint32_t pixel, uint32_t factor) noexcept {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) out |= Div255((pixel >> shift & 0xFF) * factor) << shift;
  return out;
}

// Premultiplied bytes never sum past 255, so the channels cannot carry into each other.
constexpr uint32_t Over(uint32_t top, uint32_t bottom) noexcept { return top + Scale(bottom, 255 - (top >> 24)); }

uint32_t ComposePixel(uint32_t under, uint32_t blurred, uint32_t coverage, uint32_t above) noexcept {
  return Over(above, Over(Scale(blurred | 0xFF000000u, coverage), under));
}

// The same as Div255 in eight 16-bit lanes.
__attribute__((target("sse2"))) inline __m128i Div255x8(__m128i x) {
  const __m128i t = _mm_add_epi16(x, _mm_set1_epi16(128));
  return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}

// Each pixel's alpha in its four lanes.
__attribute__((target("sse2"))) inline __m128i AlphaOf(__m128i pixels16) {
  return _mm_shufflehi_epi16(_mm_shufflelo_epi16(pixels16, 0xFF), 0xFF);
}

__attribute__((target("sse2"))) inline __m128i Load2(const uint32_t* p) {
  return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
}

}  // namespace

namespace blur {

void ComposeScalar(const AcrylicComposeInput& in, std::span<uint32_t> out) noexcept {
  for (size_t i = 0; i < out.size(); ++i) out[i] = ComposePixel(in.under[i], in.blurred[i], in.coverage[i], in.above[i]);
}

// Two pixels at a time, each channel in a 16-bit lane: the products stay below 2^16.
__attribute__((target("sse2"))) void ComposeSse2(const AcrylicComposeInput& in, std::span<uint32_t> out) noexcept {
  const size_t n = out.size(), pairs = n / 2 * 2;
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i full = _mm_set1_epi16(255);
  for (size_t i = 0; i < pairs; i += 2) {
    const __m128i blurred =
        _mm_unpacklo_epi8(_mm_or_si128(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(&in.blurred[i])), opaque),
                          _mm_setzero_si128());
    const short c0 = in.coverage[i], c1 = in.coverage[i + 1];
    const __m128i coverage = _mm_set_epi16(c1, c1, c1, c1, c0, c0, c0, c0);
    const __m128i acrylic = Div255x8(_mm_mullo_epi16(blurred, coverage));
    const __m128i beneath =
        _mm_add_epi16(acrylic, Div255x8(_mm_mullo_epi16(Load2(&in.under[i]), _mm_sub_epi16(full, AlphaOf(acrylic)))));
    const __m128i above = Load2(&in.above[i]);
    const __m128i result = _mm_add_epi16(above, Div255x8(_mm_mullo_epi16(beneath, _mm_sub_epi16(full, AlphaOf(above)))));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(&out[i]), _mm_packus_epi16(result, result));
  }
  for (size_t i = pairs; i < n; ++i) out[i] = ComposePixel(in.under[i], in.blurred[i], in.coverage[i], in.above[i]);
}

}  // namespace blur

void ComposeAcrylic(const AcrylicComposeInput& in, std::span<uint32_t> out) noexcept {
  const size_t n = out.size();
  if (in.under.size() != n || in.blurred.size() != n || in.coverage.size() != n || in.above.size() != n) return;
  if (blur::HasSse2())
    blur::ComposeSse2(in, out);
  else
    blur::ComposeScalar(in, out);
}

}  // namespace cardel
