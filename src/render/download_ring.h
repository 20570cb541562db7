#pragma once
// The ring shown while a picture downloads: a faint full circle and a coloured arc over it, the
// received share from twelve o'clock, or a turning segment while the total is unknown.
#include <cstdint>

#include "common/gdiplus_handles.h"
#include "render/box_layout.h"
#include "render/outline.h"

namespace cardel {

// The ring takes the picture's place, so it is sized and aligned like the picture would be.
struct RingLayout {
  float clientWidth = 0;
  float clientHeight = 0;
  int32_t pictureSetWidth = 0;  // 0: not set
  int32_t pictureSetHeight = 0;
  int32_t alignH = 0;  // PictureAlignmentH
  int32_t alignV = 0;  // PictureAlignmentV
  int16_t paddingX = 0;
  int16_t paddingY = 0;
  float dpiScale = 1.0f;
};

// The ring's square bounding box in the body. Throws ArithmeticOverflow past 32 bits.
IntRect DownloadRingBox(const RingLayout& layout, const BodyRect& body);

struct RingArc {
  float startAngle;  // degrees, 0 pointing right, growing clockwise
  float sweepAngle;
  friend bool operator==(const RingArc&, const RingArc&) = default;
};

inline constexpr int32_t kSpinnerStep = 36;

// The next spinner angle: a tenth of a turn on, kept within one turn so it never overflows.
constexpr int32_t AdvanceSpinner(int32_t angle) { return (angle % 360 + kSpinnerStep) % 360; }

// bytesMax 0 means the total is unknown: a 60-degree segment at spinnerAngle.
RingArc ProgressArc(uint32_t bytesRead, uint32_t bytesMax, int32_t spinnerAngle);

void DrawDownloadProgress(Gdiplus::GpGraphics* graphics, const IntRect& box, const RingArc& arc, float dpiScale);

}  // namespace cardel
