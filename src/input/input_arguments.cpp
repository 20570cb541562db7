#include "input/input_arguments.h"

#include <oleidl.h>

namespace cardel::input {

int16_t ButtonOfMessage(UINT msg) noexcept {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      return kLeftButton;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
      return kRightButton;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      return kMiddleButton;
    default:
      return 0;
  }
}

int16_t ButtonsHeld(DWORD keys) noexcept {
  int16_t buttons = 0;
  if (keys & MK_LBUTTON) buttons |= kLeftButton;
  if (keys & MK_RBUTTON) buttons |= kRightButton;
  if (keys & MK_MBUTTON) buttons |= kMiddleButton;
  return buttons;
}

int16_t KeyShift(bool shift, bool ctrl, bool alt) noexcept {
  return static_cast<int16_t>((shift ? 1 : 0) | (ctrl ? 2 : 0) | (alt ? 4 : 0));
}

int16_t MouseShift(DWORD keys, bool alt) noexcept {
  return KeyShift((keys & MK_SHIFT) != 0, (keys & MK_CONTROL) != 0, alt);
}

int16_t DragShift(DWORD keys) noexcept { return MouseShift(keys, (keys & MK_ALT) != 0); }

}  // namespace cardel::input
