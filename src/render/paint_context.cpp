#include "render/paint_context.h"

#include "common/checked_int.h"
#include "render/dpi.h"

namespace cardel {
namespace {

int16_t Scaled16(int32_t length, float scale) {
  const auto scaled = ScaleLength16(length, scale);
  if (!scaled) throw ArithmeticOverflow{};
  return *scaled;
}

}  // namespace

PaintContext MakePaintContext(const PaintContextInput& in) {
  PaintContext context;
  context.client = in.client;
  context.dpiScale = in.shape.dpiScale;
  context.metrics = {Scaled16(in.shadowSize, context.dpiScale), Scaled16(in.shadowOffsetX, context.dpiScale),
                     Scaled16(in.shadowOffsetY, context.dpiScale), Scaled16(in.shape.borderWidth, context.dpiScale)};
  context.box = ComputeBoxRect({context.width(), context.height(), in.shape.borderPosition, in.backShadowIsTrue,
                                 in.shadowSize, context.metrics});
  context.outline = in.shape;
  context.outline.x = context.box.x;
  context.outline.y = context.box.y;
  context.outline.width = context.box.width;
  context.outline.height = context.box.height;
  OutlineResult built = BuildOutlinePath(context.outline);
  if (built.error) throw ArithmeticOverflow{};
  context.shape = std::move(built.geometry);
  return context;
}

}  // namespace cardel
