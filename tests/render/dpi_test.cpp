#include "render/dpi.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>

namespace cardel {
namespace {

struct ScaleCase {
  int32_t length;
  float scale;
  std::optional<int32_t> scaled;  // nothing: Overflow
};

std::ostream& operator<<(std::ostream& os, const ScaleCase& c) {
  return os << c.length << " x " << c.scale;
}

class ScaleLengthTest : public testing::TestWithParam<ScaleCase> {};

TEST_P(ScaleLengthTest, RoundsHalvesToEvenWithin32Bits) {
  const ScaleCase& c = GetParam();
  EXPECT_EQ(ScaleLength(c.length, c.scale), c.scaled);
}

INSTANTIATE_TEST_SUITE_P(Ties, ScaleLengthTest, testing::Values(
    ScaleCase{5, 1.5f, 8},
    ScaleCase{3, 1.5f, 4},
    ScaleCase{1, 1.5f, 2},
    ScaleCase{10, 1.25f, 12},
    ScaleCase{6, 1.25f, 8},
    ScaleCase{-3, 1.5f, -4},
    ScaleCase{-5, 1.5f, -8}));

INSTANTIATE_TEST_SUITE_P(NonTies, ScaleLengthTest, testing::Values(
    ScaleCase{5, 1.25f, 6},
    ScaleCase{7, 1.25f, 9},
    ScaleCase{100, 1.0f, 100},
    ScaleCase{0, 1.75f, 0}));

INSTANTIATE_TEST_SUITE_P(Range, ScaleLengthTest, testing::Values(
    ScaleCase{INT32_MAX, 1.0f, INT32_MAX},
    ScaleCase{1717986918, 1.25f, std::nullopt},
    ScaleCase{-1717986918, 1.25f, INT32_MIN},
    ScaleCase{INT32_MAX, 1.5f, std::nullopt}));

TEST(ScaleLength16, OverflowsPast16Bits) {
  EXPECT_EQ(ScaleLength16(26213, 1.25f), int16_t{32766});
  EXPECT_EQ(ScaleLength16(26214, 1.25f), std::nullopt);
  EXPECT_EQ(ScaleLength16(-26214, 1.25f), int16_t{INT16_MIN});
  EXPECT_EQ(ScaleLength16(30000, 1.25f), std::nullopt);
  EXPECT_EQ(ScaleLength16(5, 1.5f), int16_t{8});
}

TEST(DpiScale, FromLogPixels) {
  EXPECT_EQ(DpiScaleFromLogPixels(0), 1.0);
  EXPECT_EQ(DpiScaleFromLogPixels(96), 1.0);
  EXPECT_EQ(DpiScaleFromLogPixels(120), 1.25);
  EXPECT_EQ(DpiScaleFromLogPixels(144), 1.5);
  EXPECT_EQ(DpiScaleFromLogPixels(192), 2.0);
}

TEST(DpiScale, WindowsDpiIsTheScreensHorizontalDpi) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(GetWindowsDPI(), DpiScaleFromLogPixels(dpi));
}

}  // namespace
}  // namespace cardel
