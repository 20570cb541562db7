#include "render/box_paint.h"

namespace cardel {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

void FillBackground(GpGraphics* graphics, GpPath* outline, const BackgroundFill& fill) {
  gdip::UniqueBrush brush;
  if (fill.gradient) {
    // The integer-rectangle variant ignores the angle on some GDI+ implementations; the float
    // one takes the same rectangle and honours it everywhere.
    const GpRectF rect(static_cast<REAL>(fill.rect.x), static_cast<REAL>(fill.rect.y),
                       static_cast<REAL>(fill.rect.width), static_cast<REAL>(fill.rect.height));
    GpLineGradient* gradient = nullptr;
    GdipCreateLineBrushFromRectWithAngle(&rect, fill.from, fill.to, fill.angle, FALSE, WrapModeTileFlipXY,
                                         &gradient);
    brush.reset(gradient);
  } else {
    GpSolidFill* solid = nullptr;
    GdipCreateSolidFill(fill.solid, &solid);
    brush.reset(solid);
  }
  if (brush) GdipFillPath(graphics, brush.get(), outline);
}

void StrokeBorder(GpGraphics* graphics, GpPath* outline, uint32_t argb, float width, BorderAlignment alignment) {
  gdip::UniquePen pen;
  GdipCreatePen1(argb, width, UnitPixel, pen.put());
  if (!pen) return;
  if (alignment == BorderAlignment::Inset) GdipSetPenMode(pen.get(), PenAlignmentInset);
  GdipDrawPath(graphics, pen.get(), outline);
}

}  // namespace cardel
