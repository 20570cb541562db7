#include "box_blur.h"

#include <algorithm>
#include <cmath>

namespace cardel::bench {
namespace {

// Along one row of count pixels: the mean of the 2r + 1 pixels around each one, edges repeated.
void BlurRow(const uint8_t* from, uint8_t* to, int count, int r) {
  constexpr size_t step = 4;
  const uint32_t width = 2 * r + 1;
  const auto at = [&](int i) { return from + static_cast<size_t>(std::clamp(i, 0, count - 1)) * step; };
  uint32_t sum[4] = {0, 0, 0, 0};
  for (int i = -r; i <= r; ++i)
    for (int c = 0; c < 4; ++c) sum[c] += at(i)[c];
  for (int i = 0; i < count; ++i) {
    uint8_t* out = to + static_cast<size_t>(i) * step;
    for (int c = 0; c < 4; ++c) out[c] = static_cast<uint8_t>((sum[c] + width / 2) / width);
    const uint8_t* leaving = at(i - r);
    const uint8_t* entering = at(i + r + 1);
    for (int c = 0; c < 4; ++c) sum[c] += entering[c] - leaving[c];
  }
}

// The same down every column at once, a row of running sums at a time, so that memory is read in rows.
void BlurColumns(const uint8_t* from, uint8_t* to, int width, int height, int r, std::vector<uint32_t>& sums) {
  const size_t row = static_cast<size_t>(width) * 4;
  const uint32_t size = 2 * r + 1;
  const auto line = [&](int y) { return from + static_cast<size_t>(std::clamp(y, 0, height - 1)) * row; };
  sums.assign(row, 0);
  for (int i = -r; i <= r; ++i) {
    const uint8_t* in = line(i);
    for (size_t k = 0; k < row; ++k) sums[k] += in[k];
  }
  for (int y = 0; y < height; ++y) {
    uint8_t* out = to + static_cast<size_t>(y) * row;
    for (size_t k = 0; k < row; ++k) out[k] = static_cast<uint8_t>((sums[k] + size / 2) / size);
    const uint8_t* leaving = line(y - r);
    const uint8_t* entering = line(y + r + 1);
    for (size_t k = 0; k < row; ++k) sums[k] += entering[k] - leaving[k];
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
  for (int i = 0; i < n; ++i) boxes.radii[i] = ((i < lowerCount ? lower : upper) - 1) / 2;
  return boxes;
}

void BoxBlur3(std::vector<uint8_t>& pixels, std::vector<uint8_t>& scratch, int width, int height, int radius) {
  if (width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * height * 4) return;
  scratch.resize(pixels.size());
  const ThreeBoxes boxes = BoxesForGaussian(radius);
  const size_t row = static_cast<size_t>(width) * 4;
  uint8_t* a = pixels.data();
  uint8_t* b = scratch.data();
  for (const int r : boxes.radii) {
    for (int y = 0; y < height; ++y) BlurRow(a + y * row, b + y * row, width, r);
    std::swap(a, b);
  }
  std::vector<uint32_t> sums;
  for (const int r : boxes.radii) {
    BlurColumns(a, b, width, height, r, sums);
    std::swap(a, b);
  }
  // Six passes leave the result where it started.
}

}  // namespace cardel::bench
