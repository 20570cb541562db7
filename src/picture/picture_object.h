#pragma once
// Picture objects a host hands over (MouseIcon) are shown through the system's cursor code, which
// divides by zero on an icon or cursor with a zero-height bitmap: their saved form is checked first.
#include <unknwn.h>

namespace cardel {

// True for a picture object whose saved form holds icon or cursor bytes that fail the structure check.
bool IsBrokenIconPicture(IUnknown* picture) noexcept;

}  // namespace cardel
