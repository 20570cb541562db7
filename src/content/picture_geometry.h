#pragma once
// Where the picture lands inside the box: its drawn size (aspect kept, fitted into the set size,
// grown by the screen's DPI), its aligned and padded position, and the turn about its centre.
// Plain arithmetic, tested without a device.
#include <cstdint>

#include "render/box_layout.h"
#include "render/outline.h"

namespace cardel {

struct PictureLayoutInput {
  int32_t imageWidth = 0, imageHeight = 0;  // the decoded picture's own size
  int32_t setWidth = 0, setHeight = 0;      // 96-DPI target box; 0 = the picture's own length
  int32_t alignH = 0;                       // pLeft 0, pCenter 1, pRight 2; anything else stays at X
  int32_t alignV = 0;                       // pTop 0, pMiddle 1, pBottom 2; anything else stays at Y
  int16_t paddingX = 0, paddingY = 0;       // 96-DPI
  float dpiScale = 1.0f;
  BodyRect body{};
};

// The picture's rectangle on the canvas. Throws ArithmeticOverflow when a length leaves 32 bits.
IntRect PlacePicture(const PictureLayoutInput& input);

// How to draw into a rectangle turned by angle degrees clockwise about the point
// (x + width \ 2, y + height \ 2): rotate by angle, then move by origin, then draw into rect, whose
// size is always positive. Angle 0 draws into the rectangle as it is, without a transform.
struct TurnedRect {
  float angle = 0;
  float originX = 0, originY = 0;
  IntRect rect;
};
TurnedRect TurnAboutCentre(const IntRect& placed, int16_t angle);

}  // namespace cardel
