#include "control/shadow_input.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "control/property_catalogue.h"

namespace cardel {
namespace {

auto Fields(const BoxShadowInput& in) {
  const OutlineInput& s = in.shape;
  return std::make_tuple(in.backShadow, in.shadowSize, in.shadowColor, in.shadowColorOpacity, in.backColorOpacity,
                         in.border, in.clientWidth, in.clientHeight, s.x, s.y, s.width, s.height, s.cornerLeftTop,
                         s.cornerRightTop, s.cornerBottomRight, s.cornerBottomLeft, s.callOut, s.callOutPosition,
                         s.callOutAlign, s.callOutLen, s.callOutWidth, s.callOutCustomPosition,
                         s.callOutRightTriangle, s.borderWidth, s.borderPosition, s.growRadiiByHalfBorder,
                         s.adjustTailForBorder, s.dpiScale);
}

void Bump(CardelState& state, const PropertyInfo& info) {
  auto* member = reinterpret_cast<uint8_t*>(&state) + info.offset;
  if (info.storedBytes == 2) {
    int16_t v;
    std::memcpy(&v, member, 2);
    v = static_cast<int16_t>(v + 1);
    std::memcpy(member, &v, 2);
  } else {
    int32_t v;
    std::memcpy(&v, member, 4);
    ++v;
    std::memcpy(member, &v, 4);
  }
}

constexpr SIZE kClient{100, 60};

// A value that shapes the box shadow but whose setter does not rebuild it would leave a stale image
// on screen; a setter that rebuilds it for nothing wastes the most expensive step of a paint.
TEST(ShadowInput, EveryStoredValueItReadsRebuildsTheShadowWhenSet) {
  for (const PropertyInfo& info : PropertyCatalogue()) {
    if (info.holder != Holder::Control) continue;
    CardelState state;
    CardelState changed = state;
    Bump(changed, info);
    const bool read = Fields(BoxShadowInputFrom(state, 1.0f, kClient)) !=
                      Fields(BoxShadowInputFrom(changed, 1.0f, kClient));
    const bool rebuilds = (info.effects & kBoxShadow) != 0;
    if (read) {
      EXPECT_TRUE(rebuilds) << "read but not rebuilt: " << testing::PrintToString(info.name);
    }
  }
}

TEST(ShadowInput, ReadsEveryShapingProperty) {
  for (Prop prop : {Prop::BackShadow, Prop::ShadowSize, Prop::ShadowColor, Prop::ShadowColorOpacity,
                    Prop::BackColorOpacity, Prop::Border, Prop::BorderWidth, Prop::BorderPosition,
                    Prop::BorderCornerLeftTop, Prop::BorderCornerRightTop, Prop::BorderCornerBottomLeft,
                    Prop::BorderCornerBottomRight, Prop::CallOut, Prop::CallOutPosicion, Prop::CallOutAlign,
                    Prop::CallOutLen, Prop::CallOutWidth, Prop::CallOutCustomPosition, Prop::CallOutRightTriangle}) {
    CardelState state;
    CardelState changed = state;
    Bump(changed, Describe(prop));
    EXPECT_NE(Fields(BoxShadowInputFrom(state, 1.0f, kClient)), Fields(BoxShadowInputFrom(changed, 1.0f, kClient)))
        << testing::PrintToString(Describe(prop).name);
  }
}

TEST(ShadowInput, OffsetsOnlyMoveTheShadow) {
  for (Prop prop : {Prop::ShadowOffsetX, Prop::ShadowOffsetY}) {
    CardelState state;
    CardelState changed = state;
    Bump(changed, Describe(prop));
    EXPECT_EQ(Fields(BoxShadowInputFrom(state, 1.0f, kClient)), Fields(BoxShadowInputFrom(changed, 1.0f, kClient)));
    EXPECT_EQ(Describe(prop).effects & kBoxShadow, 0);
  }
}

// Only False stops the box shadow; any other value casts it.
TEST(ShadowInput, BackShadowIsOnWhenNotFalse) {
  CardelState state;
  for (VARIANT_BOOL v : {VARIANT_BOOL(-1), VARIANT_BOOL(1), VARIANT_BOOL(2)}) {
    state.BackShadow = v;
    EXPECT_TRUE(BoxShadowInputFrom(state, 1.0f, kClient).backShadow) << v;
  }
  state.BackShadow = 0;
  EXPECT_FALSE(BoxShadowInputFrom(state, 1.0f, kClient).backShadow);
}

}  // namespace
}  // namespace cardel
