#include "render/shadow.h"

#include <gtest/gtest.h>

#include "common/checked_int.h"

namespace cardel {
namespace {

// Box, caption and picture shadows take their radius from here, so all three blur alike at
// every DPI: nearest whole pixel, halves to even.
TEST(ShadowValueTest, LengthsScaleOnceTheSameWayForEveryShadow) {
  const struct {
    Shadow shadow;
    float scale;
    int16_t radius, offsetX, offsetY;
  } cases[] = {
      {{5, 3, -2, 0, 100}, 1.0f, 5, 3, -2},
      {{5, 3, -2, 0, 100}, 1.25f, 6, 4, -2},
      {{5, 3, -3, 0, 100}, 1.5f, 8, 4, -4},
      {{0, 0, 0, 0, 100}, 2.0f, 0, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.shadow.Radius(c.scale), c.radius) << c.scale;
    EXPECT_EQ(c.shadow.ScaledOffsetX(c.scale), c.offsetX) << c.scale;
    EXPECT_EQ(c.shadow.ScaledOffsetY(c.scale), c.offsetY) << c.scale;
  }
  EXPECT_THROW(Shadow{20000}.Radius(2.0f), ArithmeticOverflow);
  EXPECT_THROW((Shadow{0, 0, -20000}.ScaledOffsetY(2.0f)), ArithmeticOverflow);
}

TEST(ShadowValueTest, TheBlurredImageGrowsByTheRadiusOnEverySide) {
  EXPECT_EQ(BlurredRect({10, 20, 100, 60}, 3), (IntRect{7, 17, 106, 66}));
  EXPECT_EQ(BlurredRect({10, 20, 100, 60}, 0), (IntRect{10, 20, 100, 60}));
  EXPECT_THROW(BlurredRect({INT32_MIN, 0, 1, 1}, 1), ArithmeticOverflow);
  EXPECT_THROW(BlurredRect({0, 0, INT32_MAX - 1, 1}, 1), ArithmeticOverflow);
}

}  // namespace
}  // namespace cardel
