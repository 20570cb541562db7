#include "render/box_paint.h"

#include <new>
#include <vector>

#include "render/inset_polygon.h"

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
    brush = gdip::SolidFill(fill.solid);
  }
  if (brush) GdipFillPath(graphics, brush.get(), outline);
}

namespace {

// The outline as the polygon GDI+ would draw, with arcs as short lines.
std::vector<FloatPoint> FlatOutline(GpPath* outline) {
  constexpr REAL kFlatness = 0.1f;
  gdip::UniquePath flat;
  GdipClonePath(outline, flat.put());
  if (!flat || GdipFlattenPath(flat.get(), nullptr, kFlatness) != Ok) return {};
  INT count = 0;
  if (GdipGetPointCount(flat.get(), &count) != Ok || count < 3) return {};
  std::vector<GpPointF> points(static_cast<size_t>(count));
  if (GdipGetPathPoints(flat.get(), points.data(), count) != Ok) return {};
  std::vector<FloatPoint> polygon;
  polygon.reserve(points.size());
  for (const GpPointF& p : points) polygon.push_back({p.X, p.Y});
  return polygon;
}

// A centred stroke along the outline moved in by half the width covers what an inset pen would,
// on every GDI+; a border wider than the room inside covers all of it.
void StrokeInside(GpGraphics* graphics, GpPath* outline, uint32_t argb, float width) {
  const std::vector<FloatPoint> inset = InsetPolygon(FlatOutline(outline), width / 2);
  if (inset.empty()) {
    FillBackground(graphics, outline, BackgroundFill{.solid = argb});
    return;
  }
  std::vector<GpPointF> points;
  points.reserve(inset.size());
  for (const FloatPoint& p : inset) points.push_back(GpPointF(p.x, p.y));
  const gdip::UniquePen pen = gdip::SolidPen(argb, width);
  if (pen) GdipDrawPolygon(graphics, pen.get(), points.data(), static_cast<INT>(points.size()));
}

}  // namespace

void StrokeBorder(GpGraphics* graphics, GpPath* outline, uint32_t argb, float width, BorderAlignment alignment) {
  if (alignment == BorderAlignment::Inset) {
    StrokeInside(graphics, outline, argb, width);
    return;
  }
  const gdip::UniquePen pen = gdip::SolidPen(argb, width);
  if (!pen) return;
  GdipDrawPath(graphics, pen.get(), outline);
}

}  // namespace cardel
