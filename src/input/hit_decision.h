#pragma once
// The answer to the host's hit query: which code to write and whether hover tracking runs. It does
// not look at the drawn shape, so rounded corners and transparent fills count like the rest.
#include <windows.h>

namespace cardel::input {

struct HitDecision {
  DWORD result;
  bool hoverUpdate;
};

// `proposal` is what the host would answer without the control; the control only ever replaces it
// with HITRESULT_HIT.
HitDecision DecideHit(bool enabled, bool mouseToParent, bool runMode, DWORD proposal) noexcept;

}  // namespace cardel::input
