#include "render/colour.h"

#include <gtest/gtest.h>

#include "common/checked_int.h"

namespace cardel {
namespace {

// Alpha is |opacity| x 255 / 100 rounded half to even: 50 -> 127.5 -> 128, 30 -> 76.5 -> 76, 10 -> 25.5 -> 26.
TEST(ComposeArgb, SwapsRedAndBlueAndRoundsTheAlphaHalfToEven) {
  const struct {
    COLORREF rgb;
    int32_t opacity;
    uint32_t argb;
  } cases[] = {
      {0x0000FF, 100, 0xFFFF0000}, {0x123456, 100, 0xFF563412}, {0xAB123456, 100, 0xFF563412},
      {0xFF0000, 50, 0x800000FF},  {0, 30, 0x4C000000},         {0, 10, 0x1A000000},
      {0, 70, 0xB2000000},         {0, 1, 0x03000000},          {0xFFFFFF, 0, 0x00FFFFFF},
      {0, 40, 0x66000000},         {0, -40, 0x66000000},        {0, -100, 0xFF000000},
  };
  for (const auto& c : cases) {
    const ArgbResult result = ComposeARGB(c.rgb, c.opacity);
    EXPECT_FALSE(result.error) << c.opacity;
    EXPECT_EQ(result.argb, c.argb) << std::hex << c.rgb << std::dec << " at " << c.opacity;
  }
  for (int32_t opacity : {101, -101, INT32_MAX, INT32_MIN})
    EXPECT_EQ(ComposeARGB(0, opacity).error, RenderError::Overflow) << opacity;
}

TEST(ToArgb, TranslatesSystemColoursAndKeepsTheOverflow) {
  EXPECT_EQ(ToARGB(0x0000FF, 100).argb, 0xFFFF0000u);
  EXPECT_EQ(ToARGB(0xFF0000, 50).argb, 0x800000FFu);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const ArgbResult result = ToARGB(0x8000000F, 100);
  EXPECT_FALSE(result.error);
  EXPECT_EQ(result.argb, 0xFF000000u | GetRValue(face) << 16 | GetGValue(face) << 8 | GetBValue(face));
  EXPECT_EQ(ToARGB(0x8000000F, 101).error, RenderError::Overflow);
}

TEST(CheckedArgb, IsToArgbWithItsErrorRaised) {
  EXPECT_EQ(CheckedArgb(0xFF0000, 50), 0x800000FFu);
  EXPECT_EQ(CheckedArgb(0x8000000F, 100), ToARGB(0x8000000F, 100).argb);
  EXPECT_THROW(CheckedArgb(0x8000000F, 101), ArithmeticOverflow);
  EXPECT_THROW(CheckedArgb(0, -101), ArithmeticOverflow);
}

}  // namespace
}  // namespace cardel
