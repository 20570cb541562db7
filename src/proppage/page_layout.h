#pragma once
// Where the page's parts sit, in twips as the page was designed, and the identifiers by which the
// page and its clients find its child windows.
#include <windows.h>

#include "common/ole_units.h"
#include "common/system_colours.h"

namespace cardel::proppage {

struct TwipRect {
  int left, top, width, height;
};

constexpr SIZE kPageTwips{5355, 5220};
constexpr TwipRect kPreviewTwips{120, 120, 5055, 2775};
constexpr TwipRect kInfoTwips{120, 3122, 5055, 255};
constexpr TwipRect kDeleteTwips{3120, 3480, 975, 315};
constexpr TwipRect kBrowseTwips{4200, 3480, 915, 315};
constexpr TwipRect kCaptionLabelTwips{120, 3840, 615, 255};
constexpr TwipRect kCaptionBoxTwips{120, 4080, 4575, 975};
constexpr TwipRect kChangeCaptionTwips{4800, 4080, 375, 975};
// The two rules beside the "Caption" label, drawn as a sunken groove.
constexpr int kRuleLeftTwips = 705;
constexpr int kRuleRightTwips = 5045;
constexpr int kRuleDarkTopTwips = 3945;
constexpr int kRuleLightTopTwips = 3960;
constexpr OLE_COLOR kRuleDarkColour = kActiveBorderColour;
constexpr OLE_COLOR kRuleLightColour = kButtonLightColour;

enum ControlId : int {
  kInfoId = 101,
  kDeleteId = 102,
  kBrowseId = 103,
  kCaptionLabelId = 104,
  kCaptionBoxId = 105,
  kChangeCaptionId = 106,
};


inline RECT ToPixels(const TwipRect& r, int dpi) noexcept {
  const int left = TwipsToPixels(r.left, dpi);
  const int top = TwipsToPixels(r.top, dpi);
  return {left, top, left + TwipsToPixels(r.width, dpi), top + TwipsToPixels(r.height, dpi)};
}

}  // namespace cardel::proppage
