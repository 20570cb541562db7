#include "input/poll_pace.h"

namespace cardel::input {
namespace {

bool Same(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

}  // namespace

UINT PollPace::AfterTick(POINT pointer, POINT controlPosition) noexcept {
  const bool still = seen_ && Same(pointer, pointer_) && Same(controlPosition, position_);
  seen_ = true;
  pointer_ = pointer;
  position_ = controlPosition;
  stillTicks_ = still ? stillTicks_ + 1 : 0;
  return stillTicks_ >= kStillTicksBeforeResting ? kResting : kMoving;
}

UINT PollPace::AfterInput() noexcept {
  stillTicks_ = 0;
  return kMoving;
}

}  // namespace cardel::input
