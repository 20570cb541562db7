#include "render/colour.h"

#include <gtest/gtest.h>

#include <ostream>

namespace cardel {
namespace {

using ole::RuntimeError;

struct ArgbCase {
  COLORREF rgb;
  int32_t opacity;
  uint32_t argb;
};

std::ostream& operator<<(std::ostream& os, const ArgbCase& c) {
  return os << std::hex << "0x" << c.rgb << std::dec << " at " << c.opacity << '%';
}

class ComposeArgbTest : public testing::TestWithParam<ArgbCase> {};

TEST_P(ComposeArgbTest, GivesArgb) {
  const ArgbCase& c = GetParam();
  const ArgbResult result = ComposeARGB(c.rgb, c.opacity);
  EXPECT_FALSE(result.error);
  EXPECT_EQ(result.argb, c.argb);
}

INSTANTIATE_TEST_SUITE_P(ChannelOrder, ComposeArgbTest, testing::Values(
    ArgbCase{0x0000FF, 100, 0xFFFF0000},
    ArgbCase{0x00FF00, 100, 0xFF00FF00},
    ArgbCase{0xFF0000, 100, 0xFF0000FF},
    ArgbCase{0x123456, 100, 0xFF563412},
    ArgbCase{0xAB123456, 100, 0xFF563412}));

INSTANTIATE_TEST_SUITE_P(AlphaRoundsHalvesToEven, ComposeArgbTest, testing::Values(
    ArgbCase{0xFF0000, 50, 0x800000FF},
    ArgbCase{0x000000, 30, 0x4C000000},
    ArgbCase{0x000000, 10, 0x1A000000},
    ArgbCase{0x000000, 70, 0xB2000000},
    ArgbCase{0x000000, 90, 0xE6000000},
    ArgbCase{0x000000, 1, 0x03000000},
    ArgbCase{0x000000, 40, 0x66000000}));

INSTANTIATE_TEST_SUITE_P(OpacityExtremes, ComposeArgbTest, testing::Values(
    ArgbCase{0xFFFFFF, 0, 0x00FFFFFF},
    ArgbCase{0x0000FF, 0, 0x00FF0000},
    ArgbCase{0x000000, -40, 0x66000000},
    ArgbCase{0x000000, -100, 0xFF000000}));

TEST(ComposeArgb, OpacityBeyondOneHundredIsOverflow) {
  for (int32_t opacity : {101, -101, 200, INT32_MAX, INT32_MIN}) {
    EXPECT_EQ(ComposeARGB(0, opacity).error, RuntimeError::Overflow) << opacity;
  }
}

TEST(ToArgb, PlainRgbPassesThrough) {
  EXPECT_EQ(ToARGB(0x0000FF, 100).argb, 0xFFFF0000u);
  EXPECT_EQ(ToARGB(0xFF0000, 50).argb, 0x800000FFu);
}

TEST(ToArgb, SystemColourBecomesItsCurrentRgb) {
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const uint32_t expected = 0xFF000000u | GetRValue(face) << 16 | GetGValue(face) << 8 | GetBValue(face);
  const ArgbResult result = ToARGB(0x8000000F, 100);
  EXPECT_FALSE(result.error);
  EXPECT_EQ(result.argb, expected);
}

TEST(ToArgb, OpacityOverflowSurvivesTranslation) {
  EXPECT_EQ(ToARGB(0x8000000F, 101).error, RuntimeError::Overflow);
  EXPECT_FALSE(ToARGB(0x8000000F, 100).error);
}

}  // namespace
}  // namespace cardel
