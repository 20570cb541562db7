#include "gallery.h"

#include <functional>

#include "control/cardel_interfaces.h"

namespace cardel::demo {
namespace {

using Setup = std::function<void(_ucCardel*)>;

void Place(testhost::Container& container, RECT rect, const Setup& setup) {
  testhost::HostedControl& control = container.Add(rect);
  if (auto box = control.Cardel()) setup(box.Get());
}

void Caption(_ucCardel* box, const wchar_t* text) {
  BSTR caption = SysAllocString(text);
  box->put_Caption(&caption);
  SysFreeString(caption);
}

}  // namespace

void PlaceGallery(testhost::Container& container) {
  Place(container, {20, 20, 180, 100}, [](_ucCardel* box) {
    box->put_FrontColor(RGB(255, 255, 255));
    box->put_BorderCornerLeftTop(12);
    box->put_BorderCornerRightTop(12);
    box->put_BorderCornerBottomLeft(12);
    box->put_BorderCornerBottomRight(12);
    box->put_Border(VARIANT_TRUE);
    box->put_BorderWidth(2);
    box->put_BorderColor(RGB(40, 90, 160));
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
    Caption(box, L"Speech bubble");
  });
  Place(container, {380, 20, 540, 100}, [](_ucCardel* box) {
    box->put_Gradient(VARIANT_TRUE);
    box->put_GradientAngle(0);
    box->put_BorderCornerLeftTop(20);
    box->put_BorderCornerBottomRight(20);
    Caption(box, L"Gradient");
  });
  Place(container, {20, 140, 180, 220}, [](_ucCardel* box) {
    box->put_FrontColor(RGB(30, 30, 30));
    box->put_BackColorOpacity(60);
    box->put_BorderCornerLeftTop(6);
    box->put_BorderCornerRightTop(6);
    box->put_BorderCornerBottomLeft(6);
    box->put_BorderCornerBottomRight(6);
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
    Caption(box, L"Pill");
  });
}

}  // namespace cardel::demo
