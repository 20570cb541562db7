#include "input/hit_decision.h"

#include <ocidl.h>

namespace cardel::input {

HitDecision DecideHit(bool enabled, bool mouseToParent, bool runMode, DWORD proposal) noexcept {
  // A designer must be able to select the control whatever its state.
  if (!runMode) return {HITRESULT_HIT, false};
  if (!enabled) return {proposal, false};
  return {mouseToParent ? proposal : static_cast<DWORD>(HITRESULT_HIT), true};
}

}  // namespace cardel::input
