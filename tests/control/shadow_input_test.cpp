#include "control/shadow_input.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "control/property_catalogue.h"

namespace cardel {
namespace {

auto Fields(const BoxShadowInput& in) {
  const OutlineInput& s = in.shape;
  return std::make_tuple(in.backShadow, in.shadow.size, in.shadow.colour, in.shadow.opacity, in.backColorOpacity,
                         in.border, in.clientWidth, in.clientHeight, s.x, s.y, s.width, s.height, s.cornerLeftTop,
                         s.cornerRightTop, s.cornerBottomRight, s.cornerBottomLeft, s.callOut, s.callOutPosition,
                         s.callOutAlign, s.callOutLen, s.callOutWidth, s.callOutCustomPosition,
                         s.callOutRightTriangle, s.borderWidth, s.borderPosition, s.growRadiiByHalfBorder,
                         s.adjustTailForBorder, s.dpiScale);
}

// Whether the box shadow's input changes when the stored value of this property grows by one.
bool ShadowReads(const PropertyInfo& info) {
  CardelState state, changed;
  auto* member = reinterpret_cast<uint8_t*>(&changed) + info.offset;
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
  return Fields(BoxShadowInputFrom(state, 1.0f, {100, 60})) != Fields(BoxShadowInputFrom(changed, 1.0f, {100, 60}));
}

// A value that shapes the box shadow but whose setter does not rebuild it would leave a stale image
// on screen; a setter that rebuilds it for nothing wastes the most expensive step of a paint.
TEST(ShadowInput, EveryStoredValueItReadsRebuildsTheShadowWhenSet) {
  for (const PropertyInfo& info : PropertyCatalogue()) {
    if (info.holder == Holder::Control && ShadowReads(info)) {
      EXPECT_TRUE(info.effects & kRebuildBoxShadow) << "read but not rebuilt: " << testing::PrintToString(info.name);
    }
  }
  for (Prop prop : {Prop::BackShadow, Prop::ShadowSize, Prop::ShadowColor, Prop::ShadowColorOpacity,
                    Prop::BackColorOpacity, Prop::Border, Prop::BorderWidth, Prop::BorderPosition,
                    Prop::BorderCornerLeftTop, Prop::BorderCornerRightTop, Prop::BorderCornerBottomLeft,
                    Prop::BorderCornerBottomRight, Prop::CallOut, Prop::CallOutPosicion, Prop::CallOutAlign,
                    Prop::CallOutLen, Prop::CallOutWidth, Prop::CallOutCustomPosition, Prop::CallOutRightTriangle})
    EXPECT_TRUE(ShadowReads(Describe(prop))) << testing::PrintToString(Describe(prop).name);
  for (Prop prop : {Prop::ShadowOffsetX, Prop::ShadowOffsetY}) {  // offsets only move the image
    EXPECT_FALSE(ShadowReads(Describe(prop)));
    EXPECT_EQ(Describe(prop).effects & kRebuildBoxShadow, 0);
  }
}

// Only False stops the box shadow; any other value casts it.
TEST(ShadowInput, BackShadowIsOnWhenNotFalse) {
  CardelState state;
  for (VARIANT_BOOL v : {VARIANT_BOOL(-1), VARIANT_BOOL(1), VARIANT_BOOL(2), VARIANT_BOOL(0)}) {
    state.BackShadow = v;
    EXPECT_EQ(BoxShadowInputFrom(state, 1.0f, {100, 60}).backShadow, v != 0) << v;
  }
}

}  // namespace
}  // namespace cardel
