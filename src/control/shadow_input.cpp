#include "control/shadow_input.h"

namespace cardel {

OutlineInput OutlineInputFrom(const CardelState& state, float dpiScale) {
  OutlineInput shape;
  shape.cornerLeftTop = state.BorderCornerLeftTop;
  shape.cornerRightTop = state.BorderCornerRightTop;
  shape.cornerBottomRight = state.BorderCornerBottomRight;
  shape.cornerBottomLeft = state.BorderCornerBottomLeft;
  shape.callOut = state.CallOut != 0;
  shape.callOutPosition = state.CallOutPosicion;
  shape.callOutAlign = state.CallOutAlign;
  shape.callOutLen = state.CallOutLen;
  shape.callOutWidth = state.CallOutWidth;
  shape.callOutCustomPosition = state.CallOutCustomPosition;
  shape.callOutRightTriangle = state.CallOutRightTriangle != 0;
  shape.borderWidth = state.BorderWidth;
  shape.borderPosition = state.BorderPosition;
  shape.dpiScale = dpiScale;
  return shape;
}

Shadow ShadowFrom(const CardelState& state) {
  return {state.ShadowSize, state.ShadowOffsetX, state.ShadowOffsetY, state.ShadowColor, state.ShadowColorOpacity};
}

BoxShadowInput BoxShadowInputFrom(const CardelState& state, float dpiScale, SIZE client) {
  BoxShadowInput in;
  in.backShadow = state.BackShadow != 0;
  in.shadow = ShadowFrom(state);
  in.backColorOpacity = state.BackColorOpacity;
  in.border = state.Border != 0;
  in.shape = OutlineInputFrom(state, dpiScale);
  in.clientWidth = static_cast<float>(client.cx);
  in.clientHeight = static_cast<float>(client.cy);
  return in;
}

}  // namespace cardel
