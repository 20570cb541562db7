#include <emmintrin.h>

#include <algorithm>

#include "render/acrylic_blur_kernels.h"

namespace cardel::blur {
namespace {

constexpr int kChannels = 4;

struct Sse2Mean {
  __m128i half, multiplier, shift;
};

__attribute__((target("sse2"))) Sse2Mean MakeMean(const WindowMean& m) {
  return {_mm_set1_epi16(static_cast<short>(m.half)), _mm_set1_epi16(static_cast<short>(m.multiplier)),
          _mm_cvtsi32_si128(m.shift)};
}

// Eight 16-bit sums to their eight means, the same as WindowMean gives.
__attribute__((target("sse2"))) inline __m128i Means(__m128i sums, const Sse2Mean& m) {
  return _mm_srl_epi16(_mm_mulhi_epu16(_mm_add_epi16(sums, m.half), m.multiplier), m.shift);
}

__attribute__((target("sse2"))) inline __m128i Pixel16(const uint8_t* p) {
  int32_t bits;
  std::copy_n(p, 4, reinterpret_cast<uint8_t*>(&bits));
  return _mm_unpacklo_epi8(_mm_cvtsi32_si128(bits), _mm_setzero_si128());
}

}  // namespace

__attribute__((target("sse2"))) void RowsSse2(const PixelPlane& source, const PixelPlane& target, int r) noexcept {
  const Sse2Mean mean = MakeMean(WindowMean(2 * r + 1));
  const size_t rowBytes = static_cast<size_t>(source.width) * kChannels;
  const int last = source.width - 1;
  for (int y = 0; y < source.height; ++y) {
    const uint8_t* in = source.bytes.data() + y * rowBytes;
    uint8_t* out = target.bytes.data() + y * rowBytes;
    const auto at = [&](int x) { return in + std::clamp(x, 0, last) * kChannels; };
    // The four channels of one pixel in the low four 16-bit lanes.
    __m128i sum = _mm_setzero_si128();
    for (int x = -r; x <= r; ++x) sum = _mm_add_epi16(sum, Pixel16(at(x)));
    for (int x = 0; x <= last; ++x) {
      const __m128i m = Means(sum, mean);
      const int32_t packed = _mm_cvtsi128_si32(_mm_packus_epi16(m, m));
      std::copy_n(reinterpret_cast<const uint8_t*>(&packed), 4, out + x * kChannels);
      sum = _mm_add_epi16(sum, _mm_sub_epi16(Pixel16(at(x + r + 1)), Pixel16(at(x - r))));
    }
  }
}

__attribute__((target("sse2"))) void ColumnsSse2(const PixelPlane& source, const PixelPlane& target, int r,
                                                 uint16_t* sums) noexcept {
  const WindowMean scalarMean(2 * r + 1);
  const Sse2Mean mean = MakeMean(scalarMean);
  const size_t rowBytes = static_cast<size_t>(source.width) * kChannels;
  const size_t wide = rowBytes / 16 * 16;
  const int last = source.height - 1;
  const auto row = [&](int y) { return source.bytes.data() + std::clamp(y, 0, last) * rowBytes; };
  std::fill_n(sums, rowBytes, uint16_t{0});
  for (int y = -r; y <= r; ++y) {
    const uint8_t* in = row(y);
    for (size_t i = 0; i < rowBytes; ++i) sums[i] = static_cast<uint16_t>(sums[i] + in[i]);
  }
  const __m128i zero = _mm_setzero_si128();
  for (int y = 0; y <= last; ++y) {
    uint8_t* out = target.bytes.data() + y * rowBytes;
    const uint8_t* enter = row(y + r + 1);
    const uint8_t* leave = row(y - r);
    for (size_t i = 0; i < wide; i += 16) {
      auto* s = reinterpret_cast<__m128i*>(sums + i);
      __m128i low = _mm_loadu_si128(s), high = _mm_loadu_si128(s + 1);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(Means(low, mean), Means(high, mean)));
      const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(enter + i));
      const __m128i off = _mm_loadu_si128(reinterpret_cast<const __m128i*>(leave + i));
      low = _mm_add_epi16(low, _mm_sub_epi16(_mm_unpacklo_epi8(in, zero), _mm_unpacklo_epi8(off, zero)));
      high = _mm_add_epi16(high, _mm_sub_epi16(_mm_unpackhi_epi8(in, zero), _mm_unpackhi_epi8(off, zero)));
      _mm_storeu_si128(s, low);
      _mm_storeu_si128(s + 1, high);
    }
    for (size_t i = wide; i < rowBytes; ++i) {
      out[i] = static_cast<uint8_t>(scalarMean(sums[i]));
      sums[i] = static_cast<uint16_t>(sums[i] + enter[i] - leave[i]);
    }
  }
}

}  // namespace cardel::blur
