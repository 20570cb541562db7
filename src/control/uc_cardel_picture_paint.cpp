// The picture layer of the paint pipeline: the control's properties handed to the brush builder,
// and the cached brush reused until a change of picture, shape or size drops it. The picture itself is
// decoded once, when it is taken; the brush is rebuilt from that image.
#include "content/picture_brush.h"
#include "render/colour.h"
#include "control/shadow_input.h"
#include "control/uc_cardel.h"
#include "render/paint_context.h"

namespace cardel {

void UcCardel::FillPicture(Gdiplus::GpGraphics* graphics, Gdiplus::GpPath* path, const PaintContext& paint) {
  if (!PictureBrush) {
    PictureBrushInput in;
    in.image = PictureImage.get();
    in.layout = {state_.PictureGetWidth, state_.PictureGetHeight, state_.PictureSetWidth, state_.PictureSetHeight,
                 state_.PictureAlignmentH, state_.PictureAlignmentV, state_.PicturePaddingX, state_.PicturePaddingY,
                 paint.dpiScale, paint.shape.body};
    const uint32_t tint = ToARGB(state_.PictureColor, 100).argb;
    in.effects = {state_.PictureColorize != 0, static_cast<uint8_t>(tint >> 16), static_cast<uint8_t>(tint >> 8),
                  static_cast<uint8_t>(tint), state_.PictureOpacity, state_.PictureContrast,
                  state_.PictureBrightness, state_.PictureGrayScale != 0};
    in.angle = state_.PictureAngle;
    in.shadow = {state_.PictureShadow == VARIANT_TRUE, ShadowFrom(state_)};
    in.canvas = paint.client;
    PictureBrush = BuildPictureBrush(in);
  }
  if (PictureBrush) Gdiplus::DllExports::GdipFillPath(graphics, PictureBrush.get(), path);
}

}  // namespace cardel
