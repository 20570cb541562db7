#include "render/dpi.h"

#include <windows.h>

#include <gtest/gtest.h>

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

TEST(DpiScale, IsTheScreensHorizontalLogPixelsOver96) {
  EXPECT_EQ(DpiScaleFromLogPixels(0), 1.0);
  EXPECT_EQ(DpiScaleFromLogPixels(96), 1.0);
  EXPECT_EQ(DpiScaleFromLogPixels(120), 1.25);
  EXPECT_EQ(DpiScaleFromLogPixels(144), 1.5);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(GetWindowsDPI(), DpiScaleFromLogPixels(dpi));
}

}  // namespace
}  // namespace cardel
