#pragma once
// Replays the outline's lines and arcs into a GDI+ path, the one place the geometry meets GDI+.
#include "common/gdiplus_handles.h"
#include "render/outline.h"

namespace cardel {

// Adds the figure to path and closes it; GDI+ status codes are left unexamined, as a failing
// call only leaves part of the outline out.
void ReplayOutline(const OutlineGeometry& geometry, Gdiplus::GpPath* path);

// A new path with the alternate fill mode holding the figure; empty if GDI+ cannot make one.
gdip::UniquePath CreateOutlinePath(const OutlineGeometry& geometry);

}  // namespace cardel
