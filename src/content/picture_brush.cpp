#include "content/picture_brush.h"

#include "common/checked_int.h"
#include "picture/image_decode.h"
#include "render/blur_shadow_bitmap.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace cardel {
namespace {

void SetMatrix(GpImageAttributes* attributes, const ColourMatrix& m) {
  static_assert(sizeof(ColorMatrix) == sizeof(ColourMatrix));
  ColorMatrix matrix;
  for (int row = 0; row < 5; ++row)
    for (int c = 0; c < 5; ++c) matrix.m[row][c] = m[row][c];
  GdipSetImageAttributesColorMatrix(attributes, ColorAdjustTypeDefault, TRUE, &matrix, nullptr,
                                    ColorMatrixFlagsDefault);
}

// Wine loses a row or column when drawing into a negative size, so a turn is always drawn with a
// positive one: the same picture, turned about the same centre.
void DrawTurned(GpGraphics* canvas, GpImage* image, const IntRect& placed, int16_t angle, int32_t sourceWidth,
                int32_t sourceHeight, GpImageAttributes* attributes) {
  const TurnedRect turned = TurnAboutCentre(placed, angle);
  if (angle != 0) {
    GdipRotateWorldTransform(canvas, turned.angle, MatrixOrderPrepend);
    GdipTranslateWorldTransform(canvas, turned.originX, turned.originY, MatrixOrderAppend);
  }
  GdipDrawImageRectRectI(canvas, image, turned.rect.x, turned.rect.y, turned.rect.width, turned.rect.height, 0, 0,
                         sourceWidth, sourceHeight, UnitPixel, attributes, nullptr, nullptr);
  if (angle != 0) GdipResetWorldTransform(canvas);
}

void DrawShadow(GpGraphics* canvas, GpImage* image, const PictureBrushInput& in, const IntRect& placed,
                int32_t imageWidth, int32_t imageHeight, GpImageAttributes* attributes) {
  const Shadow& shadow = in.shadow.shadow;
  if (!in.shadow.on || shadow.size < 1 || shadow.opacity < 1) return;
  ImageType type = ImageTypeUnknown;
  if (GdipGetImageType(image, &type) != Ok || type != ImageTypeBitmap) return;
  const int16_t ss = shadow.Radius(in.layout.dpiScale);
  gdip::UniqueBitmap blurred =
      BlurShadow(reinterpret_cast<GpBitmap*>(image), shadow.colour, ss, 0, 0, imageWidth, imageHeight);
  if (!blurred) return;

  ColourMatrix m = PictureColourMatrix(in.effects);
  m[3][3] = shadow.opacity / 100.0f;
  SetMatrix(attributes, m);
  const CheckedInt grow = CheckedInt{ss} + ss;
  const IntRect around = BlurredRect({(CheckedInt{placed.x} + shadow.offsetX).value(),
                                      (CheckedInt{placed.y} + shadow.offsetY).value(), placed.width, placed.height},
                                     ss);
  DrawTurned(canvas, blurred.get(), around, in.angle, (grow + imageWidth).value(), (grow + imageHeight).value(),
             attributes);
}

}  // namespace

gdip::UniqueBrush BuildPictureBrush(const PictureBrushInput& in) {
  gdip::UniqueImage decoded = in.image ? gdip::UniqueImage{} : LoadImageFromBytes(in.bytes);
  GpImage* const picture = in.image ? in.image : decoded.get();
  if (!picture) return {};
  UINT width = 0, height = 0;
  GdipGetImageWidth(picture, &width);
  GdipGetImageHeight(picture, &height);
  if (width == 0 || height == 0 || width > INT32_MAX || height > INT32_MAX) return {};
  const auto imageWidth = static_cast<int32_t>(width), imageHeight = static_cast<int32_t>(height);

  gdip::UniqueImageAttributes attributes;
  if (GdipCreateImageAttributes(attributes.put()) != Ok) return {};
  gdip::UniqueBitmap canvas;
  if (GdipCreateBitmapFromScan0(in.canvas.cx, in.canvas.cy, 0, PixelFormat32bppARGB, nullptr, canvas.put()) != Ok)
    return {};
  gdip::UniqueGraphics graphics;
  if (GdipGetImageGraphicsContext(canvas.get(), graphics.put()) != Ok) return {};
  GdipSetSmoothingMode(graphics.get(), SmoothingModeAntiAlias);

  PictureLayoutInput layout = in.layout;
  layout.imageWidth = imageWidth;
  layout.imageHeight = imageHeight;
  const IntRect placed = PlacePicture(layout);

  DrawShadow(graphics.get(), picture, in, placed, imageWidth, imageHeight, attributes.get());
  SetMatrix(attributes.get(), PictureColourMatrix(in.effects));
  DrawTurned(graphics.get(), picture, placed, in.angle, imageWidth, imageHeight, attributes.get());
  graphics.reset();

  GpTexture* texture = nullptr;
  if (GdipCreateTexture(canvas.get(), WrapModeTile, &texture) != Ok) return {};
  return gdip::UniqueBrush(texture);
}

}  // namespace cardel
