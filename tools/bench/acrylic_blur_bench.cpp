#include "acrylic_blur_bench.h"

#include <cstdio>
#include <random>
#include <utility>
#include <vector>

#include "render/acrylic_blur.h"
#include "render/acrylic_blur_kernels.h"
#include "timing.h"

namespace cardel::bench {
namespace {

std::vector<uint8_t> Noise(int width, int height) {
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
  std::mt19937 random(1);
  for (uint8_t& v : pixels) v = static_cast<uint8_t>(random());
  return pixels;
}

}  // namespace

bool RunAcrylicBlurBench() {
  std::printf("\nacrylic blur, radius %d (median ms, runs alternating)\n", kAcrylicBlurRadius);
  bool identical = true;
  for (const auto& [w, h] : {std::pair{300, 100}, std::pair{1000, 600}}) {
    const std::vector<uint8_t> noise = Noise(w, h);
    std::vector<uint8_t> fast = noise, scalar = noise, scratch(noise.size());
    std::vector<uint32_t> sums(static_cast<size_t>(w) * 4);
    const PixelPlane a{scalar, w, h}, b{scratch, w, h};
    const BoxRadii r = BoxRadiiForGaussian(kAcrylicBlurRadius);
    // The same six passes without SSE2.
    const auto scalarBlur = [&] {
      blur::RowsScalar(a, b, r.first);
      blur::RowsScalar(b, a, r.second);
      blur::RowsScalar(a, b, r.third);
      blur::ColumnsScalar(b, a, r.first, sums.data());
      blur::ColumnsScalar(a, b, r.second, sums.data());
      blur::ColumnsScalar(b, a, r.third, sums.data());
    };
    const auto fastBlur = [&] { GaussianBlur({fast, w, h}, scratch, kAcrylicBlurRadius); };
    fastBlur();
    scalarBlur();
    const bool same = fast == scalar;
    identical = identical && same;
    const Timings t = Interleaved({{fastBlur, {}}, {scalarBlur, {}}});
    std::printf("  %4d x %-4d %8.2f ms (without SSE2 %.2f ms), %s\n", w, h, t.medians[0] * 1e3, t.medians[1] * 1e3,
                same ? "identical" : "PIXELS DIFFER");
  }
  return identical;
}

}  // namespace cardel::bench
