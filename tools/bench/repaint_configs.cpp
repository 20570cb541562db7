#include "repaint_configs.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/automation_handles.h"
#include "hosted_control.h"
#include "test_pictures.h"

namespace cardel::bench {
namespace {

constexpr int16_t kCorner = 12;

bool Plain(_ucCardel& c, SIZE) { return SUCCEEDED(host::SetCaption(&c, L"")); }

void Corners(_ucCardel& c) {
  c.put_BorderCornerLeftTop(kCorner);
  c.put_BorderCornerRightTop(kCorner);
  c.put_BorderCornerBottomLeft(kCorner);
  c.put_BorderCornerBottomRight(kCorner);
}

bool Shaped(_ucCardel& c, SIZE) {
  c.put_Gradient(VARIANT_TRUE);
  c.put_GradientColor1(0x00CC6633);
  c.put_GradientColor2(0x0066CCFF);
  c.put_GradientColor1Opacity(100);
  c.put_GradientColor2Opacity(90);
  c.put_GradientAngle(30);
  Corners(c);
  c.put_CallOut(VARIANT_TRUE);
  c.put_CallOutPosicion(coBottom);
  c.put_CallOutAlign(coMidle);
  c.put_CallOutLen(14);
  c.put_CallOutWidth(20);
  c.put_Border(VARIANT_TRUE);
  c.put_BorderWidth(2);
  c.put_BorderPosition(bpCenter);
  c.put_BorderColor(0x00202020);
  c.put_BorderColorOpacity(100);
  return true;
}

bool BoxShadow(_ucCardel& c, SIZE) {
  c.put_ShadowColor(0x00000000);
  // A new control starts with a transparent shadow colour.
  c.put_ShadowColorOpacity(50);
  c.put_ShadowOffsetX(3);
  c.put_ShadowOffsetY(3);
  c.put_ShadowSize(8);
  c.put_BackShadow(VARIANT_TRUE);
  return true;
}

bool CaptionWithShadow(_ucCardel& c, SIZE) {
  c.put_CaptionShadow(VARIANT_TRUE);
  return SUCCEEDED(host::SetCaption(&c, L"Velmar Cardel"));
}

// A picture half the control's size with a partly transparent band, so that every effect changes pixels.
std::vector<uint8_t> PicturePng(SIZE size) {
  const int width = std::max(1L, size.cx / 2), height = std::max(1L, size.cy / 2);
  return testpictures::EncodeBitmap(
      width, height,
      [](int x, int y) {
        const uint32_t alpha = (x / 16 + y / 16) % 4 == 0 ? 0x60u : 0xFFu;
        return alpha << 24 | (x * 5 & 255) << 16 | (y * 3 & 255) << 8 | ((x + y) & 255);
      },
      L"image/png");
}

bool PictureWithEffects(_ucCardel& c, SIZE size) {
  const std::vector<uint8_t> png = PicturePng(size);
  SAFEARRAYBOUND bound{static_cast<ULONG>(png.size()), 0};
  UniqueSafeArray bytes(SafeArrayCreate(VT_UI1, 1, &bound));
  std::memcpy(bytes.get()->pvData, png.data(), png.size());
  // The argument is passed by reference: what comes back is what is to be freed.
  SAFEARRAY* array = bytes.release();
  VARIANT_BOOL loaded = VARIANT_FALSE;
  c.PictureFromStream(&array, &loaded);
  bytes.reset(array);
  c.put_PictureOpacity(80);
  c.put_PictureColorize(VARIANT_TRUE);
  c.put_PictureColor(0x00336699);
  c.put_PictureContrast(25);
  c.put_PictureShadow(VARIANT_TRUE);
  return loaded == VARIANT_TRUE;
}

bool HotLineShown(_ucCardel& c, SIZE) {
  c.put_HotLineColor(0x000000FF);
  c.put_HotLineWidth(5);
  c.put_HotLine(VARIANT_TRUE);
  return true;
}

bool Acrylic(_ucCardel& c, SIZE size) {
  Corners(c);
  c.put_Border(VARIANT_TRUE);
  c.put_BorderWidth(1);
  c.put_FrontColor(0x00FFFFFF);
  c.put_BackColorOpacity(40);
  c.put_BackAcrylicBlur(VARIANT_TRUE);
  return Plain(c, size);
}

constexpr RepaintStep kSteps[] = {
    {"plain", true, false, Plain},
    {"gradient, corners, tail, border", false, false, Shaped},
    {"+ box shadow", false, false, BoxShadow},
    {"+ caption with shadow", false, false, CaptionWithShadow},
    {"+ picture with effects", false, false, PictureWithEffects},
    {"+ hot line", false, false, HotLineShown},
    {"acrylic", true, true, Acrylic},
};

}  // namespace

std::span<const RepaintStep> RepaintSteps() { return kSteps; }

bool ApplyAllOpaqueLayers(_ucCardel& cardel, SIZE size) {
  bool applied = true;
  for (const RepaintStep& step : kSteps) {
    if (step.fresh && &step != kSteps) break;
    applied = step.apply(cardel, size) && applied;
  }
  return applied;
}

}  // namespace cardel::bench
