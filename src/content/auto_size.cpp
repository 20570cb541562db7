#include "content/auto_size.h"

#include "common/cardel_interfaces.h"
#include "common/checked_int.h"

namespace cardel {
namespace {

// The room is kept in 16 bits like the 16-bit properties it is made of, so absurd paddings or
// border widths fail as Overflow rather than asking the container for a wrapped size.
int32_t Room(int16_t padding, int16_t border, bool shadow, int16_t shadowSize, bool tail, int32_t tailLength,
             float dpiScale) {
  int16_t room = Narrow16(Narrow16(2 * padding) + Narrow16(2 * border));
  if (shadow) room = Narrow16(room + Narrow16(2 * shadowSize));
  if (tail) room = Narrow16(int64_t{room} + tailLength);
  return CheckedInt::Round(room * static_cast<double>(dpiScale)).value();
}

}  // namespace

AutoSizeRoom ScaledRoom(const AutoSizeRoomInputs& in, float dpiScale) {
  const bool sideTail = in.CallOut && (in.CallOutPosicion == coLeft || in.CallOutPosicion == coRight);
  const bool endTail = in.CallOut && (in.CallOutPosicion == coTop || in.CallOutPosicion == coBottom);
  return {Room(in.CaptionPaddingX, in.BorderWidth, in.BackShadow, in.ShadowSize, sideTail, in.CallOutLen, dpiScale),
          Room(in.CaptionPaddingY, in.BorderWidth, in.BackShadow, in.ShadowSize, endTail, in.CallOutLen, dpiScale)};
}

SIZE FittedClientSize(const AutoSizeRoom& room, SIZE caption) {
  // The layout reserves one pixel beyond the caption's width; the control is one pixel larger
  // than that inner size both ways.
  return {(CheckedInt(room.width) + caption.cx + 2).value(), (CheckedInt(room.height) + caption.cy + 1).value()};
}

}  // namespace cardel
