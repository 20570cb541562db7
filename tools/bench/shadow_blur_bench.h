#pragma once

namespace cardel::bench {

// BlurShadowPixels against the definition it must match bit for bit, on box-sized and window-sized
// shadows, at radii where the definition's cost has grown well past its own; false on any mismatch.
bool RunShadowBlurBench();

}  // namespace cardel::bench
