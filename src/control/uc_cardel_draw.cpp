// The paint pipeline: every layer of the box, bottom to top, onto a device context or a caller's
// GDI+ surface. Layers keep their own status codes to themselves: a failing GDI+ call only leaves
// its layer out. Only arithmetic overflow from absurd property values, or memory running out, fails the call.
#include "content/caption.h"
#include "control/shadow_input.h"
#include "control/uc_cardel.h"
#include "render/acrylic.h"
#include "render/box_layout.h"
#include "render/box_paint.h"
#include "render/caption_shadow.h"
#include "render/colour.h"
#include "render/dpi.h"
#include "render/outline.h"
#include "render/outline_path.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;
using ole::RuntimeError;

namespace cardel {

HRESULT UcCardel::RenderBox(HDC dc, GpGraphics* graphics, LONG posX, LONG posY, BoxScale scale) noexcept {
  // Before anything of the box is drawn, the control's own context holds only the host's background.
  if (state_.BackAcrylicBlur && PaintDc && AcrylicDC) CaptureAcrylic(AcrylicDC.get(), PaintDc, ClientSize());
  gdip::UniqueGraphics own;
  if (!graphics) {
    GdipCreateFromHDC(dc, own.put());
    graphics = own.get();
  }
  if (!graphics) return S_OK;
  GdipSetSmoothingMode(graphics, SmoothingModeAntiAlias);
  if (scale.x != 1.0f || scale.y != 1.0f) {
    GdipScaleWorldTransform(graphics, scale.x, scale.y, MatrixOrderAppend);
    // Scaled shadows and pictures are resampled: the smooth filter keeps them from turning blocky.
    GdipSetInterpolationMode(graphics, InterpolationModeHighQualityBilinear);
  }
  GdipTranslateWorldTransform(graphics, static_cast<REAL>(posX), static_cast<REAL>(posY), MatrixOrderAppend);
  return Guard([&] {
    RenderLayers(graphics);
    return S_OK;
  });
}

HRESULT UcCardel::RenderOnSurface(HDC dc, SIZE size, LONG posX, LONG posY, BoxScale scale) noexcept {
  gdip::UniqueBitmap bitmap;
  GdipCreateBitmapFromScan0(size.cx, size.cy, size.cx * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(SurfaceBits(dc)),
                            bitmap.put());
  gdip::UniqueGraphics graphics;
  if (bitmap) GdipGetImageGraphicsContext(bitmap.get(), graphics.put());
  if (!graphics) return S_OK;
  return RenderBox(dc, graphics.get(), posX, posY, scale);
}

void UcCardel::RenderLayers(GpGraphics* graphics) {
  const ScaledMetrics metrics{Scaled16(state_.ShadowSize, DpiScale), Scaled16(state_.ShadowOffsetX, DpiScale),
                              Scaled16(state_.ShadowOffsetY, DpiScale), Scaled16(state_.BorderWidth, DpiScale)};
  const SIZE client = ClientSize();
  const float sw = static_cast<float>(client.cx), sh = static_cast<float>(client.cy);

  const IntRect box = ComputeBoxRect({sw, sh, state_.BorderPosition, state_.BackShadow == VARIANT_TRUE,
                                      state_.ShadowSize, metrics});
  if (BoxShadowImage) {
    const IntRect at = BoxShadowImageRect(sw, sh, metrics.shadowOffsetX, metrics.shadowOffsetY);
    GdipDrawImageRectI(graphics, BoxShadowImage.get(), at.x, at.y, at.width, at.height);
  }

  OutlineInput outline = OutlineInputFrom(state_, DpiScale);
  outline.x = box.x;
  outline.y = box.y;
  outline.width = box.width;
  outline.height = box.height;
  OutlineResult shape = BuildOutlinePath(outline);
  if (shape.error) throw ArithmeticOverflow{};
  gdip::UniquePath path = CreateOutlinePath(shape.geometry);
  if (!path) return;

  if (state_.BackAcrylicBlur) FillAcrylic(graphics, path.get(), AcrylicBitmap.get());

  BackgroundFill fill;
  fill.gradient = state_.Gradient != 0;
  if (fill.gradient) {
    fill.from = CheckedArgb(state_.GradientColor1, state_.GradientColor1Opacity);
    fill.to = CheckedArgb(state_.GradientColor2, state_.GradientColor2Opacity);
    fill.angle = static_cast<float>(static_cast<int16_t>(state_.GradientAngle + 90));
    fill.rect = box;
  } else {
    fill.solid = CheckedArgb(state_.FrontColor, state_.BackColorOpacity);
  }
  FillBackground(graphics, path.get(), fill);

  if (state_.PictureExist) FillPicture(graphics, path.get(), shape.geometry.body);

  if (DownloadProperty) PaintDownloadProgress(graphics, shape.geometry.body);

  if (state_.CaptionShadow) {
    // Checked here too, so a warm cache costs no copy of the caption's properties.
    if (CaptionShadowDirty)
      BuildCaptionShadow(CaptionShadowImage, CaptionShadowDirty,
                         {shape.geometry.body, state_.ShadowSize, metrics.shadowSize, state_.ShadowColor},
                         MakeCaptionInputs());
    if (CaptionShadowImage) {
      const IntRect at = CaptionShadowImageRect(shape.geometry.body, metrics);
      GdipDrawImageRectI(graphics, CaptionShadowImage.get(), at.x, at.y, at.width, at.height);
    }
  }

  if (state_.HotLine) PaintHotLine(graphics, path.get());

  // With neither text nor glyph there is nothing to lay out, and the font lookup is the costly part.
  if (!caption_.empty() || state_.IconCharCode != 0)
    DrawCaption(graphics, shape.geometry.body, MakeCaptionInputs(), CaptionPass::Paint);

  if (state_.Border && metrics.borderWidth > 0) {
    const uint32_t colour = CheckedArgb(state_.BorderColor, state_.BorderColorOpacity);
    const float width = metrics.borderWidth;
    if (state_.BorderPosition == bpInside) {
      StrokeBorder(graphics, path.get(), colour, width, BorderAlignment::Inset);
    } else if (state_.BorderPosition == bpOutside) {
      const IntRect frame = OutsideBorderRect(sw, sh, metrics.borderWidth);
      OutlineInput around = outline;
      around.x = frame.x;
      around.y = frame.y;
      around.width = frame.width;
      around.height = frame.height;
      around.growRadiiByHalfBorder = true;
      OutlineResult border = BuildOutlinePath(around);
      if (border.error) throw ArithmeticOverflow{};
      gdip::UniquePath borderPath = CreateOutlinePath(border.geometry);
      if (borderPath) StrokeBorder(graphics, borderPath.get(), colour, width, BorderAlignment::Centered);
    } else {
      StrokeBorder(graphics, path.get(), colour, width, BorderAlignment::Centered);
    }
  }
}

}  // namespace cardel
