#pragma once
// What the box shadow builder reads from the control, gathered in one place so that a test can
// check it against the properties whose setters rebuild the shadow.
#include <windows.h>

#include "control/cardel_state.h"
#include "render/box_shadow.h"

namespace cardel {

BoxShadowInput BoxShadowInputFrom(const CardelState& state, float dpiScale, SIZE client);

}  // namespace cardel
