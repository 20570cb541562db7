// cardel-bench: BlurShadowPixels against the definition it must match bit for bit, on box-sized
// and window-sized shadows, at radii where the definition's cost has grown well past its own; then
// the control's repaint against its bare GDI+ calls.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "blur_reference.h"
#include "render/blur_shadow.h"
#include "picture_load_bench.h"
#include "repaint_bench.h"

namespace {

using cardel::BgraPixels;
using cardel::ShadowRgb;
using Clock = std::chrono::steady_clock;

constexpr ShadowRgb kColour{40, 40, 40};

// A filled box with ragged, partly transparent edges, the kind of mask the shadows are made from.
std::vector<uint8_t> Mask(int width, int height) {
  std::vector<uint8_t> bytes(static_cast<size_t>(width) * height * 4, 0);
  std::mt19937 random(12345);
  const int margin = std::min(width, height) / 10;
  for (int y = margin; y < height - margin; ++y) {
    for (int x = margin; x < width - margin; ++x) {
      const bool edge = x == margin || y == margin || x == width - margin - 1 || y == height - margin - 1;
      bytes[(static_cast<size_t>(y) * width + x) * 4 + 3] = edge ? static_cast<uint8_t>(random()) : 255;
    }
  }
  return bytes;
}

// The best of several runs, in seconds. Both blurs write into buffers allocated beforehand, as the
// control's one writes into the bitmap GDI+ has already made, so allocation costs neither of them.
template <class Run>
double Best(int runs, Run run) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    run();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main() {
  bool allIdentical = true;
  std::printf("%-10s %4s %12s %12s %8s %10s %10s\n", "size", "r", "fast ms", "straight ms", "ratio", "ns/pixel",
              "identical");
  for (const auto& [width, height] : {std::pair{300, 100}, std::pair{1000, 600}}) {
    const std::vector<uint8_t> mask = Mask(width, height);
    const BgraPixels source{mask, width, height, static_cast<size_t>(width) * 4};
    double fastAtFive = 0, perPixelAtFive = 0;
    for (const int r : {5, 10, 20, 50}) {
      const int outWidth = width + 2 * r, outHeight = height + 2 * r;
      const double pixels = double(outWidth) * outHeight;
      std::vector<uint8_t> fastOut(static_cast<size_t>(pixels) * 4), straightOut(fastOut.size());
      const size_t stride = static_cast<size_t>(outWidth) * 4;
      const double fast = Best(30, [&] { cardel::BlurShadowPixels(source, r, kColour, {fastOut, stride}); });
      const double straight = Best(5, [&] { cardel::reference::BlurShadow(source, r, kColour, straightOut); });
      const bool identical = fastOut == straightOut;
      allIdentical = allIdentical && identical;
      if (r == 5) {
        fastAtFive = fast;
        perPixelAtFive = fast / pixels;
      }
      std::printf("%4dx%-5d %4d %12.3f %12.3f %7.1fx %10.2f %10s\n", width, height, r, fast * 1e3, straight * 1e3,
                  straight / fast, fast / pixels * 1e9, identical ? "yes" : "NO");
      if (r == 50) {
        std::printf("%-10s r=50 against r=5: %.2f in all, %.2f per output pixel\n", "", fast / fastAtFive,
                    fast / pixels / perPixelAtFive);
      }
    }
  }
  const bool repaintWithinTarget = cardel::bench::RunRepaintBench();
  const bool picturesWithinTarget = cardel::bench::RunPictureLoadBench();
  return allIdentical && repaintWithinTarget && picturesWithinTarget ? 0 : 1;
}
