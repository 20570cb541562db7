#pragma once
// The one description of the control's stored scalar properties: published name and DISPID, where
// the value lives and how wide it is, its value in a newly placed control, its clamp, and what a
// change invalidates. Setters, getters, initialisation and the tests all read this table.
#include <windows.h>
#include <oaidl.h>
#include <olectl.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace cardel {

enum class Prop : uint8_t {
  AutoSize, PictureColorize, PictureShadow, PictureColor, PictureSetHeight, PictureSetWidth, PictureContrast,
  PictureBrightness, PictureGrayScale, CallOutCustomPosition, CallOutRightTriangle, CallOut, CallOutWidth,
  CallOutLen, CallOutPosicion, CallOutAlign, CaptionTriming, ShadowOffsetX, ShadowOffsetY, ShadowColor,
  ShadowColorOpacity, ShadowSize, BorderCornerLeftTop, BorderCornerRightTop, BorderCornerBottomLeft,
  BorderCornerBottomRight, FrontColor, BackColor, BackColorOpacity, BackAcrylicBlur, BackShadow, Border,
  BorderColor, BorderColorOpacity, BorderPosition, BorderWidth, CaptionShadow, CaptionShowPrefix, CaptionAngle,
  CaptionBorderColor, CaptionBorderWidth, CaptionAlignmentH, CaptionAlignmentV, CaptionPaddingX, CaptionPaddingY,
  Enabled, ForeColor, ForeColorOpacity, Gradient, GradientAngle, GradientColor1, GradientColor1Opacity,
  GradientColor2, GradientColor2Opacity, PictureAngle, PictureAlignmentH, PictureAlignmentV, PictureOpacity,
  PicturePaddingY, PicturePaddingX, WordWrap, MouseToParent, OLEDropMode, HotLine, HotLineColor,
  HotLineColorOpacity, HotLineWidth, HotLinePosition, Redraw, MousePointer, MousePointerHands, IconForeColor,
  IconAlignmentH, IconAlignmentV, IconOpacity, IconPaddingY, IconPaddingX,
  Count
};

// What a setter does after storing, in this order.
enum Effect : uint16_t {
  kNotify = 1 << 0,
  kAcrylic = 1 << 1,               // prepare or release the acrylic surface with the new value
  kBoxShadow = 1 << 2,             // BuildBoxShadow
  kPictureBrush = 1 << 3,          // drop the picture brush
  kPictureBrushIfShadow = 1 << 4,  // drop it only while PictureShadow is exactly True
  kCaptionShadow = 1 << 5,         // dispose the caption shadow image
  kCaptionDirty = 1 << 6,          // the caption shadow must be rebuilt
  kAutoSize = 1 << 7,              // size the control to its content
  kRepaint = 1 << 8,
};

enum class Holder : uint8_t { Control, Host };

struct PropertyInfo {
  Prop prop;
  const wchar_t* name;
  DISPID dispid;
  Holder holder;
  uint16_t offset;         // of the member inside CardelState or ole::HostHeldProperties
  uint8_t storedBytes;     // 2 or 4
  uint8_t publishedBytes;  // 2 or 4
  std::optional<int32_t> initial;  // set by the new-control initialisation when present
  std::optional<int32_t> min;
  std::optional<int32_t> max;
  uint16_t effects;
};

// Properties outside the scalar table, which have representations of their own.
namespace dispids {
constexpr DISPID Caption = 0x6803002C;
constexpr DISPID Font = 0x68030026;
constexpr DISPID MouseIcon = 0x6803000A;
constexpr DISPID IconCharCode = 0x68030007;
constexpr DISPID IconFont = 0x68030000;
}  // namespace dispids

std::span<const PropertyInfo> PropertyCatalogue() noexcept;
const PropertyInfo& Describe(Prop prop) noexcept;

// `ClampValue`: min is tested first, then max.
int32_t ClampValue(int32_t value, const std::optional<int32_t>& min, const std::optional<int32_t>& max) noexcept;

}  // namespace cardel
