#include "render/acrylic_blur_kernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace cardel::blur {
namespace {

struct Planes {
  std::vector<uint8_t> in, scalar, sse2;
  int width, height;
  Planes(int w, int h, unsigned seed) : in(size_t(w) * h * 4), scalar(in.size()), sse2(in.size()), width(w), height(h) {
    std::mt19937 random(seed);
    for (uint8_t& v : in) v = static_cast<uint8_t>(random());
  }
  PixelPlane Of(std::vector<uint8_t>& bytes) { return {bytes, width, height}; }
};

// The window's mean by plain division, rounded to nearest (windows are odd, so there are no ties).
uint8_t ExactMean(const std::vector<uint8_t>& in, int width, int height, int x, int y, int c, int r, bool rows) {
  int sum = 0;
  for (int d = -r; d <= r; ++d) {
    const int sx = rows ? std::clamp(x + d, 0, width - 1) : x, sy = rows ? y : std::clamp(y + d, 0, height - 1);
    sum += in[(size_t(sy) * width + sx) * 4 + c];
  }
  return static_cast<uint8_t>((sum + r) / (2 * r + 1));
}

TEST(WindowMeanTest, IsExactForEverySumOfEveryWindowUpToTheWidest) {
  for (int window = 3; window <= kWidestExactWindow; window += 2) {
    const WindowMean mean(window);
    ASSERT_LE(mean.multiplier, 0xFFFFu);
    for (uint32_t sum = 0; sum <= 255u * window; ++sum)
      ASSERT_EQ(mean(sum), (sum + window / 2) / window) << window << " " << sum;
  }
}

TEST(BlurKernelsTest, BothRowPassesGiveTheExactMeans) {
  if (!HasSse2()) GTEST_SKIP() << "no SSE2";
  for (const int r : {1, 2, 8, 31, 63}) {
    Planes p(37, 5, r);
    RowsScalar(p.Of(p.in), p.Of(p.scalar), r);
    RowsSse2(p.Of(p.in), p.Of(p.sse2), r);
    EXPECT_EQ(p.scalar, p.sse2) << r;
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x)
        for (int c = 0; c < 4; ++c)
          ASSERT_EQ(p.scalar[(size_t(y) * p.width + x) * 4 + c], ExactMean(p.in, p.width, p.height, x, y, c, r, true));
  }
}

TEST(BlurKernelsTest, BothColumnPassesGiveTheExactMeansWhateverTheRowLength) {
  if (!HasSse2()) GTEST_SKIP() << "no SSE2";
  for (const int width : {1, 3, 4, 5, 17}) {
    for (const int r : {1, 8, 60}) {
      Planes p(width, 23, width * 100 + r);
      std::vector<uint32_t> sums32(size_t(width) * 4);
      std::vector<uint16_t> sums16(size_t(width) * 4);
      ColumnsScalar(p.Of(p.in), p.Of(p.scalar), r, sums32.data());
      ColumnsSse2(p.Of(p.in), p.Of(p.sse2), r, sums16.data());
      EXPECT_EQ(p.scalar, p.sse2) << width << " " << r;
      for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < width; ++x)
          for (int c = 0; c < 4; ++c)
            ASSERT_EQ(p.scalar[(size_t(y) * width + x) * 4 + c], ExactMean(p.in, width, p.height, x, y, c, r, false));
    }
  }
}

}  // namespace
}  // namespace cardel::blur
