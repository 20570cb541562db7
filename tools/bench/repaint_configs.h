#pragma once
// The configurations a repaint is timed in. Each step adds its layers to the control the steps before
// it set up; a step marked fresh starts from a newly placed control instead.
#include <windows.h>

#include <span>

#include "VelmarCardel_h.h"

namespace cardel::bench {

struct RepaintStep {
  const char* name;
  bool fresh;
  // The layer shows a blur of what lies beneath, which no paint can keep from one time to the next.
  bool blursBackground;
  // False when the control refused part of the set-up (a picture it could not load).
  bool (*apply)(_ucCardel& cardel, SIZE size);
};

std::span<const RepaintStep> RepaintSteps();

// The steps up to and including the hot line: every layer that does not depend on the background.
bool ApplyAllOpaqueLayers(_ucCardel& cardel, SIZE size);

}  // namespace cardel::bench
