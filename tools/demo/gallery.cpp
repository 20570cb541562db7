#include "gallery.h"

#include <functional>

#include "common/automation_handles.h"
#include "common/cardel_interfaces.h"
#include "sample_picture.h"

namespace cardel::demo {
namespace {

using Setup = std::function<void(_ucCardel*)>;

void Place(host::Container& container, RECT rect, const Setup& setup) {
  host::HostedControl& control = container.Add(rect);
  if (auto box = control.Cardel()) setup(box.Get());
}

void Caption(_ucCardel* box, const wchar_t* text) {
  const UniqueBstr owned(SysAllocString(text));
  BSTR caption = owned.get();
  box->put_Caption(&caption);
}

void Corners(_ucCardel* box, short radius) {
  box->put_BorderCornerLeftTop(radius);
  box->put_BorderCornerRightTop(radius);
  box->put_BorderCornerBottomLeft(radius);
  box->put_BorderCornerBottomRight(radius);
}

void FontOf(_ucCardel* box, const wchar_t* name, int points, bool bold, bool icon = false) {
  FONTDESC desc{sizeof(FONTDESC), const_cast<LPOLESTR>(name), {{static_cast<ULONG>(points * 10000), 0}}, static_cast<SHORT>(bold ? FW_BOLD : FW_NORMAL),
                DEFAULT_CHARSET, FALSE, FALSE, FALSE};
  IFontDisp* font = nullptr;
  if (FAILED(OleCreateFontIndirect(&desc, IID_IFontDisp, reinterpret_cast<void**>(&font)))) return;
  if (icon)
    box->putref_IconFont(font);
  else
    box->putref_Font(font);
  font->Release();
}

void Picture(_ucCardel* box, const std::vector<uint8_t>& png) {
  SAFEARRAY* bytes = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(png.size()));
  if (!bytes) return;
  memcpy(bytes->pvData, png.data(), png.size());
  VARIANT_BOOL loaded = VARIANT_FALSE;
  box->PictureFromStream(&bytes, &loaded);
  SafeArrayDestroy(bytes);
}

}  // namespace

void PlaceGallery(host::Container& container) {
  Place(container, {20, 20, 180, 100}, [](_ucCardel* box) {
    box->put_FrontColor(RGB(255, 255, 255));
    box->put_BorderCornerLeftTop(12);
    box->put_BorderCornerRightTop(12);
    box->put_BorderCornerBottomLeft(12);
    box->put_BorderCornerBottomRight(12);
    box->put_Border(VARIANT_TRUE);
    box->put_BorderWidth(2);
    box->put_BorderColor(RGB(40, 90, 160));
    FontOf(box, L"Tahoma", 11, true);
    Caption(box, L"Rounded");
  });
  Place(container, {200, 20, 360, 110}, [](_ucCardel* box) {
    box->put_FrontColor(RGB(255, 244, 200));
    box->put_CallOut(VARIANT_TRUE);
    box->put_CallOutPosicion(coBottom);
    box->put_CallOutAlign(coFirstCorner);
    box->put_CallOutLen(14);
    box->put_CallOutWidth(16);
    box->put_BorderCornerLeftTop(10);
    box->put_BorderCornerRightTop(10);
    box->put_BorderCornerBottomLeft(10);
    box->put_BorderCornerBottomRight(10);
    box->put_Border(VARIANT_TRUE);
    box->put_BorderWidth(1);
    box->put_BorderColor(RGB(150, 120, 40));
    FontOf(box, L"Tahoma", 11, true);
    Caption(box, L"Speech bubble");
  });
  Place(container, {380, 20, 540, 100}, [](_ucCardel* box) {
    box->put_Gradient(VARIANT_TRUE);
    box->put_GradientAngle(0);
    box->put_BorderCornerLeftTop(20);
    box->put_BorderCornerBottomRight(20);
    FontOf(box, L"Tahoma", 11, true);
    Caption(box, L"Gradient");
  });
  Place(container, {20, 140, 180, 220}, [](_ucCardel* box) {
    box->put_FrontColor(RGB(30, 30, 30));
    box->put_BackColorOpacity(60);
    box->put_ForeColor(RGB(255, 255, 255));
    box->put_BorderCornerLeftTop(6);
    box->put_BorderCornerRightTop(6);
    box->put_BorderCornerBottomLeft(6);
    box->put_BorderCornerBottomRight(6);
    FontOf(box, L"Tahoma", 11, true);
    Caption(box, L"60% opaque");
  });
  Place(container, {200, 140, 360, 230}, [](_ucCardel* box) {
    box->put_FrontColor(RGB(220, 245, 225));
    box->put_CallOut(VARIANT_TRUE);
    box->put_CallOutPosicion(coLeft);
    box->put_CallOutAlign(coMidle);
    box->put_CallOutLen(16);
    box->put_CallOutWidth(20);
    box->put_CallOutRightTriangle(VARIANT_TRUE);
    box->put_Border(VARIANT_TRUE);
    box->put_BorderWidth(3);
    box->put_BorderPosition(bpOutside);
    box->put_BorderColor(RGB(40, 140, 70));
    FontOf(box, L"Tahoma", 11, true);
    Caption(box, L"Outside border");
  });
  Place(container, {380, 140, 540, 230}, [](_ucCardel* box) {
    box->put_Gradient(VARIANT_TRUE);
    box->put_GradientAngle(90);
    box->put_GradientColor1(RGB(250, 120, 90));
    box->put_GradientColor2(RGB(250, 210, 90));
    box->put_BorderCornerLeftTop(30);
    box->put_BorderCornerRightTop(30);
    box->put_BorderCornerBottomLeft(30);
    box->put_BorderCornerBottomRight(30);
    box->put_Border(VARIANT_TRUE);
    box->put_BorderWidth(2);
    box->put_BorderPosition(bpInside);
    box->put_BorderColor(RGB(255, 255, 255));
    FontOf(box, L"Tahoma", 11, true);
    Caption(box, L"Pill");
  });
  Place(container, {20, 260, 180, 370}, [](_ucCardel* box) {
    box->put_FrontColor(RGB(255, 255, 255));
    Corners(box, 10);
    box->put_BackShadow(VARIANT_TRUE);
    box->put_ShadowSize(8);
    box->put_ShadowOffsetX(3);
    box->put_ShadowOffsetY(4);
    box->put_ShadowColorOpacity(60);
    FontOf(box, L"Tahoma", 12, true);
    Caption(box, L"Soft shadow");
  });
  Place(container, {200, 260, 360, 370}, [](_ucCardel* box) {
    box->put_FrontColor(RGB(32, 40, 64));
    Corners(box, 12);
    box->put_ForeColor(RGB(255, 255, 255));
    box->put_CaptionShadow(VARIANT_TRUE);
    box->put_ShadowSize(3);
    box->put_ShadowColor(RGB(0, 0, 0));
    box->put_ShadowColorOpacity(100);
    box->put_ShadowColor(RGB(255, 90, 120));
    box->put_ShadowOffsetX(2);
    box->put_ShadowOffsetY(2);
    FontOf(box, L"Tahoma", 11, false);
    FontOf(box, L"FontAwesome", 20, false, true);
    const UniqueBstr code(SysAllocString(L"U+F0E0"));
    box->put_IconCharCode(code.get());
    box->put_IconForeColor(RGB(250, 200, 80));
    box->put_IconOpacity(100);
    box->put_IconAlignmentH(cLeft);
    box->put_IconAlignmentV(cMiddle);
    box->put_IconPaddingX(14);
    box->put_CaptionAlignmentH(cLeft);
    box->put_CaptionPaddingX(50);
    Caption(box, L"Glyph + glow");
  });
  Place(container, {380, 260, 540, 370}, [](_ucCardel* box) {
    box->put_FrontColor(RGB(235, 240, 255));
    Corners(box, 8);
    box->put_HotLine(VARIANT_TRUE);
    box->put_HotLineColor(RGB(60, 110, 220));
    box->put_HotLineWidth(5);
    box->put_HotLinePosition(hlLeft);
    box->put_CaptionAlignmentH(cLeft);
    box->put_CaptionPaddingX(14);
    box->put_CaptionTriming(StringTrimmingEllipsisWord);
    FontOf(box, L"Tahoma", 10, false);
    Caption(box, L"Word wrap with an ellipsis when the text runs longer than the box allows it");
  });
  const std::vector<uint8_t> landscape = SampleLandscapePng();
  Place(container, {20, 400, 180, 500}, [&](_ucCardel* box) {
    Corners(box, 16);
    box->put_PictureAlignmentH(pCenter);
    box->put_PictureAlignmentV(pMiddle);
    box->put_Border(VARIANT_TRUE);
    box->put_BorderWidth(2);
    box->put_BorderColor(RGB(255, 255, 255));
    Picture(box, landscape);
    FontOf(box, L"Tahoma", 11, true);
    box->put_ForeColor(RGB(255, 255, 255));
    box->put_CaptionAlignmentV(cBottom);
    box->put_CaptionPaddingY(6);
    Caption(box, L"Picture");
  });
  Place(container, {200, 400, 360, 500}, [&](_ucCardel* box) {
    box->put_FrontColor(RGB(255, 255, 255));
    Corners(box, 10);
    box->put_PictureGrayScale(VARIANT_TRUE);
    box->put_PictureAngle(-12);
    box->put_PictureSetWidth(90);
    box->put_PictureAlignmentH(pCenter);
    box->put_PictureAlignmentV(pMiddle);
    box->put_PictureShadow(VARIANT_TRUE);
    box->put_ShadowSize(5);
    box->put_ShadowColorOpacity(70);
    box->put_ShadowOffsetX(3);
    box->put_ShadowOffsetY(3);
    Picture(box, landscape);
    Caption(box, L"");
  });
  Place(container, {380, 400, 540, 500}, [](_ucCardel* box) {
    Corners(box, 14);
    box->put_BackAcrylicBlur(VARIANT_TRUE);
    box->put_FrontColor(RGB(255, 255, 255));
    box->put_BackColorOpacity(35);
    box->put_Border(VARIANT_TRUE);
    box->put_BorderWidth(1);
    box->put_BorderColor(RGB(255, 255, 255));
    FontOf(box, L"Tahoma", 12, true);
    Caption(box, L"Acrylic");
  });
  Place(container, {20, 520, 180, 620}, [](_ucCardel* box) {
    box->put_FrontColor(RGB(230, 236, 255));
    Corners(box, 8);
    box->put_CallOut(VARIANT_TRUE);
    box->put_CallOutPosicion(coTop);
    box->put_CallOutAlign(coSecondCorner);
    box->put_CallOutLen(14);
    box->put_CallOutWidth(18);
    FontOf(box, L"Tahoma", 11, true);
    Caption(box, L"Top tail");
  });
  Place(container, {200, 520, 360, 620}, [](_ucCardel* box) {
    box->put_FrontColor(RGB(255, 232, 236));
    Corners(box, 8);
    box->put_CallOut(VARIANT_TRUE);
    box->put_CallOutPosicion(coRight);
    box->put_CallOutAlign(coCustomPosition);
    box->put_CallOutCustomPosition(20);
    box->put_CallOutLen(16);
    box->put_CallOutWidth(16);
    box->put_Border(VARIANT_TRUE);
    box->put_BorderWidth(2);
    box->put_BorderColor(RGB(200, 60, 90));
    FontOf(box, L"Tahoma", 11, true);
    Caption(box, L"Right tail");
  });
  Place(container, {380, 520, 540, 620}, [](_ucCardel* box) {
    box->put_Gradient(VARIANT_TRUE);
    box->put_GradientAngle(45);
    box->put_GradientColor1(RGB(40, 200, 160));
    box->put_GradientColor2(RGB(40, 80, 200));
    box->put_GradientColor2Opacity(60);
    Corners(box, 20);
    box->put_ForeColor(RGB(255, 255, 255));
    FontOf(box, L"Tahoma", 11, true);
    Caption(box, L"45\u00B0 gradient");
  });
}

}  // namespace cardel::demo
