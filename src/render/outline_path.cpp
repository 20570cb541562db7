#include "render/outline_path.h"

#include <type_traits>

namespace cardel {

using Gdiplus::DllExports::GdipAddPathArcI;
using Gdiplus::DllExports::GdipAddPathLineI;
using Gdiplus::DllExports::GdipClosePathFigure;
using Gdiplus::DllExports::GdipCreatePath;

void ReplayOutline(const OutlineGeometry& geometry, Gdiplus::GpPath* path) {
  for (const PathOp& op : geometry.figure) {
    std::visit(
        [path](const auto& element) {
          using Element = std::decay_t<decltype(element)>;
          if constexpr (std::is_same_v<Element, PathLine>) {
            GdipAddPathLineI(path, element.x1, element.y1, element.x2, element.y2);
          } else if constexpr (std::is_same_v<Element, PathArc>) {
            GdipAddPathArcI(path, element.x, element.y, element.width, element.height, element.startAngle,
                            element.sweepAngle);
          } else {
            GdipClosePathFigure(path);
          }
        },
        op);
  }
}

gdip::UniquePath CreateOutlinePath(const OutlineGeometry& geometry) {
  gdip::UniquePath path;
  if (GdipCreatePath(Gdiplus::FillModeAlternate, path.put()) != Gdiplus::Ok) return {};
  ReplayOutline(geometry, path.get());
  return path;
}

}  // namespace cardel
