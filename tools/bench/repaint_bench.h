#pragma once
#include "library.h"

namespace cardel::bench {

// Times the hosted control's warm repaint through IViewObject::Draw in every configuration and size
// against the least an area's paint costs, and checks each against the direct paint; false when the
// two paints differ by more than a level in a channel, or a paint fails.
bool RunRepaintBench(const host::Library& library);

}  // namespace cardel::bench
