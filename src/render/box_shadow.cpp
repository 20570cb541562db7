#include "render/box_shadow.h"

#include "common/checked_int.h"
#include "render/blur_shadow_bitmap.h"
#include "render/colour.h"
#include "render/outline_path.h"

namespace cardel {
namespace {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

bool CastsShadow(const BoxShadowInput& in) {
  if (!in.backShadow || in.shadow.size == 0 || in.shadow.opacity == 0) return false;
  // A transparent box without a border has nothing to cast a shadow with.
  return in.backColorOpacity != 0 || in.border;
}

void PaintShape(GpGraphics* graphics, GpPath* path, const BoxShadowInput& in) {
  const uint32_t colour = CheckedArgb(in.shadow.colour, in.shadow.opacity);
  if (in.backColorOpacity > 0) {
    const gdip::UniqueBrush brush = gdip::SolidFill(colour);
    if (brush) GdipFillPath(graphics, brush.get(), path);
    return;
  }
  // Twice the border's width, centred on the outline that already follows the border's outer edge.
  const float width = static_cast<float>(in.shape.borderWidth) * in.shape.dpiScale * 2;
  const gdip::UniquePen pen = gdip::SolidPen(colour, width);
  if (pen) GdipDrawPath(graphics, pen.get(), path);
}

}  // namespace

gdip::UniqueBitmap RenderBoxShadow(const BoxShadowInput& in) {
  if (!CastsShadow(in)) return {};
  const int16_t ss = in.shadow.Radius(in.shape.dpiScale);
  const int32_t twice = Narrow16(2 * int32_t{ss});
  const int32_t w = CheckedInt::Round(double(in.clientWidth) - twice).value();
  const int32_t h = CheckedInt::Round(double(in.clientHeight) - twice).value();
  if (w <= 0 || h <= 0) return {};

  OutlineInput shape = in.shape;
  shape.x = shape.y = 0;
  shape.width = w;
  shape.height = h;
  shape.growRadiiByHalfBorder = true;
  shape.adjustTailForBorder = true;
  const OutlineResult outline = BuildOutlinePath(shape);
  if (outline.error) RaiseRenderError(*outline.error);

  gdip::UniqueBitmap mask;
  GdipCreateBitmapFromScan0(w, h, 0, PixelFormat32bppPARGB, nullptr, mask.put());
  if (!mask) return {};
  {
    gdip::UniqueGraphics graphics;
    GdipGetImageGraphicsContext(mask.get(), graphics.put());
    const gdip::UniquePath path = CreateOutlinePath(outline.geometry);
    if (!graphics || !path) return {};
    GdipSetSmoothingMode(graphics.get(), SmoothingModeAntiAlias);
    PaintShape(graphics.get(), path.get(), in);
  }
  return BlurShadow(mask.get(), in.shadow.colour, ss, 0, 0, w, h);
}

}  // namespace cardel
