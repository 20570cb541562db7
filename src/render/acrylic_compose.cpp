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
  // Most pixels are covered fully or not at all, or hidden under an opaque layer: those need no
  // arithmetic, and skipping it gives the same bytes.
  for (size_t i = 0; i < n; ++i) {
    const uint32_t above = in.above[i];
    const uint32_t aboveAlpha = above >> 24;
    if (aboveAlpha == 255) {
      out[i] = above;
      continue;
    }
    const uint32_t c = in.coverage[i];
    const uint32_t beneath = c == 255 ? in.blurred[i] | 0xFF000000u
                             : c == 0 ? in.under[i]
                                      : Over(Scale(in.blurred[i] | 0xFF000000u, c), in.under[i]);
    out[i] = aboveAlpha == 0 ? beneath : Over(above, beneath);
  }
}

}  // namespace cardel
