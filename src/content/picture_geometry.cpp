#include "content/picture_geometry.h"

#include "common/checked_int.h"

namespace cardel {
namespace {

constexpr int32_t kNear = 0, kCentre = 1, kFar = 2;

int32_t Position(int32_t alignment, int32_t start, int32_t extent, int32_t drawn, double padding) {
  switch (alignment) {
    case kNear: return CheckedInt::Round(start + padding).value();
    case kCentre: return CheckedInt::Round(extent / 2.0 + start - drawn / 2.0 + padding).value();
    case kFar: return CheckedInt::Round(static_cast<double>(start) + extent - drawn - padding).value();
    default: return start;
  }
}

}  // namespace

IntRect PlacePicture(const PictureLayoutInput& in) {
  const double wi = in.imageWidth, hi = in.imageHeight;
  const double tw = in.setWidth ? in.setWidth : wi;
  const double th = in.setHeight ? in.setHeight : hi;
  const double k = th / hi >= tw / wi ? tw / wi : th / hi;
  const double s = in.dpiScale;
  IntRect r;
  r.width = CheckedInt::Round(wi * k * s).value();
  r.height = CheckedInt::Round(hi * k * s).value();
  r.x = Position(in.alignH, in.body.x, in.body.width, r.width, in.paddingX * s);
  r.y = Position(in.alignV, in.body.y, in.body.height, r.height, in.paddingY * s);
  return r;
}

TurnedRect TurnAboutCentre(const IntRect& placed, int16_t angle) {
  if (angle == 0) return {0, 0, 0, placed};
  const CheckedInt halfWidth = CheckedInt{placed.width}.Half(), halfHeight = CheckedInt{placed.height}.Half();
  return {static_cast<float>(angle), static_cast<float>((CheckedInt{placed.x} + halfWidth).value()),
          static_cast<float>((CheckedInt{placed.y} + halfHeight).value()),
          IntRect{-halfWidth.value(), -halfHeight.value(), placed.width, placed.height}};
}

}  // namespace cardel
