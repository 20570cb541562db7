#include "render/paint_context.h"

#include "common/checked_int.h"
#include "render/dpi.h"

namespace cardel {

PaintContext MakePaintContext(const PaintContextInput& in) {
  PaintContext context;
  context.client = in.client;
  context.dpiScale = in.shape.dpiScale;
  const float scale = context.dpiScale;
  const auto border = ScaleLength16(in.shape.borderWidth, scale);
  if (!border) throw ArithmeticOverflow{};
  context.metrics = {in.shadow.Radius(scale), in.shadow.ScaledOffsetX(scale), in.shadow.ScaledOffsetY(scale), *border};
  context.box = ComputeBoxRect({context.width(), context.height(), in.shape.borderPosition, in.backShadowIsTrue,
                                 in.shadow.size, context.metrics});
  context.outline = in.shape;
  context.outline.x = context.box.x;
  context.outline.y = context.box.y;
  context.outline.width = context.box.width;
  context.outline.height = context.box.height;
  OutlineResult built = BuildOutlinePath(context.outline);
  if (built.error) RaiseRenderError(*built.error);
  context.shape = std::move(built.geometry);
  return context;
}

}  // namespace cardel
