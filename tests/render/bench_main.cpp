// cardel-picture-bench: the acrylic blur at two sizes, with SSE2 and without, runs alternating, and
// whether both make the same pixels. The repaints with a picture and with the acrylic layer are
// timed by cardel-bench, through the container.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "render/acrylic_blur.h"
#include "render/acrylic_blur_kernels.h"

using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRuns = 21;

std::vector<uint8_t> Noise(int width, int height) {
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
  std::mt19937 random(1);
  for (uint8_t& v : pixels) v = static_cast<uint8_t>(random());
  return pixels;
}

template <class Run>
double Milliseconds(Run run) {
  const auto start = Clock::now();
  run();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> times) {
  std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
  return times[times.size() / 2];
}

}  // namespace

int main() {
  std::printf("acrylic blur, radius %d (median of %d)\n", cardel::kAcrylicBlurRadius, kRuns);
  bool identical = true;
  for (const auto& [w, h] : {std::pair{300, 100}, std::pair{1000, 600}}) {
    const std::vector<uint8_t> noise = Noise(w, h);
    std::vector<uint8_t> fast = noise, scalar = noise, scratch(noise.size());
    std::vector<uint32_t> sums(static_cast<size_t>(w) * 4);
    const cardel::PixelPlane a{scalar, w, h}, b{scratch, w, h};
    const cardel::BoxRadii r = cardel::BoxRadiiForGaussian(cardel::kAcrylicBlurRadius);
    // The same six passes without SSE2, as on a processor that lacks it.
    const auto scalarBlur = [&] {
      cardel::blur::RowsScalar(a, b, r.first);
      cardel::blur::RowsScalar(b, a, r.second);
      cardel::blur::RowsScalar(a, b, r.third);
      cardel::blur::ColumnsScalar(b, a, r.first, sums.data());
      cardel::blur::ColumnsScalar(a, b, r.second, sums.data());
      cardel::blur::ColumnsScalar(b, a, r.third, sums.data());
    };
    const auto fastBlur = [&] { cardel::GaussianBlur({fast, w, h}, scratch, cardel::kAcrylicBlurRadius); };
    fastBlur();
    scalarBlur();
    const bool same = fast == scalar;
    identical = identical && same;
    std::vector<double> fastTimes, scalarTimes;
    for (int i = 0; i < kRuns; ++i) {
      fastTimes.push_back(Milliseconds(fastBlur));
      scalarTimes.push_back(Milliseconds(scalarBlur));
    }
    std::printf("  %4d x %-4d %8.2f ms (without SSE2 %.2f ms), %s\n", w, h, Median(fastTimes), Median(scalarTimes),
                same ? "identical" : "PIXELS DIFFER");
  }
  return identical ? 0 : 1;
}
