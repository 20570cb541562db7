// The paint pipeline: every layer of the box, bottom to top, onto a device context or a caller's
// GDI+ surface. Layers keep their own status codes to themselves: a failing GDI+ call only leaves
// its layer out. Only arithmetic overflow from absurd property values, or memory running out, fails the
// paint, thrown for the entry point that asked for it to report in its caller's terms.
#include "content/caption.h"
#include "content/caption_shadow.h"
#include "control/shadow_input.h"
#include "control/uc_cardel.h"
#include "render/acrylic.h"
#include "render/box_layout.h"
#include "render/box_paint.h"
#include "render/colour.h"
#include "render/outline.h"
#include "render/outline_path.h"
#include "render/paint_context.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace cardel {

void UcCardel::RenderBox(HDC dc, GpGraphics* graphics, SIZE client, LONG posX, LONG posY, BoxScale scale,
                         HDC backdrop) {
  // Before anything of the box is drawn, the control's own context holds only the host's background.
  if (state_.BackAcrylicBlur && backdrop && acrylicDc_) CaptureAcrylic(acrylicDc_.get(), backdrop, client);
  gdip::UniqueGraphics own;
  if (!graphics) {
    GdipCreateFromHDC(dc, own.put());
    graphics = own.get();
  }
  if (!graphics) return;
  GdipSetSmoothingMode(graphics, SmoothingModeAntiAlias);
  if (scale.x != 1.0f || scale.y != 1.0f) {
    GdipScaleWorldTransform(graphics, scale.x, scale.y, MatrixOrderAppend);
    // Scaled shadows and pictures are resampled: the smooth filter keeps them from turning blocky.
    GdipSetInterpolationMode(graphics, InterpolationModeHighQualityBilinear);
  }
  GdipTranslateWorldTransform(graphics, static_cast<REAL>(posX), static_cast<REAL>(posY), MatrixOrderAppend);
  RestoreGivenUpShadow();
  FollowColourScheme();
  RenderLayers(graphics, MakePaintContext({client, OutlineInputFrom(state_, dpiScale_), ShadowFrom(state_),
                                           state_.BackShadow == VARIANT_TRUE}));
}

void UcCardel::RenderOnSurface(HDC dc, SIZE size, SIZE client, LONG posX, LONG posY, BoxScale scale,
                               HDC backdrop) {
  gdip::UniqueBitmap bitmap;
  GdipCreateBitmapFromScan0(size.cx, size.cy, size.cx * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(SurfaceBits(dc)),
                            bitmap.put());
  gdip::UniqueGraphics graphics;
  if (bitmap) GdipGetImageGraphicsContext(bitmap.get(), graphics.put());
  if (graphics) RenderBox(dc, graphics.get(), client, posX, posY, scale, backdrop);
}

namespace {

IntRect ShadowPlace(const PaintContext& paint) {
  return BoxShadowImageRect(paint.width(), paint.height(), paint.metrics.shadowOffsetX, paint.metrics.shadowOffsetY);
}

}  // namespace

void UcCardel::FollowColourScheme() noexcept {
  const COLORREF shadow = ResolvedColour(state_.ShadowColor);
  bool stale = false;
  if (boxShadowImage_ && shadow != builtFrom_.boxShadow) {
    BuildBoxShadow();
    stale = true;
  }
  if (captionShadowImage_ && shadow != builtFrom_.captionShadow) {
    captionShadowDirty_ = true;
    stale = true;
  }
  if (pictureBrush_ && PictureBrushColours() != builtFrom_.picture) {
    DropPictureLayer();
    stale = true;
  }
  if (stale) retained_.DropBox();
}

void UcCardel::DrawBoxShadow(GpGraphics* graphics, const PaintContext& paint) {
  if (!boxShadowImage_) return;
  const IntRect at = ShadowPlace(paint);
  GdipDrawImageRectI(graphics, boxShadowImage_.get(), at.x, at.y, at.width, at.height);
}

// Stretching the image is most of the layer's cost: it is stretched once, into a layer of the control's
// size at the place it is drawn, since where a stretch lands changes how it samples.
const LayerSurface* UcCardel::ShadowLayer(const PaintContext& paint) {
  if (!boxShadowImage_) return nullptr;
  const IntRect at = ShadowPlace(paint);
  if (at.width <= 0 || at.height <= 0) return nullptr;
  const SIZE size = paint.client;
  if (retained_.shadow && retained_.shadowAt == at && retained_.shadow->HasSize(size))
    return retained_.shadow.get();
  std::unique_ptr<LayerSurface> stretched = LayerSurface::Recycle(std::move(retained_.shadow), size);
  gdip::UniqueGraphics into;
  if (stretched) into = stretched->Graphics();
  if (!into) return nullptr;
  GdipDrawImageRectI(into.get(), boxShadowImage_.get(), at.x, at.y, at.width, at.height);
  into.reset();
  retained_.shadow = std::move(stretched);
  retained_.shadowAt = at;
  retained_.NoteBuilt(RetainedLayer::Shadow);
  return retained_.shadow.get();
}

void UcCardel::RenderLayers(GpGraphics* graphics, const PaintContext& paint, LayerPass pass) {
  const ScaledMetrics& metrics = paint.metrics;
  if (pass.underAcrylic) DrawBoxShadow(graphics, paint);

  gdip::UniquePath path = CreateOutlinePath(paint.shape);
  if (!path) return;

  if (pass.underAcrylic && state_.BackAcrylicBlur) FillAcrylic(graphics, path.get(), acrylicBitmap_.get());
  if (!pass.aboveAcrylic) return;

  BackgroundFill fill;
  fill.gradient = state_.Gradient != 0;
  if (fill.gradient) {
    fill.from = CheckedArgb(state_.GradientColor1, state_.GradientColor1Opacity);
    fill.to = CheckedArgb(state_.GradientColor2, state_.GradientColor2Opacity);
    fill.angle = static_cast<float>(static_cast<int16_t>(state_.GradientAngle + 90));
    fill.rect = paint.box;
  } else {
    fill.solid = CheckedArgb(state_.FrontColor, state_.BackColorOpacity);
  }
  FillBackground(graphics, path.get(), fill);

  if (state_.PictureExist) {
    if (pass.retained)
      DrawPictureLayer(graphics, path.get(), paint);
    else
      FillPicture(graphics, path.get(), paint);
  }

  if (ringTransfer_) PaintDownloadProgress(graphics, paint);

  if (state_.CaptionShadow) {
    // Checked here too, so a warm cache costs no copy of the caption's properties.
    if (captionShadowDirty_) {
      builtFrom_.captionShadow = ResolvedColour(state_.ShadowColor);
      BuildCaptionShadow(captionShadowImage_, captionShadowDirty_,
                         {paint.shape.body, ShadowFrom(state_), paint.dpiScale},
                         MakeCaptionInputs(paint.client));
    }
    if (captionShadowImage_) {
      const IntRect at = CaptionShadowImageRect(paint.shape.body, metrics);
      GdipDrawImageRectI(graphics, captionShadowImage_.get(), at.x, at.y, at.width, at.height);
    }
  }

  if (state_.HotLine) PaintHotLine(graphics, path.get(), paint);

  // With neither text nor glyph there is nothing to lay out, and the font lookup is the costly part.
  if (!caption_.empty() || state_.IconCharCode != 0) {
    // Only a measuring pass writes the rectangle back; the paint's own body stays as built.
    BodyRect body = paint.shape.body;
    KeptCaption* const kept = pass.retained ? &retained_.caption : nullptr;
    const auto layouts = [&] { return kept ? kept->text.Layouts() + kept->glyph.Layouts() : 0; };
    const uint32_t before = layouts();
    DrawCaption(graphics, body, MakeCaptionInputs(paint.client), CaptionPass::Paint, kept);
    if (layouts() != before) retained_.NoteBuilt(RetainedLayer::Caption);
  }

  if (state_.Border && metrics.borderWidth > 0) {
    const uint32_t colour = CheckedArgb(state_.BorderColor, state_.BorderColorOpacity);
    const float width = metrics.borderWidth;
    if (state_.BorderPosition == bpInside) {
      StrokeBorder(graphics, path.get(), colour, width, BorderAlignment::Inset);
    } else if (state_.BorderPosition == bpOutside) {
      const IntRect frame = OutsideBorderRect(paint.width(), paint.height(), metrics.borderWidth);
      OutlineInput around = paint.outline;
      around.x = frame.x;
      around.y = frame.y;
      around.width = frame.width;
      around.height = frame.height;
      around.growRadiiByHalfBorder = true;
      OutlineResult border = BuildOutlinePath(around);
      if (border.error) RaiseRenderError(*border.error);
      gdip::UniquePath borderPath = CreateOutlinePath(border.geometry);
      if (borderPath) StrokeBorder(graphics, borderPath.get(), colour, width, BorderAlignment::Centered);
    } else {
      StrokeBorder(graphics, path.get(), colour, width, BorderAlignment::Centered);
    }
  }
}

}  // namespace cardel
