// The host's hit query and the mouse and keyboard input it routes to the control, re-raised as the
// control's events. The plumbing stands in for the host here: a disabled control receives nothing.
#include <windowsx.h>

#include <utility>

#include "control/cardel_events.h"
#include "control/uc_cardel.h"
#include "input/event_arguments.h"
#include "input/input_arguments.h"

using Microsoft::WRL::ComPtr;

namespace cardel {
namespace {

bool IsMouseInput(UINT msg) { return msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONDBLCLK; }

bool IsKeyInput(UINT msg) {
  return msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_CHAR || msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP;
}

bool KeyIsDown(int key) { return GetKeyState(key) < 0; }

bool Within(SIZE size, POINT point) { return point.x >= 0 && point.y >= 0 && point.x < size.cx && point.y < size.cy; }

}  // namespace

input::HitDecision UcCardel::DecideHit() noexcept {
  return input::DecideHit(HostHeld().Enabled != 0, state_.MouseToParent != 0, AmbientUserMode(), HITRESULT_OUTSIDE);
}

DWORD UcCardel::OnHitTest(POINT pointInControl) noexcept {
  const input::HitDecision decision = DecideHit();
  if (decision.hoverUpdate) HitQueryHoverUpdate(pointInControl.x, pointInControl.y);
  return decision.result;
}

DWORD UcCardel::OnHitTestArea(const RECT&) noexcept { return DecideHit().result; }

HRESULT UcCardel::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) noexcept {
  if (msg == WM_SETCURSOR) return ApplyMousePointer(lParam, result);
  if (msg == WM_DESTROY) {
    // The registration must go while the window still exists.
    dropRegistration_.Revoke();
    return S_FALSE;
  }
  const bool mouse = IsMouseInput(msg);
  if (!mouse && !IsKeyInput(msg)) return S_FALSE;
  // A windowless container asks the hit query before it routes a mouse message over the control;
  // the control's own window has no container in between, so it asks itself.
  if (mouse && !IsWindowless()) {
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (Within(ClientSize(), point)) OnHitTest(point);
  }
  if (!HostHeld().Enabled) return S_FALSE;
  // Handlers may release the control's last outside reference.
  ComPtr<IUnknown> alive(Outer());
  return mouse ? ForwardMouse(msg, wParam, lParam) : ForwardKey(msg, wParam);
}

void UcCardel::FireMouseEvent(DISPID id, int16_t& button, int16_t& shift, float& x, float& y) noexcept {
  VARIANTARG args[] = {input::ByRef(&button), input::ByRef(&shift), input::ByRef(&x), input::ByRef(&y)};
  FireEvent(id, args);
}

HRESULT UcCardel::ForwardMouse(UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  const DWORD keys = static_cast<DWORD>(wParam);
  const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  float x = static_cast<float>(point.x);
  float y = static_cast<float>(point.y);
  int16_t shift = input::MouseShift(keys, KeyIsDown(VK_MENU));
  int16_t button = input::ButtonOfMessage(msg);
  switch (msg) {
    case WM_MOUSEMOVE:
      if (handCursor_) SetCursor(handCursor_.get());
      button = input::ButtonsHeld(keys);
      FireMouseEvent(events::MouseMove, button, shift, x, y);
      MouseMoveHoverUpdate(button, x, y);
      return S_OK;
    case WM_LBUTTONDBLCLK:
      CaptureMouse(true);
      // The second press of a double click is the double click; its release makes no click.
      leftPressed_ = false;
      FireEvent(events::DblClick, {});
      return S_OK;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      // A control that is clicked takes the focus, as any control on a form does.
      if (!IsUIActive()) Activate(OLEIVERB_UIACTIVATE, nullptr);
      CaptureMouse(true);
      if (msg == WM_LBUTTONDOWN) leftPressed_ = true;
      if (handCursor_) SetCursor(handCursor_.get());
      FireMouseEvent(events::MouseDown, button, shift, x, y);
      return S_OK;
    default: {
      FireMouseEvent(events::MouseUp, button, shift, x, y);
      if (input::ButtonsHeld(keys) == 0) CaptureMouse(false);
      // A press released away from the control is no click.
      if (msg == WM_LBUTTONUP && std::exchange(leftPressed_, false) && Within(ClientSize(), point))
        FireEvent(events::Click, {});
      return S_OK;
    }
  }
}

HRESULT UcCardel::ForwardKey(UINT msg, WPARAM wParam) noexcept {
  if (!HasFocus()) return S_FALSE;
  int16_t shift = input::KeyShift(KeyIsDown(VK_SHIFT), KeyIsDown(VK_CONTROL), KeyIsDown(VK_MENU));
  int16_t code = static_cast<int16_t>(wParam);
  if (msg == WM_CHAR) {
    VARIANTARG args[] = {input::ByRef(&code)};
    FireEvent(events::KeyPress, args);
    return S_OK;
  }
  VARIANTARG args[] = {input::ByRef(&code), input::ByRef(&shift)};
  const bool down = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
  FireEvent(down ? events::KeyDown : events::KeyUp, args);
  // System keys still reach the host afterwards: Alt opens menus and closes windows.
  return msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP ? S_FALSE : S_OK;
}

void UcCardel::CaptureMouse(bool capture) noexcept {
  if (IOleInPlaceSiteWindowless* site = WindowlessSite()) {
    if ((site->GetCapture() == S_OK) != capture) site->SetCapture(capture ? TRUE : FALSE);
  } else if (HWND own = OwnWindow()) {
    if (capture && GetCapture() != own) SetCapture(own);
    if (!capture && GetCapture() == own) ReleaseCapture();
  }
}

bool UcCardel::HasFocus() noexcept {
  if (IOleInPlaceSiteWindowless* site = WindowlessSite()) return site->GetFocus() == S_OK;
  return OwnWindow() && GetFocus() == OwnWindow();
}

}  // namespace cardel
