#pragma once
// The Button and Shift values of the control's events from what Windows and OLE report: Button
// 1 left, 2 right, 4 middle; Shift 1 Shift, 2 Ctrl, 4 Alt.
#include <windows.h>

#include <cstdint>

namespace cardel::input {

constexpr int16_t kLeftButton = 1;
constexpr int16_t kRightButton = 2;
constexpr int16_t kMiddleButton = 4;

// The button a press, release or double click message names; 0 for any other message.
int16_t ButtonOfMessage(UINT msg) noexcept;
// The buttons held, from the MK_ flags of a mouse message or of an OLE drag.
int16_t ButtonsHeld(DWORD keys) noexcept;
// Shift and Ctrl from the MK_ flags; Alt is not among a mouse message's flags and comes apart.
int16_t MouseShift(DWORD keys, bool alt) noexcept;
// An OLE drag reports Alt among its key flags.
int16_t DragShift(DWORD keys) noexcept;
int16_t KeyShift(bool shift, bool ctrl, bool alt) noexcept;

}  // namespace cardel::input
