#include "render/paint_context.h"

#include <gtest/gtest.h>

#include "common/cardel_interfaces.h"
#include "common/checked_int.h"

namespace cardel {
namespace {

PaintContextInput Input(int32_t borderPosition, int16_t borderWidth, float scale) {
  PaintContextInput in;
  in.client = {200, 100};
  in.shape.borderPosition = borderPosition;
  in.shape.borderWidth = borderWidth;
  in.shape.dpiScale = scale;
  return in;
}

PaintContextInput Shadowed(PaintContextInput in, bool backShadow, int16_t size, int16_t x, int16_t y) {
  in.backShadowIsTrue = backShadow;
  in.shadow = {size, x, y, 0, 100};
  return in;
}

// Every layer reads the box, its body and the scaled lengths from here, so they must agree with
// one another: the body is the box made inclusive, and the room kept follows border and shadow.
TEST(PaintContextTest, OneBoxOneBodyAndTheScaledLengthsForEveryLayer) {
  const struct {
    const char* name;
    PaintContextInput input;
    ScaledMetrics metrics;
    IntRect box;
    BodyRect body;
  } cases[] = {
      {"inside border takes no room", Input(bpInside, 4, 1.0f), {0, 0, 0, 4}, {0, 0, 200, 100}, {0, 0, 199, 99}},
      {"outside border at 144 DPI", Input(bpOutside, 4, 1.5f), {0, 0, 0, 6}, {6, 6, 188, 88}, {6, 6, 187, 87}},
      {"shadow and centred border at 192 DPI", Shadowed(Input(bpCenter, 2, 2.0f), true, 5, 3, -2),
       {10, 6, -4, 4}, {12, 16, 170, 72}, {12, 16, 169, 71}},
      {"a shadow switched off keeps no room", Shadowed(Input(bpInside, 0, 1.0f), false, 5, 3, 3),
       {5, 3, 3, 0}, {0, 0, 200, 100}, {0, 0, 199, 99}},
  };
  for (const auto& c : cases) {
    const PaintContext paint = MakePaintContext(c.input);
    EXPECT_EQ(paint.client.cx, 200) << c.name;
    EXPECT_EQ(paint.dpiScale, c.input.shape.dpiScale) << c.name;
    EXPECT_EQ(paint.metrics.shadowSize, c.metrics.shadowSize) << c.name;
    EXPECT_EQ(paint.metrics.shadowOffsetX, c.metrics.shadowOffsetX) << c.name;
    EXPECT_EQ(paint.metrics.shadowOffsetY, c.metrics.shadowOffsetY) << c.name;
    EXPECT_EQ(paint.metrics.borderWidth, c.metrics.borderWidth) << c.name;
    EXPECT_EQ(paint.box, c.box) << c.name;
    EXPECT_EQ(paint.shape.body, c.body) << c.name;
    EXPECT_FALSE(paint.shape.figure.empty()) << c.name;
  }
}

// A length that leaves 16 bits once scaled fails the whole paint before any layer draws.
TEST(PaintContextTest, AScaledLengthPast16BitsIsOverflow) {
  EXPECT_THROW(MakePaintContext(Shadowed(Input(bpInside, 0, 2.0f), true, 20000, 0, 0)), ArithmeticOverflow);
  EXPECT_THROW(MakePaintContext(Input(bpOutside, 30000, 1.5f)), ArithmeticOverflow);
}

}  // namespace
}  // namespace cardel
