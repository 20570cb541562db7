#pragma once
// The shadow blur exactly as the control's definition states it: per output row, every source
// column is summed afresh over the row band, and a ring of 2r + 1 column sums slides along the row.
// Its cost grows with the radius; it exists to be compared with, bit for bit, by the tests and the
// benchmark.
#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "render/blur_shadow.h"

namespace cardel::reference {

// Writes the (w + 2r) x (h + 2r) result into out, rows of 4 (w + 2r) bytes, which must hold them all.
inline void BlurShadow(const BgraPixels& source, int32_t r, ShadowRgb colour, std::span<uint8_t> out) {
  const int32_t w = source.width, h = source.height;
  const int32_t outWidth = w + 2 * r, outHeight = h + 2 * r;
  std::fill(out.begin(), out.end(), uint8_t{0});
  std::vector<int32_t> ring(2 * r + 1);
  const int32_t divisor = (2 * r + 1) * (2 * r + 1);
  auto alpha = [&](int32_t x, int32_t y) { return int32_t{source.bytes[y * source.stride + x * 4 + 3]}; };

  for (int32_t y = 0; y < outHeight; ++y) {
    std::fill(ring.begin(), ring.end(), 0);
    int32_t k = 0;
    const int32_t first = y - 2 * r > 0 ? y - 2 * r : 0;
    const int32_t last = y < h - 1 ? y : h - 1;
    auto columnSum = [&](int32_t x) {
      int32_t s = 0;
      for (int32_t row = first; row <= last; ++row) s += alpha(x, row);
      return s;
    };
    int32_t sum = w > 0 ? columnSum(0) : 0;
    ring[2 * r] = sum;
    for (int32_t x = 0; x < outWidth; ++x) {
      const int32_t a = sum / divisor;
      uint8_t* pixel = &out[(static_cast<size_t>(y) * outWidth + x) * 4];
      pixel[3] = static_cast<uint8_t>(a);
      if (a == 255) {
        pixel[0] = colour.blue;
        pixel[1] = colour.green;
        pixel[2] = colour.red;
      } else if (a > 0) {
        pixel[0] = static_cast<uint8_t>(colour.blue * a / 255);
        pixel[1] = static_cast<uint8_t>(colour.green * a / 255);
        pixel[2] = static_cast<uint8_t>(colour.red * a / 255);
      }
      sum -= ring[k];
      if (x + 1 < w) {
        ring[k] = columnSum(x + 1);
        sum += ring[k];
      } else {
        ring[k] = 0;
      }
      k = (k + 1) % (2 * r + 1);
    }
  }
}

inline std::vector<uint8_t> BlurShadow(const BgraPixels& source, int32_t r, ShadowRgb colour) {
  std::vector<uint8_t> out(static_cast<size_t>(source.width + 2 * r) * (source.height + 2 * r) * 4);
  BlurShadow(source, r, colour, out);
  return out;
}

}  // namespace cardel::reference
