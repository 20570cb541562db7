#include "box_blur.h"

#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstring>

// The floor must be a blur as fast as a careful one can be, or the acrylic would meet its target
// against a slow stand-in: the passes work on eight 16-bit sums at once.
namespace cardel::bench {
namespace {

// Window sums of at most 255 x 257 fit in 16 bits.
constexpr int kMaxBoxRadius = 128;

// The mean of a window of size values from its sum, rounded, within a level of the exact one:
// (sum + size / 2) x ceil(65536 / size) / 65536.
struct Mean {
  explicit Mean(int size)
      : half(static_cast<uint16_t>(size / 2)), scale(static_cast<uint16_t>((65535 + size) / size)) {}
  uint16_t half, scale;
  uint8_t Of(uint16_t sum) const { return static_cast<uint8_t>((uint32_t(uint16_t(sum + half)) * scale) >> 16); }
};

inline __m128i Means(__m128i sums, __m128i half, __m128i scale) {
  return _mm_mulhi_epu16(_mm_add_epi16(sums, half), scale);
}

// Two rows at once, the pixel of each in four 16-bit lanes: the mean of the 2r + 1 pixels around
// each one, edges repeated.
void RowPair(const uint8_t* a, const uint8_t* b, uint8_t* outA, uint8_t* outB, int width, int r, const Mean& mean) {
  const __m128i zero = _mm_setzero_si128(), half = _mm_set1_epi16(static_cast<short>(mean.half)),
                scale = _mm_set1_epi16(static_cast<short>(mean.scale));
  const auto pair = [&](int i) {
    const size_t at = static_cast<size_t>(std::clamp(i, 0, width - 1)) * 4;
    int pa, pb;
    std::memcpy(&pa, a + at, 4);
    std::memcpy(&pb, b + at, 4);
    return _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(pa), _mm_cvtsi32_si128(pb)), zero);
  };
  __m128i sums = zero;
  for (int i = -r; i <= r; ++i) sums = _mm_add_epi16(sums, pair(i));
  for (int i = 0; i < width; ++i) {
    const __m128i bytes = _mm_packus_epi16(Means(sums, half, scale), zero);
    const int pa = _mm_cvtsi128_si32(bytes), pb = _mm_cvtsi128_si32(_mm_srli_si128(bytes, 4));
    std::memcpy(outA + static_cast<size_t>(i) * 4, &pa, 4);
    if (outB) std::memcpy(outB + static_cast<size_t>(i) * 4, &pb, 4);
    sums = _mm_sub_epi16(_mm_add_epi16(sums, pair(i + r + 1)), pair(i - r));
  }
}

void BlurRows(const uint8_t* from, uint8_t* to, int width, int height, int r) {
  const size_t row = static_cast<size_t>(width) * 4;
  const Mean mean(2 * r + 1);
  for (int y = 0; y < height; y += 2) {
    const bool two = y + 1 < height;
    RowPair(from + y * row, from + (two ? y + 1 : y) * row, to + y * row, two ? to + (y + 1) * row : nullptr, width, r,
            mean);
  }
}

// Down every column at once, a row of running sums at a time, so that memory is read in rows.
void BlurColumns(const uint8_t* from, uint8_t* to, int width, int height, int r, std::vector<uint16_t>& sums) {
  const size_t row = static_cast<size_t>(width) * 4;
  const Mean mean(2 * r + 1);
  const __m128i zero = _mm_setzero_si128(), half = _mm_set1_epi16(static_cast<short>(mean.half)),
                scale = _mm_set1_epi16(static_cast<short>(mean.scale));
  const auto line = [&](int y) { return from + static_cast<size_t>(std::clamp(y, 0, height - 1)) * row; };
  sums.assign(row, 0);
  for (int i = -r; i <= r; ++i) {
    const uint8_t* in = line(i);
    for (size_t k = 0; k < row; ++k) sums[k] = static_cast<uint16_t>(sums[k] + in[k]);
  }
  for (int y = 0; y < height; ++y) {
    uint8_t* out = to + static_cast<size_t>(y) * row;
    const uint8_t* leaving = line(y - r);
    const uint8_t* entering = line(y + r + 1);
    size_t k = 0;
    for (; k + 16 <= row; k += 16) {
      auto* s = reinterpret_cast<__m128i*>(sums.data() + k);
      __m128i low = _mm_loadu_si128(s), high = _mm_loadu_si128(s + 1);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k),
                       _mm_packus_epi16(Means(low, half, scale), Means(high, half, scale)));
      const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(entering + k));
      const __m128i gone = _mm_loadu_si128(reinterpret_cast<const __m128i*>(leaving + k));
      low = _mm_sub_epi16(_mm_add_epi16(low, _mm_unpacklo_epi8(in, zero)), _mm_unpacklo_epi8(gone, zero));
      high = _mm_sub_epi16(_mm_add_epi16(high, _mm_unpackhi_epi8(in, zero)), _mm_unpackhi_epi8(gone, zero));
      _mm_storeu_si128(s, low);
      _mm_storeu_si128(s + 1, high);
    }
    for (; k < row; ++k) {
      out[k] = mean.Of(sums[k]);
      sums[k] = static_cast<uint16_t>(sums[k] + entering[k] - leaving[k]);
    }
  }
}

}  // namespace

ThreeBoxes BoxesForGaussian(int radius) {
  ThreeBoxes boxes;
  if (radius <= 0) return boxes;
  constexpr int n = 3;
  const double sigma = radius / 3.0;
  int lower = static_cast<int>(std::floor(std::sqrt(12 * sigma * sigma / n + 1)));
  if (lower % 2 == 0) --lower;
  const int upper = lower + 2;
  // How many boxes take the lower width so that the variances add up to sigma squared.
  const int lowerCount = static_cast<int>(
      std::lround((12 * sigma * sigma - n * lower * lower - 4 * n * lower - 3 * n) / (-4.0 * lower - 4)));
  for (int i = 0; i < n; ++i) boxes.radii[i] = std::min(kMaxBoxRadius, ((i < lowerCount ? lower : upper) - 1) / 2);
  return boxes;
}

void BoxBlur3(std::vector<uint8_t>& pixels, std::vector<uint8_t>& scratch, int width, int height, int radius) {
  if (width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * height * 4) return;
  scratch.resize(pixels.size());
  const ThreeBoxes boxes = BoxesForGaussian(radius);
  uint8_t* a = pixels.data();
  uint8_t* b = scratch.data();
  for (const int r : boxes.radii) {
    BlurRows(a, b, width, height, r);
    std::swap(a, b);
  }
  std::vector<uint16_t> sums;
  for (const int r : boxes.radii) {
    BlurColumns(a, b, width, height, r, sums);
    std::swap(a, b);
  }
  // Six passes leave the result where it started.
}

void BoxBlur3Straight(std::vector<uint8_t>& pixels, int width, int height, int radius) {
  if (width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * height * 4) return;
  std::vector<uint8_t> from;
  const auto pass = [&](int r, bool rows) {
    from = pixels;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        for (int c = 0; c < 4; ++c) {
          int sum = 0;
          for (int i = -r; i <= r; ++i) {
            const int px = rows ? std::clamp(x + i, 0, width - 1) : x, py = rows ? y : std::clamp(y + i, 0, height - 1);
            sum += from[(static_cast<size_t>(py) * width + px) * 4 + c];
          }
          pixels[(static_cast<size_t>(y) * width + x) * 4 + c] = static_cast<uint8_t>((sum + r) / (2 * r + 1));
        }
  };
  const ThreeBoxes boxes = BoxesForGaussian(radius);
  for (const int r : boxes.radii) pass(r, true);
  for (const int r : boxes.radii) pass(r, false);
}

}  // namespace cardel::bench
