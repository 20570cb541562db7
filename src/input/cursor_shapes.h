#pragma once
// The pointer a MousePointer value stands for: 0 leaves the choice to the host, 1 to 15 are the
// system's standard shapes, 99 is the picture in MouseIcon.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdint>

namespace cardel::input {

constexpr int16_t kDefaultPointer = 0;
constexpr int16_t kCustomPointer = 99;

// The system cursor resource of a standard shape, or nullptr for any other value.
LPCWSTR StandardCursorResource(int16_t mousePointer) noexcept;

// The cursor to show, or nullptr where the host's own pointer applies. The handle stays owned by
// the system or by the picture.
HCURSOR CursorForPointer(int16_t mousePointer, IPictureDisp* mouseIcon) noexcept;

}  // namespace cardel::input
