#include "render/box_layout.h"

#include <cstdlib>

#include "common/cardel_interfaces.h"

namespace cardel {
namespace {

CheckedInt Abs(int16_t v) { return std::abs(static_cast<int32_t>(v)); }

}  // namespace

IntRect ComputeBoxRect(const BoxLayoutInput& in) {
  const auto& m = in.metrics;
  const CheckedInt bw = m.borderWidth;
  CheckedInt x, y, w, h;
  if (in.borderPosition == bpInside) {
    w = CheckedInt::Round(in.clientWidth);
    h = CheckedInt::Round(in.clientHeight);
  } else if (in.borderPosition == bpCenter) {
    x = y = bw.Half();
    w = CheckedInt::Round(double(in.clientWidth) - m.borderWidth);
    h = CheckedInt::Round(double(in.clientHeight) - m.borderWidth);
  } else {
    x = y = bw;
    w = CheckedInt::Round(double(in.clientWidth) - 2.0 * m.borderWidth);
    h = CheckedInt::Round(double(in.clientHeight) - 2.0 * m.borderWidth);
  }
  if (in.backShadowIsTrue && in.shadowSizeProperty > 0) {
    const CheckedInt ss = m.shadowSize;
    x = x + ss + (m.shadowOffsetX < 0 ? Abs(m.shadowOffsetX) : CheckedInt{});
    y = y + ss + (m.shadowOffsetY < 0 ? Abs(m.shadowOffsetY) : CheckedInt{});
    w = w - ss - ss - Abs(m.shadowOffsetX);
    h = h - ss - ss - Abs(m.shadowOffsetY);
  }
  return {x.value(), y.value(), w.value(), h.value()};
}

IntRect BoxShadowImageRect(float clientWidth, float clientHeight, int16_t offsetX, int16_t offsetY) {
  return {offsetX > 0 ? offsetX : 0, offsetY > 0 ? offsetY : 0,
          CheckedInt::Round(double(clientWidth) - std::abs(int32_t{offsetX})).value(),
          CheckedInt::Round(double(clientHeight) - std::abs(int32_t{offsetY})).value()};
}

IntRect OutsideBorderRect(float clientWidth, float clientHeight, int16_t borderWidth) {
  const int32_t half = CheckedInt::Round(borderWidth / 2.0).value();
  return {half, half, CheckedInt::Round(double(clientWidth) - borderWidth).value(),
          CheckedInt::Round(double(clientHeight) - borderWidth).value()};
}

}  // namespace cardel
