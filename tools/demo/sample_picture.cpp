#include "sample_picture.h"

#include "common/gdiplus_session.h"
#include "png_file.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace cardel::demo {

std::vector<uint8_t> SampleLandscapePng() {
  gdip::Session session;
  constexpr int kWidth = 160, kHeight = 100;
  gdip::UniqueBitmap bitmap;
  GdipCreateBitmapFromScan0(kWidth, kHeight, 0, PixelFormat32bppARGB, nullptr, bitmap.put());
  gdip::UniqueGraphics g;
  if (!bitmap || GdipGetImageGraphicsContext(bitmap.get(), g.put()) != Ok) return {};

  const GpRectF sky(0, 0, kWidth, kHeight);
  GpLineGradient* skyBrush = nullptr;
  GdipCreateLineBrushFromRectWithAngle(&sky, 0xFF4A90D9, 0xFFBFE3FF, 90, FALSE, WrapModeTileFlipXY, &skyBrush);
  gdip::UniqueBrush skyOwner(skyBrush);
  GdipFillRectangle(g.get(), skyOwner.get(), 0, 0, kWidth, kHeight);

  gdip::UniqueBrush sun, hill, field;
  GpSolidFill* solid = nullptr;
  GdipCreateSolidFill(0xFFFFD24A, &solid);
  sun.reset(solid);
  GdipFillEllipse(g.get(), sun.get(), 108, 14, 34, 34);
  GdipCreateSolidFill(0xFF3C8D4F, &solid);
  hill.reset(solid);
  GdipFillEllipse(g.get(), hill.get(), -40, 58, 150, 90);
  GdipCreateSolidFill(0xFF5DB36B, &solid);
  field.reset(solid);
  GdipFillEllipse(g.get(), field.get(), 50, 66, 170, 80);
  g.reset();
  return EncodePng(bitmap.get());
}

}  // namespace cardel::demo
