#pragma once
// Auto-size arithmetic: the room that padding, border, shadow and call-out tail take around the
// caption, and the client size that holds a measured caption in that room.
#include <windows.h>

#include <cstdint>

namespace cardel {

struct AutoSizeRoomInputs {
  int16_t CaptionPaddingX = 0;
  int16_t CaptionPaddingY = 0;
  int16_t BorderWidth = 0;
  bool BackShadow = false;
  int16_t ShadowSize = 0;
  bool CallOut = false;
  int32_t CallOutPosicion = 0;  // eCallOutPosition
  int32_t CallOutLen = 0;
};

// Device pixels around the caption, horizontally and vertically.
struct AutoSizeRoom {
  int32_t width = 0;
  int32_t height = 0;
};

// The room is summed in 16 bits at 96 DPI, then scaled. Throws ArithmeticOverflow.
AutoSizeRoom ScaledRoom(const AutoSizeRoomInputs& inputs, float dpiScale);

// caption: the measured bounding box in device pixels. Throws ArithmeticOverflow.
SIZE FittedClientSize(const AutoSizeRoom& room, SIZE caption);

}  // namespace cardel
