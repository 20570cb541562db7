#include "render/acrylic_compose.h"

namespace cardel {
namespace {

// x / 255 rounded to nearest, for x up to 255 * 255.
constexpr uint32_t Div255(uint32_t x) noexcept { return (x + 128 + ((x + 128) >> 8)) >> 8; }

// Each byte of a premultiplied pixel scaled by factor / 255.
constexpr uint32_t Scale(uint32_t pixel, uint32_t factor) noexcept {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) out |= Div255((pixel >> shift & 0xFF) * factor) << shift;
  return out;
}

// Premultiplied bytes never sum past 255, so the channels cannot carry into each other.
constexpr uint32_t Over(uint32_t top, uint32_t bottom) noexcept { return top + Scale(bottom, 255 - (top >> 24)); }

}  // namespace

void ComposeAcrylic(const AcrylicComposeInput& in, std::span<uint32_t> out) noexcept {
  const size_t n = out.size();
  if (in.under.size() != n || in.blurred.size() != n || in.coverage.size() != n || in.above.size() != n) return;
  for (size_t i = 0; i < n; ++i) {
    const uint32_t c = in.coverage[i];
    const uint32_t acrylic = Scale(in.blurred[i] | 0xFF000000u, c);
    out[i] = Over(in.above[i], Over(acrylic, in.under[i]));
  }
}

}  // namespace cardel
