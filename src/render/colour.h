#pragma once
// OLE colour plus opacity percentage to the ARGB value every GDI+ brush and pen of the control
// is made with.
#include <windows.h>
#include <olectl.h>

#include <cstdint>
#include <optional>

#include "render/render_error.h"

namespace cardel {

// The ARGB value, or the error the caller must raise instead of drawing with it.
struct ArgbResult {
  uint32_t argb = 0;
  std::optional<RenderError> error;
};

// rgb is 0x00BBGGRR; its top byte is ignored. A negative opacity counts as its size, and one
// above 100 cannot be an alpha byte, so it is Overflow.
ArgbResult ComposeARGB(COLORREF rgb, int32_t opacity);

// The RGB a colour stands for now: a system colour (0x80000000 | index) as the user's scheme has it.
// A colour the platform cannot translate is used as it was given.
COLORREF ResolvedColour(OLE_COLOR colour) noexcept;

// As above after resolving a system colour (0x80000000 | index) to its current RGB. A colour
// the platform cannot translate is used as it was given.
ArgbResult ToARGB(OLE_COLOR colour, int32_t opacity);

// As ToARGB for a paint, which raises the error.
inline uint32_t CheckedArgb(OLE_COLOR colour, int32_t opacity) {
  const ArgbResult result = ToARGB(colour, opacity);
  if (result.error) RaiseRenderError(*result.error);
  return result.argb;
}

}  // namespace cardel
