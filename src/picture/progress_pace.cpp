#include "picture/progress_pace.h"

namespace cardel {

PaceDecision ProgressPace::Changed(uint64_t now) noexcept {
  if (waiting_) return {};
  // A clock that went back leaves no wait behind, so a state is never held back for long.
  if (!lastRepaint_ || now < *lastRepaint_ || now - *lastRepaint_ >= interval_) {
    lastRepaint_ = now;
    return {true, 0};
  }
  waiting_ = true;
  return {false, static_cast<uint32_t>(interval_ - (now - *lastRepaint_))};
}

bool ProgressPace::Due(uint64_t now) noexcept {
  if (!waiting_) return false;
  waiting_ = false;
  lastRepaint_ = now;
  return true;
}

void ProgressPace::Reset() noexcept {
  lastRepaint_.reset();
  waiting_ = false;
}

}  // namespace cardel
