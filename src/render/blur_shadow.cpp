#include "render/blur_shadow.h"

#include <array>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "common/checked_int.h"
#include "render/window_divider.h"

namespace cardel {
namespace {

static_assert((2 * kMaxShadowRadius + 1) * (2 * kMaxShadowRadius + 1) <= WindowDivider::kMaxArea);

constexpr size_t kPixelBytes = 4;
constexpr size_t kAlpha = 3;

using ShadeTable = std::array<uint32_t, 256>;

// The premultiplied pixel for every mean alpha, so the inner loop makes no multiplications.
ShadeTable MakeShadeTable(ShadowRgb colour) {
  ShadeTable shade{};
  for (uint32_t a = 0; a < shade.size(); ++a) {
    shade[a] = a << 24 | (colour.red * a / 255) << 16 | (colour.green * a / 255) << 8 | colour.blue * a / 255;
  }
  return shade;
}

bool Holds(std::span<const uint8_t> bytes, int64_t width, int64_t height, size_t stride) {
  if (width == 0 || height == 0) return true;
  const uint64_t row = static_cast<uint64_t>(width) * kPixelBytes;
  return stride >= row && (static_cast<uint64_t>(height) - 1) * stride + row <= bytes.size();
}

// Moves the band of source rows one down: the alpha of one row enters the column sums, that of
// the row 2r + 1 above leaves them. Either is missing near the top and bottom edges; one loop per
// case keeps the common one free of tests.
void SlideBand(uint32_t* columns, int32_t width, const uint8_t* entering, const uint8_t* leaving) {
  if (entering && leaving) {
    for (int32_t x = 0; x < width; ++x) columns[x] += entering[x * kPixelBytes] - leaving[x * kPixelBytes];
  } else if (entering) {
    for (int32_t x = 0; x < width; ++x) columns[x] += entering[x * kPixelBytes];
  } else if (leaving) {
    for (int32_t x = 0; x < width; ++x) columns[x] -= leaving[x * kPixelBytes];
  }
}

// One output row: the window of 2r + 1 column sums slides along the padded sums, taking in the
// column 2r ahead and dropping the one it passes. The divider is a copy and the dropped sum is read
// before the pixel is stored, because a byte store could otherwise alias both and force reloads.
void ShadeRow(const uint32_t* padded, size_t span, int32_t outWidth, WindowDivider mean, const uint32_t* shade,
              uint8_t* row) {
  const uint32_t* ahead = padded + span;
  uint32_t sum = 0;
  for (int32_t x = 0; x < outWidth; ++x) {
    sum += ahead[x];
    const uint32_t pixel = shade[mean(sum)];
    const uint32_t passed = padded[x];
    std::memcpy(row + x * kPixelBytes, &pixel, kPixelBytes);
    sum -= passed;
  }
}

}  // namespace

int32_t ShadowExtent(int32_t length, int32_t radius) {
  return (CheckedInt{length} + radius + radius).value();
}

void BlurShadowPixels(const BgraPixels& source, int32_t radius, ShadowRgb colour, const ShadowTarget& target) {
  if (radius < 0 || source.width < 0 || source.height < 0) throw std::invalid_argument("negative blur size");
  if (radius > kMaxShadowRadius) throw ArithmeticOverflow{};
  const int32_t w = source.width, h = source.height;
  const int32_t outWidth = ShadowExtent(w, radius), outHeight = ShadowExtent(h, radius);
  if (!Holds(source.bytes, w, h, source.stride) || !Holds(target.bytes, outWidth, outHeight, target.stride))
    throw std::invalid_argument("blur buffer too small");

  const int32_t side = 2 * radius + 1;
  const WindowDivider mean(static_cast<uint32_t>(side) * static_cast<uint32_t>(side));
  const ShadeTable shade = MakeShadeTable(colour);
  // Column sums over the current band of source rows, with 2r zero columns on either side, so the
  // window can slide over the whole output row without tests at its ends.
  const size_t span = 2 * static_cast<size_t>(radius);
  std::vector<uint32_t> padded(static_cast<size_t>(w) + 2 * span, 0);
  const uint8_t* const alpha = source.bytes.data() + kAlpha;

  for (int32_t y = 0; y < outHeight; ++y) {
    const int32_t gone = y - side;
    SlideBand(padded.data() + span, w, y < h ? alpha + static_cast<size_t>(y) * source.stride : nullptr,
              gone >= 0 ? alpha + static_cast<size_t>(gone) * source.stride : nullptr);
    uint8_t* const row = target.bytes.data() + static_cast<size_t>(y) * target.stride;
    ShadeRow(padded.data(), span, outWidth, mean, shade.data(), row);
  }
}

}  // namespace cardel
