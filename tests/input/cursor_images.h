#pragma once
// Telling cursors apart by what they show, since a private copy of a system cursor has a handle of
// its own.
#include <windows.h>

namespace cardel::host {

// The handle names a cursor or icon that still exists.
bool IsLiveCursor(HCURSOR cursor);
// Same hot spot and the same mask and colour bits.
bool SameCursorImage(HCURSOR a, HCURSOR b);

}  // namespace cardel::host
