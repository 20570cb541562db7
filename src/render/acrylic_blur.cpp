#include "render/acrylic_blur.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "render/acrylic_blur_kernels.h"

namespace cardel {
namespace {

constexpr int kChannels = 4;
// Windows up to 127 wide keep the means exact and the column sums within 16 bits.
constexpr int kWidestBox = (blur::kWidestExactWindow - 1) / 2;

bool Fits(const PixelPlane& p) noexcept {
  return p.width > 0 && p.height > 0 &&
         p.bytes.size() >= static_cast<size_t>(p.width) * static_cast<size_t>(p.height) * kChannels;
}

size_t Bytes(const PixelPlane& p) noexcept { return static_cast<size_t>(p.width) * p.height * kChannels; }

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
  if (!Fits(source) || !Fits(target)) return;
  const int r = std::clamp(boxRadius, 0, kWidestBox);
  if (r == 0) {
    std::copy_n(source.bytes.data(), Bytes(source), target.bytes.data());
  } else if (blur::HasSse2()) {
    blur::RowsSse2(source, target, r);
  } else {
    blur::RowsScalar(source, target, r);
  }
}

void BoxBlurColumns(const PixelPlane& source, const PixelPlane& target, int boxRadius) {
  if (!Fits(source) || !Fits(target)) return;
  const int r = std::clamp(boxRadius, 0, kWidestBox);
  const size_t rowBytes = static_cast<size_t>(source.width) * kChannels;
  if (r == 0) {
    std::copy_n(source.bytes.data(), Bytes(source), target.bytes.data());
  } else if (blur::HasSse2()) {
    std::vector<uint16_t> sums(rowBytes);
    blur::ColumnsSse2(source, target, r, sums.data());
  } else {
    std::vector<uint32_t> sums(rowBytes);
    blur::ColumnsScalar(source, target, r, sums.data());
  }
}

void GaussianBlur(const PixelPlane& pixels, std::span<uint8_t> scratch, int radius) {
  GaussianBlurFrom(pixels, pixels, scratch, radius);
}

void GaussianBlurFrom(const PixelPlane& source, const PixelPlane& pixels, std::span<uint8_t> scratch, int radius) {
  const PixelPlane other{scratch, pixels.width, pixels.height};
  if (!Fits(source) || !Fits(pixels) || !Fits(other) || source.width != pixels.width ||
      source.height != pixels.height)
    return;
  const BoxRadii boxes = BoxRadiiForGaussian(radius);
  if (boxes.third == 0) {
    if (source.bytes.data() != pixels.bytes.data()) std::copy_n(source.bytes.data(), Bytes(source), pixels.bytes.data());
    return;
  }
  BoxBlurRows(source, other, boxes.first);
  BoxBlurRows(other, pixels, boxes.second);
  BoxBlurRows(pixels, other, boxes.third);
  BoxBlurColumns(other, pixels, boxes.first);
  BoxBlurColumns(pixels, other, boxes.second);
  BoxBlurColumns(other, pixels, boxes.third);
}

namespace blur {

bool HasSse2() noexcept {
  static const bool present = IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE) != 0;
  return present;
}

}  // namespace blur

}  // namespace cardel
