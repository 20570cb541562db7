#include "render/dpi.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "common/ole_units.h"
#include "common/checked_int.h"

namespace cardel {
namespace {

TEST(ScaleLength, RoundsHalvesToEvenWithin32Bits) {
  const struct {
    int32_t length;
    float scale;
    std::optional<int32_t> scaled;  // nothing: Overflow
  } cases[] = {
      {5, 1.5f, 8},   {3, 1.5f, 4},  {1, 1.5f, 2},     {10, 1.25f, 12}, {6, 1.25f, 8},
      {-3, 1.5f, -4}, {5, 1.25f, 6}, {7, 1.25f, 9},    {0, 1.75f, 0},   {INT32_MAX, 1.0f, INT32_MAX},
      {1717986918, 1.25f, std::nullopt}, {-1717986918, 1.25f, INT32_MIN}, {INT32_MAX, 1.5f, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ScaleLength(c.length, c.scale), c.scaled) << c.length << " x " << c.scale;
  EXPECT_EQ(ScaleLength16(26213, 1.25f), int16_t{32766});
  EXPECT_EQ(ScaleLength16(26214, 1.25f), std::nullopt);
  EXPECT_EQ(ScaleLength16(-26214, 1.25f), int16_t{INT16_MIN});
}

TEST(Scaled16, GivesTheScaledLengthOrRaisesOverflow) {
  EXPECT_EQ(Scaled16(26213, 1.25f), 32766);
  EXPECT_EQ(Scaled16(-26214, 1.25f), INT16_MIN);
  EXPECT_THROW(Scaled16(26214, 1.25f), ArithmeticOverflow);
  EXPECT_THROW(Scaled16(INT32_MIN, 1.0f), ArithmeticOverflow);
}

TEST(Narrow16, KeepsWhatSixteenBitsHoldAndRaisesOverflowBeyond) {
  for (const int64_t fits : {int64_t{0}, int64_t{-1}, int64_t{INT16_MAX}, int64_t{INT16_MIN}})
    EXPECT_EQ(Narrow16(fits), fits);
  for (const int64_t beyond : {int64_t{INT16_MAX} + 1, int64_t{INT16_MIN} - 1, int64_t{65535}, int64_t{INT32_MAX} + 1})
    EXPECT_THROW(Narrow16(beyond), ArithmeticOverflow) << beyond;
}

TEST(DpiScale, IsTheScreensHorizontalLogPixelsOver96) {
  EXPECT_EQ(DpiScaleFromLogPixels(0), 1.0);
  EXPECT_EQ(DpiScaleFromLogPixels(96), 1.0);
  EXPECT_EQ(DpiScaleFromLogPixels(120), 1.25);
  EXPECT_EQ(DpiScaleFromLogPixels(144), 1.5);
  EXPECT_EQ(GetWindowsDPI(), DpiScaleFromLogPixels(ScreenPixelsPerInch().cx));
}

}  // namespace
}  // namespace cardel
