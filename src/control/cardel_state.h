#pragma once
// The control's stored property values, named after the properties that own them. Widths are the
// stored widths: a few 16-bit published properties keep 32 bits, and two 32-bit published ones 16.
#include <windows.h>
#include <oaidl.h>
#include <olectl.h>

#include <cstdint>

namespace cardel {

struct CardelState {
  VARIANT_BOOL CallOut = 0;
  int32_t CallOutPosicion = 0;
  int32_t CallOutAlign = 0;
  int32_t CallOutLen = 0;
  int32_t CallOutWidth = 0;
  int32_t CallOutCustomPosition = 0;
  VARIANT_BOOL CallOutRightTriangle = 0;
  OLE_COLOR FrontColor = 0;
  int16_t BackColorOpacity = 0;
  VARIANT_BOOL BackAcrylicBlur = 0;
  VARIANT_BOOL BackShadow = 0;
  VARIANT_BOOL Border = 0;
  OLE_COLOR BorderColor = 0;
  int16_t BorderColorOpacity = 0;
  int32_t BorderPosition = 0;
  int16_t BorderCornerLeftTop = 0;
  int16_t BorderCornerRightTop = 0;
  int16_t BorderCornerBottomLeft = 0;
  int16_t BorderCornerBottomRight = 0;
  int16_t BorderWidth = 0;
  int16_t ShadowSize = 0;
  OLE_COLOR ShadowColor = 0;
  int16_t ShadowOffsetX = 0;
  int16_t ShadowOffsetY = 0;
  int16_t ShadowColorOpacity = 0;
  int32_t CaptionAlignmentH = 0;
  int32_t CaptionAlignmentV = 0;
  int16_t CaptionPaddingX = 0;
  int16_t CaptionPaddingY = 0;
  int32_t CaptionTriming = 0;
  int16_t CaptionBorderWidth = 0;
  OLE_COLOR CaptionBorderColor = 0;
  VARIANT_BOOL CaptionShadow = 0;
  int16_t CaptionAngle = 0;
  VARIANT_BOOL CaptionShowPrefix = 0;
  VARIANT_BOOL AutoSize = 0;
  VARIANT_BOOL MousePointerHands = 0;
  OLE_COLOR ForeColor = 0;
  int16_t ForeColorOpacity = 0;
  VARIANT_BOOL Gradient = 0;
  int16_t GradientAngle = 0;
  OLE_COLOR GradientColor1 = 0;
  int16_t GradientColor1Opacity = 0;
  OLE_COLOR GradientColor2 = 0;
  int16_t GradientColor2Opacity = 0;
  int16_t PictureAngle = 0;
  int32_t PictureAlignmentH = 0;
  int32_t PictureAlignmentV = 0;
  int16_t PicturePaddingX = 0;
  int16_t PicturePaddingY = 0;
  int32_t PictureGetWidth = 0;
  int32_t PictureGetHeight = 0;
  int32_t PictureSetWidth = 0;
  int32_t PictureSetHeight = 0;
  VARIANT_BOOL PictureExist = 0;
  VARIANT_BOOL PictureGrayScale = 0;
  int16_t PictureContrast = 0;
  int16_t PictureBrightness = 0;
  int16_t PictureOpacity = 0;
  OLE_COLOR PictureColor = 0;
  VARIANT_BOOL PictureColorize = 0;
  VARIANT_BOOL PictureShadow = 0;
  VARIANT_BOOL MouseToParent = 0;
  VARIANT_BOOL HotLine = 0;
  OLE_COLOR HotLineColor = 0;
  int16_t HotLineColorOpacity = 0;
  int32_t HotLineWidth = 0;
  int32_t HotLinePosition = 0;
  int32_t IconCharCode = 0;
  OLE_COLOR IconForeColor = 0;
  int16_t IconPaddingX = 0;
  int16_t IconPaddingY = 0;
  int32_t IconAlignmentH = 0;
  int32_t IconAlignmentV = 0;
  int16_t IconOpacity = 0;
  VARIANT_BOOL WordWrap = 0;
  VARIANT_BOOL Redraw = VARIANT_TRUE;
  VARIANT_BOOL IsMouseEnter = 0;
  VARIANT_BOOL IsMouseOver = 0;
};

}  // namespace cardel
