#pragma once
// What a form shows beneath the control: coloured cells of two sizes over stripes, so that every
// layer that lets it through (transparency, blending, the acrylic blur) has detail to show.
#include "dib_surface.h"

namespace cardel::bench {

class Backdrop {
 public:
  Backdrop(int width, int height);
  const host::DibSurface& Surface() const { return surface_; }
  // Puts the pattern back on a surface of the same size, as a form repaints its background.
  void CopyTo(const host::DibSurface& target) const;

 private:
  host::DibSurface surface_;
};

}  // namespace cardel::bench
