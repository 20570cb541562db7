#pragma once
// The picture as the paint pipeline uses it: decoded from its file bytes, given its colour effects,
// size, position, turn and shadow on a transparent canvas as large as the control, and made into a
// tiling texture brush. Filling the box outline with the brush shows the picture clipped to the box.
#include <windows.h>
#include <olectl.h>

#include <cstdint>
#include <span>

#include "common/gdiplus_handles.h"
#include "content/picture_effects.h"
#include "content/picture_geometry.h"
#include "render/shadow.h"

namespace cardel {

struct PictureShadowInput {
  bool on = false;  // PictureShadow is exactly True
  Shadow shadow;    // its offsets are used as stored: the picture shadow's offsets are not scaled
};

struct PictureBrushInput {
  // Must stay unchanged while the brush is built; the brush itself keeps nothing of them.
  std::span<const uint8_t> bytes;
  // The picture already decoded, used instead of decoding bytes again.
  Gdiplus::GpImage* image = nullptr;
  PictureLayoutInput layout;  // its image size is taken from the decoded bytes
  PictureColourEffects effects;
  int16_t angle = 0;
  PictureShadowInput shadow;
  SIZE canvas{};  // the control's client size
};

// Empty when the bytes do not decode or GDI+ cannot make the canvas or the brush. Throws
// ArithmeticOverflow when absurd lengths leave 16 or 32 bits, and std::bad_alloc when memory runs out,
// for the paint's entry point to report.
gdip::UniqueBrush BuildPictureBrush(const PictureBrushInput& input);

}  // namespace cardel
