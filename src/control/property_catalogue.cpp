#include "control/property_catalogue.h"

#include <array>

#include "control/cardel_state.h"
#include "ole/control_base.h"

namespace cardel {
namespace {

#define STATE(member) Holder::Control, offsetof(CardelState, member), sizeof(CardelState::member)
#define HOST(member) Holder::Host, offsetof(ole::HostHeldProperties, member), sizeof(ole::HostHeldProperties::member)

constexpr std::optional<int32_t> none;
constexpr int32_t kTrue = -1;
constexpr uint16_t N = kNotify, R = kRepaint, BS = kBoxShadow, PB = kPictureBrush, PBs = kPictureBrushIfShadow,
                   CS = kCaptionShadow, CD = kCaptionDirty;

constexpr std::array<PropertyInfo, static_cast<size_t>(Prop::Count)> kCatalogue{{
    {Prop::AutoSize, L"AutoSize", 0x68030057, STATE(AutoSize), 2, none, none, none, kAutoSize},
    {Prop::PictureColorize, L"PictureColorize", 0x68030056, STATE(PictureColorize), 2, none, none, none, N | PB | R},
    {Prop::PictureShadow, L"PictureShadow", 0x68030055, STATE(PictureShadow), 2, none, none, none, N | PB | R},
    {Prop::PictureColor, L"PictureColor", 0x68030054, STATE(PictureColor), 4, none, none, none, N | PB | R},
    {Prop::PictureSetHeight, L"PictureSetHeight", 0x68030053, STATE(PictureSetHeight), 4, none, none, none, N | PB | R},
    {Prop::PictureSetWidth, L"PictureSetWidth", 0x68030051, STATE(PictureSetWidth), 4, none, none, none, N | PB | R},
    {Prop::PictureContrast, L"PictureContrast", 0x6803004F, STATE(PictureContrast), 4, none, -100, 100, N | PB | R},
    {Prop::PictureBrightness, L"PictureBrightness", 0x6803004E, STATE(PictureBrightness), 4, none, -100, 100,
     N | PB | R},
    {Prop::PictureGrayScale, L"PictureGrayScale", 0x6803004D, STATE(PictureGrayScale), 2, none, none, none, N | PB | R},
    {Prop::CallOutCustomPosition, L"CallOutCustomPosition", 0x6803004C, STATE(CallOutCustomPosition), 4, none, none,
     none, N | BS | PB | R},
    {Prop::CallOutRightTriangle, L"CallOutRightTriangle", 0x6803004B, STATE(CallOutRightTriangle), 2, none, none, none,
     N | BS | R},
    {Prop::CallOut, L"CallOut", 0x6803004A, STATE(CallOut), 2, none, none, none, N | BS | PB | R},
    {Prop::CallOutWidth, L"CallOutWidth", 0x68030049, STATE(CallOutWidth), 2, none, none, none, N | BS | PB | R},
    {Prop::CallOutLen, L"CallOutLen", 0x68030048, STATE(CallOutLen), 2, none, none, none, N | BS | PB | R},
    {Prop::CallOutPosicion, L"CallOutPosicion", 0x68030047, STATE(CallOutPosicion), 4, none, none, none,
     N | BS | PB | R},
    {Prop::CallOutAlign, L"CallOutAlign", 0x68030046, STATE(CallOutAlign), 4, none, none, none, N | BS | PB | R},
    {Prop::CaptionTriming, L"CaptionTriming", 0x68030045, STATE(CaptionTriming), 4, none, none, none, N | CD | R},
    {Prop::ShadowOffsetX, L"ShadowOffsetX", 0x68030044, STATE(ShadowOffsetX), 2, none, none, none, N | PBs | R},
    {Prop::ShadowOffsetY, L"ShadowOffsetY", 0x68030043, STATE(ShadowOffsetY), 2, none, none, none, N | PBs | R},
    {Prop::ShadowColor, L"ShadowColor", 0x68030042, STATE(ShadowColor), 4, none, none, none, N | PBs | BS | R},
    {Prop::ShadowColorOpacity, L"ShadowColorOpacity", 0x68030041, STATE(ShadowColorOpacity), 2, none, 0, 100,
     N | PBs | BS | R},
    {Prop::ShadowSize, L"ShadowSize", 0x68030040, STATE(ShadowSize), 2, none, 0, 100, N | BS | PBs | R},
    {Prop::BorderCornerLeftTop, L"BorderCornerLeftTop", 0x6803003F, STATE(BorderCornerLeftTop), 2, none, none, none,
     N | BS | PB | R},
    {Prop::BorderCornerRightTop, L"BorderCornerRightTop", 0x6803003E, STATE(BorderCornerRightTop), 2, none, none,
     none, N | BS | PB | R},
    {Prop::BorderCornerBottomLeft, L"BorderCornerBottomLeft", 0x6803003D, STATE(BorderCornerBottomLeft), 2, none,
     none, none, N | BS | PB | R},
    {Prop::BorderCornerBottomRight, L"BorderCornerBottomRight", 0x6803003C, STATE(BorderCornerBottomRight), 2, none,
     none, none, N | BS | PB | R},
    {Prop::FrontColor, L"FrontColor", 0x6803003B, STATE(FrontColor), 4, none, none, none, N | R},
    {Prop::BackColor, L"BackColor", 0x6803003A, HOST(BackColor), 4, none, none, none, N | R},
    {Prop::BackColorOpacity, L"BackColorOpacity", 0x68030039, STATE(BackColorOpacity), 2, 100, 0, 100, N | BS | R},
    {Prop::BackAcrylicBlur, L"BackAcrylicBlur", 0x68030038, STATE(BackAcrylicBlur), 2, none, none, none,
     N | kAcrylic | BS | R},
    {Prop::BackShadow, L"BackShadow", 0x68030037, STATE(BackShadow), 2, none, none, none, N | BS | R},
    {Prop::Border, L"Border", 0x68030036, STATE(Border), 2, none, none, none, N | BS | R},
    {Prop::BorderColor, L"BorderColor", 0x68030035, STATE(BorderColor), 4, int32_t(0x8000000A), none, none, N | R},
    {Prop::BorderColorOpacity, L"BorderColorOpacity", 0x68030034, STATE(BorderColorOpacity), 2, 100, 0, 100, N | R},
    {Prop::BorderPosition, L"BorderPosition", 0x68030033, STATE(BorderPosition), 4, 1, none, none, N | PB | BS | R},
    {Prop::BorderWidth, L"BorderWidth", 0x68030032, STATE(BorderWidth), 2, none, none, none, N | PB | BS | R},
    {Prop::CaptionShadow, L"CaptionShadow", 0x68030031, STATE(CaptionShadow), 2, none, none, none, N | CS | CD | R},
    {Prop::CaptionShowPrefix, L"CaptionShowPrefix", 0x68030030, STATE(CaptionShowPrefix), 2, none, none, none,
     N | CD | R},
    {Prop::CaptionAngle, L"CaptionAngle", 0x6803002F, STATE(CaptionAngle), 2, none, none, none, N | CD | R},
    {Prop::CaptionBorderColor, L"CaptionBorderColor", 0x6803002E, STATE(CaptionBorderColor), 4, int32_t(0x8000000E),
     none, none, N | CD | R},
    {Prop::CaptionBorderWidth, L"CaptionBorderWidth", 0x6803002D, STATE(CaptionBorderWidth), 2, none, 0, none,
     N | CD | R},
    {Prop::CaptionAlignmentH, L"CaptionAlignmentH", 0x6803002B, STATE(CaptionAlignmentH), 4, 1, none, none,
     N | CD | R},
    {Prop::CaptionAlignmentV, L"CaptionAlignmentV", 0x6803002A, STATE(CaptionAlignmentV), 4, 1, none, none,
     N | CD | R},
    {Prop::CaptionPaddingX, L"CaptionPaddingX", 0x68030029, STATE(CaptionPaddingX), 2, none, none, none, N | CD | R},
    {Prop::CaptionPaddingY, L"CaptionPaddingY", 0x68030028, STATE(CaptionPaddingY), 2, none, none, none, N | CD | R},
    {Prop::Enabled, L"Enabled", 0x68030027, HOST(Enabled), 2, none, none, none, N},
    {Prop::ForeColor, L"ForeColor", 0x68030025, STATE(ForeColor), 4, int32_t(0x80000012), none, none, N | R},
    {Prop::ForeColorOpacity, L"ForeColorOpacity", 0x68030024, STATE(ForeColorOpacity), 2, 100, 0, 100, N | R},
    {Prop::Gradient, L"Gradient", 0x68030023, STATE(Gradient), 2, none, none, none, N | R},
    {Prop::GradientAngle, L"GradientAngle", 0x68030022, STATE(GradientAngle), 2, none, 0, 359, N | R},
    {Prop::GradientColor1, L"GradientColor1", 0x68030021, STATE(GradientColor1), 4, 0x00D3A042, none, none, N | R},
    {Prop::GradientColor1Opacity, L"GradientColor1Opacity", 0x68030020, STATE(GradientColor1Opacity), 2, 100, 0, 100,
     N | R},
    {Prop::GradientColor2, L"GradientColor2", 0x6803001F, STATE(GradientColor2), 4, 0x00E96E9B, none, none, N | R},
    {Prop::GradientColor2Opacity, L"GradientColor2Opacity", 0x6803001E, STATE(GradientColor2Opacity), 2, 100, 0, 100,
     N | R},
    {Prop::PictureAngle, L"PictureAngle", 0x6803001D, STATE(PictureAngle), 2, none, none, none, N | PB | R},
    {Prop::PictureAlignmentH, L"PictureAlignmentH", 0x6803001C, STATE(PictureAlignmentH), 4, none, none, none,
     N | PB | R},
    {Prop::PictureAlignmentV, L"PictureAlignmentV", 0x6803001B, STATE(PictureAlignmentV), 4, none, none, none,
     N | PB | R},
    {Prop::PictureOpacity, L"PictureOpacity", 0x6803001A, STATE(PictureOpacity), 2, 100, 0, 100, N | PB | R},
    {Prop::PicturePaddingY, L"PicturePaddingY", 0x68030019, STATE(PicturePaddingY), 2, none, none, none, N | PB | R},
    {Prop::PicturePaddingX, L"PicturePaddingX", 0x68030018, STATE(PicturePaddingX), 2, none, none, none, N | PB | R},
    {Prop::WordWrap, L"WordWrap", 0x68030017, STATE(WordWrap), 2, kTrue, none, none, N | CD | R},
    {Prop::MouseToParent, L"MouseToParent", 0x68030015, STATE(MouseToParent), 2, none, none, none, N},
    {Prop::OLEDropMode, L"OLEDropMode", 0x68030014, HOST(OLEDropMode), 4, none, none, none, N},
    {Prop::HotLine, L"HotLine", 0x68030013, STATE(HotLine), 2, none, none, none, N | R},
    {Prop::HotLineColor, L"HotLineColor", 0x68030012, STATE(HotLineColor), 4, int32_t(0x8000000D), none, none, N | R},
    {Prop::HotLineColorOpacity, L"HotLineColorOpacity", 0x68030011, STATE(HotLineColorOpacity), 2, 100, 0, 100,
     N | R},
    {Prop::HotLineWidth, L"HotLineWidth", 0x68030010, STATE(HotLineWidth), 2, 5, none, none, N | R},
    {Prop::HotLinePosition, L"HotLinePosition", 0x6803000F, STATE(HotLinePosition), 4, 3, none, none, N | R},
    {Prop::Redraw, L"Redraw", 0x6803000E, STATE(Redraw), 2, none, none, none, 0},
    {Prop::MousePointer, L"MousePointer", 0x6803000B, HOST(MousePointer), 4, none, none, none, N},
    {Prop::MousePointerHands, L"MousePointerHands", 0x68030009, STATE(MousePointerHands), 2, none, none, none, 0},
    {Prop::IconForeColor, L"IconForeColor", 0x68030006, STATE(IconForeColor), 4, none, none, none, N | R},
    {Prop::IconAlignmentH, L"IconAlignmentH", 0x68030005, STATE(IconAlignmentH), 4, none, none, none, N | CD | R},
    {Prop::IconAlignmentV, L"IconAlignmentV", 0x68030004, STATE(IconAlignmentV), 4, none, none, none, N | CD | R},
    {Prop::IconOpacity, L"IconOpacity", 0x68030003, STATE(IconOpacity), 2, none, 0, 100, N | R},
    {Prop::IconPaddingY, L"IconPaddingY", 0x68030002, STATE(IconPaddingY), 2, none, none, none, N | CD | R},
    {Prop::IconPaddingX, L"IconPaddingX", 0x68030001, STATE(IconPaddingX), 2, none, none, none, N | CD | R},
}};

#undef STATE
#undef HOST

constexpr bool RowsInEnumOrder() {
  for (size_t i = 0; i < kCatalogue.size(); ++i)
    if (static_cast<size_t>(kCatalogue[i].prop) != i) return false;
  return true;
}

}  // namespace

std::span<const PropertyInfo> PropertyCatalogue() noexcept { return kCatalogue; }

const PropertyInfo& Describe(Prop prop) noexcept {
  static_assert(RowsInEnumOrder(), "catalogue rows must follow the Prop enumeration");
  return kCatalogue[static_cast<size_t>(prop)];
}

int32_t ClampValue(int32_t value, const std::optional<int32_t>& min, const std::optional<int32_t>& max) noexcept {
  if (min && value < *min) value = *min;
  if (max && value > *max) value = *max;
  return value;
}

}  // namespace cardel
