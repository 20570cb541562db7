#pragma once

namespace cardel::bench {

// The acrylic blur at two sizes with SSE2 and without, as on a processor that lacks it; false when the
// two make different pixels.
bool RunAcrylicBlurBench();

}  // namespace cardel::bench
