#pragma once
#include "library.h"

namespace cardel::bench {

// Times a property change that rebuilds a layer, with the one repaint that shows it, against the
// warm repaint alone; false when the paint after the changes differs from the direct paint.
bool RunPropertyChangeBench(const host::Library& library);

}  // namespace cardel::bench
