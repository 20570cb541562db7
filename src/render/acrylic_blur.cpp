#include "render/acrylic_blur.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace cardel {
namespace {

constexpr int kChannels = 4;
// Window sums are divided by multiplying with a 16-bit fixed-point reciprocal: the product of a sum
// of at most 255 x window fits 32 bits, and for windows up to 255 wide the mean is off by less than
// one level.
constexpr int kShift = 16;

uint32_t Reciprocal(int window) noexcept { return ((1u << kShift) + window - 1) / window; }

uint8_t Mean(uint32_t sum, uint32_t reciprocal) noexcept {
  return static_cast<uint8_t>((sum * reciprocal + (1u << (kShift - 1))) >> kShift);
}

bool Fits(const PixelPlane& p) noexcept {
  return p.width > 0 && p.height > 0 &&
         p.bytes.size() >= static_cast<size_t>(p.width) * static_cast<size_t>(p.height) * kChannels;
}

// A running window over a line of count pixels, step bytes apart, whose ends repeat the end pixels.
void BlurLine(const uint8_t* in, uint8_t* out, int count, ptrdiff_t step, int r) noexcept {
  const uint32_t reciprocal = Reciprocal(2 * r + 1);
  const auto at = [&](int i) { return in + std::clamp(i, 0, count - 1) * step; };
  uint32_t sum[kChannels] = {};
  for (int i = -r; i <= r; ++i)
    for (int c = 0; c < kChannels; ++c) sum[c] += at(i)[c];
  for (int i = 0; i < count; ++i) {
    uint8_t* o = out + i * step;
    for (int c = 0; c < kChannels; ++c) o[c] = Mean(sum[c], reciprocal);
    const uint8_t* enter = at(i + r + 1);
    const uint8_t* leave = at(i - r);
    for (int c = 0; c < kChannels; ++c) sum[c] += enter[c] - leave[c];
  }
}

}  // namespace

BoxRadii BoxRadiiForGaussian(int radius) noexcept {
  if (radius <= 0) return {};
  // A box of odd width w has variance (w^2 - 1) / 12. The three widths are the odd ones either side
  // of the ideal, as many of the narrower as bring the sum closest to sigma^2.
  const double sigma = radius / 3.0;
  const double ideal = std::sqrt(4 * sigma * sigma + 1);
  int lower = static_cast<int>(std::floor(ideal));
  if (lower % 2 == 0) --lower;
  const long narrow = std::clamp(
      std::lround((12 * sigma * sigma - 3.0 * lower * lower - 12.0 * lower - 9) / (-4.0 * lower - 4)), 0L, 3L);
  int widths[3];
  for (int i = 0; i < 3; ++i) widths[i] = i < narrow ? lower : lower + 2;
  return {widths[0] / 2, widths[1] / 2, widths[2] / 2};
}

void BoxBlurRows(const PixelPlane& source, const PixelPlane& target, int boxRadius) noexcept {
  const ptrdiff_t stride = static_cast<ptrdiff_t>(source.width) * kChannels;
  for (int y = 0; y < source.height; ++y)
    BlurLine(source.bytes.data() + y * stride, target.bytes.data() + y * stride, source.width, kChannels, boxRadius);
}

void BoxBlurColumns(const PixelPlane& source, const PixelPlane& target, int r) {
  // Whole rows at a time, one running sum per byte of a row, so that memory is read in order.
  const size_t rowBytes = static_cast<size_t>(source.width) * kChannels;
  const int last = source.height - 1;
  const auto row = [&](int y) { return source.bytes.data() + std::clamp(y, 0, last) * rowBytes; };
  const uint32_t reciprocal = Reciprocal(2 * r + 1);
  std::vector<uint32_t> sums(rowBytes, 0);
  for (int y = -r; y <= r; ++y) {
    const uint8_t* in = row(y);
    for (size_t i = 0; i < rowBytes; ++i) sums[i] += in[i];
  }
  for (int y = 0; y <= last; ++y) {
    uint8_t* out = target.bytes.data() + y * rowBytes;
    for (size_t i = 0; i < rowBytes; ++i) out[i] = Mean(sums[i], reciprocal);
    const uint8_t* enter = row(y + r + 1);
    const uint8_t* leave = row(y - r);
    for (size_t i = 0; i < rowBytes; ++i) sums[i] += enter[i] - leave[i];
  }
}

void GaussianBlur(const PixelPlane& pixels, std::span<uint8_t> scratch, int radius) {
  const PixelPlane other{scratch, pixels.width, pixels.height};
  if (!Fits(pixels) || !Fits(other)) return;
  const BoxRadii boxes = BoxRadiiForGaussian(radius);
  if (boxes.third == 0) return;
  BoxBlurRows(pixels, other, boxes.first);
  BoxBlurRows(other, pixels, boxes.second);
  BoxBlurRows(pixels, other, boxes.third);
  BoxBlurColumns(other, pixels, boxes.first);
  BoxBlurColumns(pixels, other, boxes.second);
  BoxBlurColumns(other, pixels, boxes.third);
}

}  // namespace cardel
