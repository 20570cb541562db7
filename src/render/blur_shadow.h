#pragma once
// The soft shadow of a shape: only the shape's alpha is kept, box-blurred with a square window of
// side 2r + 1, grown by r on every side and painted in one colour. Plain buffers in and out, so the
// exact values are tested without a device; blur_shadow_bitmap.h feeds it GDI+ bitmaps.
#include <cstddef>
#include <cstdint>
#include <span>

namespace cardel {

// 32-bit pixels in memory order blue, green, red, alpha; rows stride bytes apart.
struct BgraPixels {
  std::span<const uint8_t> bytes;
  int32_t width = 0;
  int32_t height = 0;
  size_t stride = 0;
};

struct ShadowRgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
};

// The shadow's own rows: (width + 2r) x (height + 2r) premultiplied BGRA pixels, stride bytes apart.
struct ShadowTarget {
  std::span<uint8_t> bytes;
  size_t stride = 0;
};

// Past this radius a window sum of 255 x (2r + 1)^2 no longer fits a signed 32-bit integer.
constexpr int32_t kMaxShadowRadius = 1450;

// length + 2 x radius; throws ArithmeticOverflow past 32 bits.
int32_t ShadowExtent(int32_t length, int32_t radius);

// Output pixel (x, y) takes the mean alpha A of the source square of side 2r + 1 centred on source
// pixel (x - r, y - r), pixels outside the source counting as 0 and the divisor always (2r + 1)^2,
// both divisions truncating; its colour channels are c x A / 255, so A = 255 keeps the colour
// as given. The cost does not depend on the radius.
// Throws ArithmeticOverflow when radius > kMaxShadowRadius, and std::invalid_argument for a
// negative size or radius or a buffer shorter than its size and stride need.
void BlurShadowPixels(const BgraPixels& source, int32_t radius, ShadowRgb colour, const ShadowTarget& target);

}  // namespace cardel
