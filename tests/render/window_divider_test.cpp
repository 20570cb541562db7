#include "render/window_divider.h"

#include <gtest/gtest.h>

namespace cardel {
namespace {

// The multiply-and-shift quotient drifts upwards with the sum, so within each quotient the last sum
// before the next multiple is the one that would first come out one too high.
TEST(WindowDivider, ExactForEveryWindowSumOfEveryRadius) {
  for (uint32_t r = 0; r <= 1450; ++r) {
    const uint32_t area = (2 * r + 1) * (2 * r + 1);
    const WindowDivider divide(area);
    for (uint32_t q = 0; q <= 255; ++q) {
      ASSERT_EQ(divide(q * area), q) << "radius " << r;
      if (q < 255) {
        ASSERT_EQ(divide(q * area + area - 1), q) << "radius " << r;
      }
    }
  }
}

TEST(WindowDivider, LargestAreaIsTheLargestWindow) {
  EXPECT_EQ(WindowDivider::kMaxArea, 2901u * 2901u);
  EXPECT_LT(255ull * WindowDivider::kMaxArea, 1ull << 31);
  EXPECT_GT(255ull * (2903u * 2903u), (1ull << 31) - 1);
  static_assert(WindowDivider(25)(9 * 255) == 91);
}

}  // namespace
}  // namespace cardel
