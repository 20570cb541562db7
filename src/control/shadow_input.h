#pragma once
// What the outline and the box shadow builder read from the control, gathered in one place so that
// the fill, the border and the shadow share one shape, and a test can check the shadow's inputs
// against the properties whose setters rebuild it.
#include <windows.h>

#include "control/cardel_state.h"
#include "render/box_shadow.h"

namespace cardel {

// The outline's shape properties; the rectangle and the border and shadow flags are the caller's.
OutlineInput OutlineInputFrom(const CardelState& state, float dpiScale);

// The one shadow every layer casts, as stored.
Shadow ShadowFrom(const CardelState& state);

BoxShadowInput BoxShadowInputFrom(const CardelState& state, float dpiScale, SIZE client);

}  // namespace cardel
