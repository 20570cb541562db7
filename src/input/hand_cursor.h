#pragma once
// The system hand cursor as the control keeps it and as it hands it out. The system's own hand is
// shared and must not be destroyed, so each owner gets a private copy it may destroy.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include "common/win_handles.h"

namespace cardel::input {

UniqueCursor LoadHandCursor() noexcept;

// A new icon picture that owns a copy of the hand cursor.
HRESULT NewHandCursorPicture(IPictureDisp** picture) noexcept;

// Puts `next` (possibly none) in place of a held cursor and destroys the old one. If the old one is
// on screen, `next` or else the arrow takes its place first, so the system never shows a destroyed
// cursor; the new copy is made before the old goes, so the two never share a handle value.
void ReplaceHeldCursor(UniqueCursor& held, UniqueCursor next) noexcept;

// Lets go of a pointer picture, first moving the screen off its cursor when that is the one shown:
// the picture may be the last holder and destroy it.
void ReleasePointerPicture(Microsoft::WRL::ComPtr<IPictureDisp>& picture) noexcept;

}  // namespace cardel::input
