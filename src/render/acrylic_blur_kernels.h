#pragma once
// The box passes of the acrylic blur and the pass composing the acrylic paint, each as plain C++ and
// with SSE2, which must give the same bytes. acrylic_blur.cpp picks one by what the processor offers; tests compare the two.
#include <cstdint>

#include "render/acrylic_blur.h"
#include "render/acrylic_compose.h"

namespace cardel::blur {

// The rounded mean of a window sum, (sum + window / 2) / window, as a multiply and a shift that are
// exact for every sum of at most 255 x window, for windows up to kWidestExactWindow: the reciprocal
// needs 2^(16 + shift) between 255.5 window^2 and 65535 window, and a power of two lies there only
// while window <= 128.
struct WindowMean {
  explicit WindowMean(int window) noexcept;
  uint32_t half;
  uint32_t multiplier;  // below 2^16, so that the SSE2 path can use 16-bit lanes
  int shift;            // applied after dropping the low 16 bits
  uint32_t operator()(uint32_t sum) const noexcept { return ((sum + half) * multiplier) >> 16 >> shift; }
};
constexpr int kWidestExactWindow = 127;

void RowsScalar(const PixelPlane& source, const PixelPlane& target, int r) noexcept;
void ColumnsScalar(const PixelPlane& source, const PixelPlane& target, int r, uint32_t* sums) noexcept;
void RowsSse2(const PixelPlane& source, const PixelPlane& target, int r) noexcept;
// sums holds width x 4 16-bit counters.
void ColumnsSse2(const PixelPlane& source, const PixelPlane& target, int r, uint16_t* sums) noexcept;

// The acrylic's one pass putting the layers together, plain and with SSE2 (acrylic_compose.cpp).
void ComposeScalar(const AcrylicComposeInput& in, std::span<uint32_t> out) noexcept;
void ComposeSse2(const AcrylicComposeInput& in, std::span<uint32_t> out) noexcept;

bool HasSse2() noexcept;

}  // namespace cardel::blur
