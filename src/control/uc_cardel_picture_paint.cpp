// The picture layer of the paint pipeline: the control's properties handed to the brush builder,
// and the cached brush reused until a change of picture, shape or size drops it. The picture itself is
// decoded once, when it is taken; the brush is rebuilt from that image. A retained paint fills the
// outline with the brush once, into a layer of its own.
#include "content/picture_brush.h"
#include "render/colour.h"
#include "control/shadow_input.h"
#include "control/uc_cardel.h"
#include "render/paint_context.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace cardel {

void UcCardel::EnsurePictureBrush(const PaintContext& paint) {
  // The picture is laid out in the box, which the shadow's room and the border move without a
  // setter of the picture's own: a brush built for another box is stale.
  if (pictureBrush_ && !(pictureBox_ == paint.box)) DropPictureLayer();
  if (pictureBrush_) return;
  pictureBox_ = paint.box;
  PictureBrushInput in;
  in.image = pictureImage_.get();
  in.layout = {state_.PictureGetWidth, state_.PictureGetHeight, state_.PictureSetWidth, state_.PictureSetHeight,
               state_.PictureAlignmentH, state_.PictureAlignmentV, state_.PicturePaddingX, state_.PicturePaddingY,
               paint.dpiScale, paint.shape.body};
  builtFrom_.picture = PictureBrushColours();
  const uint32_t tint = ToARGB(state_.PictureColor, 100).argb;
  in.effects = {state_.PictureColorize != 0, static_cast<uint8_t>(tint >> 16), static_cast<uint8_t>(tint >> 8),
                static_cast<uint8_t>(tint), state_.PictureOpacity, state_.PictureContrast,
                state_.PictureBrightness, state_.PictureGrayScale != 0};
  in.angle = state_.PictureAngle;
  in.shadow = {state_.PictureShadow == VARIANT_TRUE, ShadowFrom(state_)};
  in.canvas = paint.client;
  pictureBrush_ = BuildPictureBrush(in);
}

std::pair<COLORREF, COLORREF> UcCardel::PictureBrushColours() const noexcept {
  return {state_.PictureColorize ? ResolvedColour(state_.PictureColor) : CLR_INVALID,
          state_.PictureShadow == VARIANT_TRUE ? ResolvedColour(state_.ShadowColor) : CLR_INVALID};
}

void UcCardel::FillPicture(GpGraphics* graphics, GpPath* path, const PaintContext& paint) {
  EnsurePictureBrush(paint);
  if (pictureBrush_) GdipFillPath(graphics, pictureBrush_.get(), path);
}

void UcCardel::DrawPictureLayer(GpGraphics* graphics, GpPath* path, const PaintContext& paint) {
  if (retained_.picture && !(pictureBox_ == paint.box)) DropPictureLayer();
  if (!retained_.picture) {
    EnsurePictureBrush(paint);
    if (!pictureBrush_) return;
    std::unique_ptr<LayerSurface> layer = LayerSurface::Make(paint.client);
    gdip::UniqueGraphics into;
    if (layer) into = layer->Graphics();
    if (!into) {
      FillPicture(graphics, path, paint);
      return;
    }
    GdipFillPath(into.get(), pictureBrush_.get(), path);
    into.reset();
    retained_.picture = std::move(layer);
    retained_.NoteBuilt(RetainedLayer::Picture);
  }
  GdipDrawImageRectI(graphics, retained_.picture->Image(), 0, 0, paint.client.cx, paint.client.cy);
}

void UcCardel::DropPictureLayer() noexcept {
  pictureBrush_.reset();
  retained_.picture.reset();
}

}  // namespace cardel
