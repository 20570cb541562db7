#pragma once
#include "library.h"

namespace cardel::bench {

// Times 45 property changes one by one, each repainting through the container, against the same
// changes between Redraw False and Redraw True followed by one Refresh; false when the paint after
// them differs from the direct paint.
bool RunBatchingBench(const host::Library& library);

}  // namespace cardel::bench
