// Where the box, its shadow image and an outside border lie in the client area, without a device.
#include "render/box_layout.h"

#include <gtest/gtest.h>

#include <tuple>

namespace cardel {
namespace {

BoxLayoutInput Layout(int32_t position, int16_t border, bool shadow, int16_t size, int16_t dx, int16_t dy) {
  return {100, 60, position, shadow, size, ScaledMetrics{size, dx, dy, border}};
}

TEST(BoxLayoutTest, BoxRectangleKeepsRoomForBorderAndShadow) {
  const std::tuple<const char*, BoxLayoutInput, IntRect> cases[] = {
      {"inside, no shadow", Layout(0, 4, false, 0, 0, 0), {0, 0, 100, 60}},
      {"shadow 5 thrown to (3, 3)", Layout(0, 0, true, 5, 3, 3), {5, 5, 87, 47}},
      {"shadow 5 thrown to (-3, -3)", Layout(0, 0, true, 5, -3, -3), {8, 8, 87, 47}},
      {"shadow thrown to (-3, 2)", Layout(0, 0, true, 5, -3, 2), {8, 5, 87, 48}},
      {"shadow off keeps no room", Layout(0, 0, false, 5, 3, 3), {0, 0, 100, 60}},
      {"centred border 4", Layout(1, 4, false, 0, 0, 0), {2, 2, 96, 56}},
      {"centred border 5 halves by truncation", Layout(1, 5, false, 0, 0, 0), {2, 2, 95, 55}},
      {"centred border with shadow", Layout(1, 4, true, 5, 3, 3), {7, 7, 83, 43}},
      {"outside border 4", Layout(2, 4, false, 0, 0, 0), {4, 4, 92, 52}},
      {"outside border with shadow", Layout(2, 4, true, 5, -3, -3), {12, 12, 79, 39}},
      {"unknown position is outside", Layout(7, 4, false, 0, 0, 0), {4, 4, 92, 52}},
  };
  for (const auto& [what, input, box] : cases) EXPECT_EQ(ComputeBoxRect(input), box) << what;

  BoxLayoutInput zero_property = Layout(0, 0, true, 5, 3, 3);
  zero_property.shadowSizeProperty = 0;
  EXPECT_EQ(ComputeBoxRect(zero_property), (IntRect{0, 0, 100, 60})) << "a shadow of size 0 takes no room";
  BoxLayoutInput half = Layout(0, 0, false, 0, 0, 0);
  half.clientWidth = 100.5f;
  half.clientHeight = 61.5f;
  EXPECT_EQ(ComputeBoxRect(half), (IntRect{0, 0, 100, 62})) << "sizes round half to even";
  BoxLayoutInput absurd = Layout(2, 0, false, 0, 0, 0);
  absurd.clientWidth = 3e9f;
  EXPECT_THROW(ComputeBoxRect(absurd), ArithmeticOverflow);
}

// The shadow image spans the control less the offset towards its side; the outside border runs along the
// middle of a frame at the edge, its half width rounded to even.
TEST(BoxLayoutTest, ShadowImageAndOutsideBorderRectangles) {
  EXPECT_EQ(BoxShadowImageRect(100, 60, 3, 3), (IntRect{3, 3, 97, 57}));
  EXPECT_EQ(BoxShadowImageRect(100, 60, -3, -3), (IntRect{0, 0, 97, 57}));
  EXPECT_EQ(BoxShadowImageRect(100, 60, 4, -2), (IntRect{4, 0, 96, 58}));
  EXPECT_EQ(OutsideBorderRect(100, 60, 4), (IntRect{2, 2, 96, 56}));
  EXPECT_EQ(OutsideBorderRect(100, 60, 5), (IntRect{2, 2, 95, 55}));
  EXPECT_EQ(OutsideBorderRect(100, 60, 3), (IntRect{2, 2, 97, 57}));
}

}  // namespace
}  // namespace cardel
