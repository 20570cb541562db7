#pragma once
// One pixel pass that puts the acrylic paint together: the blurred background, cut to the outline by
// its coverage, over the layers under it (the box shadow), under the layers above it. Premultiplied
// 32-bit pixels, blue-green-red-alpha, all of one size; the blurred copy is opaque, its fourth byte
// ignored, as a plain GDI copy leaves it undefined.
#include <cstdint>
#include <span>

namespace cardel {

struct AcrylicComposeInput {
  std::span<const uint32_t> under;
  std::span<const uint32_t> blurred;
  std::span<const uint8_t> coverage;
  std::span<const uint32_t> above;
};

// out = above over (blurred x coverage) over under, each channel rounded as a blend of bytes rounds.
// Does nothing when the spans differ in length.
void ComposeAcrylic(const AcrylicComposeInput& in, std::span<uint32_t> out) noexcept;

}  // namespace cardel
