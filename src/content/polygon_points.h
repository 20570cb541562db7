#pragma once
// The integers Polygon draws, x and y alternating, from the arguments after its Opacity. Exactly
// two arguments are the address and count of 32-bit integers in the caller's memory, which is
// how compiled callers pass an array; they are copied as they are. Any other number of
// arguments are the coordinates themselves, in 96-DPI pixels, scaled here.
#include <oaidl.h>

#include <cstdint>
#include <vector>

#include "content/method_result.h"

namespace cardel {

// A count beyond this is no polygon anyone draws; refusing it keeps a wrong count from asking
// for gigabytes.
inline constexpr int32_t kMaxPolygonIntegers = 1 << 24;

// arguments: a one-dimensional SAFEARRAY of VARIANT, or null for none. Errors: 13 for an
// argument that is no number or an array of anything else, 6 for a value out of range, and 5 for
// an address form whose count is negative or too large or whose range is not readable memory.
// Throws std::bad_alloc.
MethodResult<std::vector<int32_t>> PolygonIntegers(SAFEARRAY* arguments, float dpiScale);

}  // namespace cardel
