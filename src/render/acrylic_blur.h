#pragma once
// The frosted-glass blur of the acrylic background: an approximation of a Gaussian by three box
// blurs in each direction, whose cost grows with the number of pixels and not with the radius. The
// edges repeat their outermost pixels, so the blurred copy stays opaque up to the control's edge and
// keeps its size.
#include <cstddef>
#include <cstdint>
#include <span>

namespace cardel {

// The blur radius of the acrylic background, in device pixels whatever the DPI.
constexpr int kAcrylicBlurRadius = 25;

// Half-widths of the three boxes whose combined spread is that of a Gaussian reaching radius pixels
// (three standard deviations). Radius 25 gives three boxes of half-width 8.
struct BoxRadii {
  int first = 0, second = 0, third = 0;
};
BoxRadii BoxRadiiForGaussian(int radius) noexcept;

// 32-bit pixels, four bytes each whatever their order, rows width x 4 bytes apart. Every byte
// channel is blurred alike.
struct PixelPlane {
  std::span<uint8_t> bytes;
  int width = 0;
  int height = 0;
};

// One box blur along the rows, from source into target (same size, no overlap). Each mean is the
// window's sum divided by its width, rounded to nearest; box radii above 63 count as 63. Does nothing
// when a span is shorter than its size needs.
void BoxBlurRows(const PixelPlane& source, const PixelPlane& target, int boxRadius) noexcept;
// The same along the columns. Throws std::bad_alloc when its row of sums finds no memory.
void BoxBlurColumns(const PixelPlane& source, const PixelPlane& target, int boxRadius);

// Blurs pixels in place, using scratch (as large as pixels) for the passes in between. Does nothing
// when the sizes do not match the spans. Throws std::bad_alloc when the row sums of the column passes
// find no memory.
void GaussianBlur(const PixelPlane& pixels, std::span<uint8_t> scratch, int radius);
// The same blur of source written into pixels (same size; source is only read, and may be pixels),
// which saves a copy when the source must stay as it is.
void GaussianBlurFrom(const PixelPlane& source, const PixelPlane& pixels, std::span<uint8_t> scratch, int radius);

}  // namespace cardel
