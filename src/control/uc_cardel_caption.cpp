// The caption and icon properties handed to DrawCaption.
#include "content/caption.h"
#include "content/checked_values.h"
#include "content/font_lookup.h"
#include "control/uc_cardel.h"

namespace cardel {

CaptionInputs UcCardel::MakeCaptionInputs(SIZE client) const {
  CaptionInputs inputs;
  inputs.Caption.resize(caption_.size() / sizeof(wchar_t));
  for (size_t i = 0; i < inputs.Caption.size(); ++i)
    inputs.Caption[i] = static_cast<wchar_t>(caption_[2 * i] | (caption_[2 * i + 1] << 8));
  inputs.FontName = FontName(font_.Get());
  inputs.Font = font_.Get();
  inputs.ForeColor = state_.ForeColor;
  inputs.ForeColorOpacity = state_.ForeColorOpacity;
  inputs.CaptionBorderColor = state_.CaptionBorderColor;
  inputs.CaptionBorderWidth = state_.CaptionBorderWidth;
  inputs.CaptionAlignmentH = state_.CaptionAlignmentH;
  inputs.CaptionAlignmentV = state_.CaptionAlignmentV;
  inputs.CaptionPaddingX = state_.CaptionPaddingX;
  inputs.CaptionPaddingY = state_.CaptionPaddingY;
  inputs.CaptionTriming = state_.CaptionTriming;
  inputs.WordWrap = state_.WordWrap != 0;
  inputs.CaptionShowPrefix = state_.CaptionShowPrefix != 0;
  inputs.CaptionAngle = state_.CaptionAngle;
  inputs.IconCharCode = state_.IconCharCode;
  inputs.IconFontName = FontName(iconFont_.Get());
  inputs.IconFont = iconFont_.Get();
  inputs.IconForeColor = state_.IconForeColor;
  inputs.IconOpacity = state_.IconOpacity;
  inputs.IconAlignmentH = state_.IconAlignmentH;
  inputs.IconAlignmentV = state_.IconAlignmentV;
  inputs.IconPaddingX = state_.IconPaddingX;
  inputs.IconPaddingY = state_.IconPaddingY;
  inputs.ShadowArgb = CheckedArgb(state_.ShadowColor, state_.ShadowColorOpacity);
  inputs.DpiScale = dpiScale_;
  inputs.FontCollection = fontCollection_;
  inputs.ControlSize = client;
  return inputs;
}

}  // namespace cardel
