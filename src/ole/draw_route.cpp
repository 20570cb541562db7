#include "ole/draw_route.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace ole {

DcTraits ReadDcTraits(HDC dc) noexcept {
  DcTraits traits;
  traits.objectType = GetObjectType(dc);
  // A metafile has no device behind it to ask.
  if (traits.objectType == OBJ_METADC) {
    traits.technology = DT_METAFILE;
    traits.pixelAlpha = false;
    return traits;
  }
  traits.technology = GetDeviceCaps(dc, TECHNOLOGY);
  traits.mapMode = GetMapMode(dc);
  if (GetGraphicsMode(dc) == GM_ADVANCED) {
    XFORM world{};
    traits.identityTransform = GetWorldTransform(dc, &world) && world.eM11 == 1.0f && world.eM12 == 0.0f &&
                               world.eM21 == 0.0f && world.eM22 == 1.0f && world.eDx == 0.0f && world.eDy == 0.0f;
  }
  traits.pixelAlpha = (GetDeviceCaps(dc, SHADEBLENDCAPS) & SB_PIXEL_ALPHA) != 0;
  return traits;
}

DrawRoute ChooseDrawRoute(const DcTraits& dc, SIZE bounds, SIZE own) noexcept {
  if (dc.objectType == OBJ_METADC) return DrawRoute::OpaqueBitmap;
  const bool screen = (dc.objectType == OBJ_DC || dc.objectType == OBJ_MEMDC) && dc.technology == DT_RASDISPLAY;
  if (screen && dc.mapMode == MM_TEXT && dc.identityTransform && bounds.cx == own.cx && bounds.cy == own.cy)
    return DrawRoute::Direct;
  // Screens and memory blend whatever their capabilities say (Wine's window DCs claim no alpha);
  // a printer is taken at its word.
  if (dc.technology == DT_RASPRINTER && !dc.pixelAlpha) return DrawRoute::OpaqueBitmap;
  return DrawRoute::BlendBitmap;
}

SIZE SurfaceSize(SIZE device) noexcept {
  double cx = std::clamp<LONG>(device.cx, 1, kMaxSurfaceSide), cy = std::clamp<LONG>(device.cy, 1, kMaxSurfaceSide);
  if (cx * cy > static_cast<double>(kMaxSurfacePixels)) {
    const double shrink = std::sqrt(static_cast<double>(kMaxSurfacePixels) / (cx * cy));
    cx = std::max(1.0, std::floor(cx * shrink));
    cy = std::max(1.0, std::floor(cy * shrink));
  }
  return SIZE{static_cast<LONG>(cx), static_cast<LONG>(cy)};
}

RECT SpannedRect(POINT a, POINT b) noexcept {
  return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

SIZE SpanOf(const RECT& rect) noexcept {
  auto span = [](LONG from, LONG to) {
    return static_cast<LONG>(std::clamp<long long>(static_cast<long long>(to) - from, LONG_MIN, LONG_MAX));
  };
  return SIZE{span(rect.left, rect.right), span(rect.top, rect.bottom)};
}

}  // namespace ole
