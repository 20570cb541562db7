#include "render/hot_line.h"

#include <cmath>

#include "common/cardel_interfaces.h"

namespace cardel {
namespace {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

constexpr int32_t kLeft = 0, kTop = 1, kRight = 2, kBottom = 3;

struct Rect {
  CheckedInt x, y, w, h;
};

// The band grows into the box from its own side: left and top move the cut-out's near edge,
// right and bottom shorten it.
void Widen(Rect& r, int32_t side, CheckedInt by) {
  switch (side) {
    case kLeft: r.x = r.x + by; break;
    case kTop: r.y = r.y + by; break;
    case kRight: r.w = r.w - by; break;
    case kBottom: r.h = r.h - by; break;
    default: break;
  }
}

}  // namespace

IntRect HotLineCutout(const HotLineInput& in) {
  const double s = in.dpiScale;
  CheckedInt b;
  if (in.borderPosition == bpCenter) b = CheckedInt::Round(in.borderWidth / 2.0 * s);
  if (in.borderPosition == bpOutside) b = CheckedInt::Round(in.borderWidth * s);

  Rect r;
  if (in.borderPosition == bpOutside) {
    // Only the cut-out's edge on the band's side has to meet the box, which an outside border moves in by b.
    if (in.position == kLeft || in.position == kTop) r.x = r.y = b;
    r.w = CheckedInt::Round(in.clientWidth - double(b.value()));
    r.h = CheckedInt::Round(in.clientHeight - double(b.value()));
  } else {
    r.x = r.y = b;
    r.w = CheckedInt::Round(in.clientWidth - 2.0 * b.value());
    r.h = CheckedInt::Round(in.clientHeight - 2.0 * b.value());
  }

  if (in.backShadow) {
    const CheckedInt ss = CheckedInt::Round(float(in.shadowSize) * in.dpiScale);
    if (in.position == kRight || in.position == kBottom) {
      r.x = r.x - ss;
      r.y = r.y - ss;
    } else {
      r.x = r.x + ss;
      r.y = r.y + ss;
    }
    if (in.shadowOffsetX < 0) r.x = CheckedInt::Round(std::fabs(float(in.shadowOffsetX) * in.dpiScale) + double(r.x.value()));
    if (in.shadowOffsetY < 0) r.y = CheckedInt::Round(std::fabs(float(in.shadowOffsetY) * in.dpiScale) + double(r.y.value()));
  }

  Widen(r, in.position, CheckedInt::Round(in.width * s));
  if (in.callOut && in.callOutPosition == in.position) Widen(r, in.position, CheckedInt::Round(in.callOutLength * s));
  return {r.x.value(), r.y.value(), r.w.value(), r.h.value()};
}

void DrawHotLine(GpGraphics* graphics, GpPath* outline, const IntRect& cutout, uint32_t argb) {
  GdipSetClipRectI(graphics, cutout.x, cutout.y, cutout.width, cutout.height, CombineModeExclude);
  const gdip::UniqueBrush brush = gdip::SolidFill(argb);
  if (brush) GdipFillPath(graphics, brush.get(), outline);
  GdipResetClip(graphics);
}

}  // namespace cardel
