// Hover tracking. A windowless control hears when the pointer is over it but never when it goes,
// so after entering it polls: each tick asks the host to hit-test the pointer again (hitSinceTick_ tells
// whether it reached the control) and checks the pointer against where the control now is.
#include "control/cardel_events.h"
#include "control/uc_cardel.h"

using Microsoft::WRL::ComPtr;
using ole::RuntimeError;

namespace cardel {

HWND UcCardel::HostWindow() const noexcept { return IsWindowless() ? ContainerWindow() : OwnWindow(); }

POINT UcCardel::CursorPosition() const noexcept {
  if (tickCursor_) return *tickCursor_;
  POINT cursor{};
  GetCursorPos(&cursor);
  return cursor;
}

// Input from the host, not the echo of a tick: the pointer is moving, so poll at full pace.
void UcCardel::NoteHostInput() noexcept {
  if (!tickCursor_ && state_.IsMouseEnter) hoverPoll_.SetInterval(pollPace_.AfterInput());
}

// The host reports the pointer over the control, by a hit query or a move: the first report starts
// tracking. Positions are taken in the container window's pixels, in which the control's position is
// reported, whichever window the control is drawn into. *under is the window under the pointer.
HRESULT UcCardel::HoverSeen(double x, double y, bool overOnEnter, HWND* under) noexcept {
  NoteHostInput();
  POINT cursor = CursorPosition();
  *under = WindowFromPoint(cursor);
  if (!state_.IsMouseEnter) {
    ScreenToClient(ContainerWindow(), &cursor);
    const auto corner = input::CornerFromPointer(cursor, x, y);
    if (!corner) return Error(RuntimeError::Overflow);
    enterOrigin_ = input::EnterOrigin{corner->x, corner->y, PositionRect().left, PositionRect().top};
    state_.IsMouseEnter = true;
    hoverPoll_.SetInterval(pollPace_.AfterInput());
    FireEvent(events::MouseEnter, {});
    if (overOnEnter) FireEvent(events::MouseOver, {});
  }
  hitSinceTick_ = true;
  return S_OK;
}

HRESULT UcCardel::HitQueryHoverUpdate(double x, double y) noexcept {
  HWND under = nullptr;
  if (HRESULT hr = HoverSeen(x, y, false, &under); FAILED(hr)) return hr;
  if (under == HostWindow()) {
    if (!state_.IsMouseOver) {
      state_.IsMouseOver = true;
      FireEvent(events::MouseOver, {});
    }
  } else if (state_.IsMouseOver) {
    state_.IsMouseOver = false;
    FireEvent(events::MouseOut, {});
  }
  return S_OK;
}

HRESULT UcCardel::MouseMoveHoverUpdate(int16_t button, double x, double y) noexcept {
  if (button != 0 || state_.IsMouseOver || !AmbientUserMode()) return S_OK;
  HWND under = nullptr;
  if (HRESULT hr = HoverSeen(x, y, true, &under); FAILED(hr)) return hr;
  if (under == HostWindow()) {
    state_.IsMouseOver = true;
    FireEvent(events::MouseOver, {});
  }
  return S_OK;
}

STDMETHODIMP UcCardel::tmrMOUSEOVER_Timer() noexcept {
  // Handlers may release the control's last outside reference.
  ComPtr<IUnknown> alive(Outer());
  POINT screen{};
  GetCursorPos(&screen);
  POINT pointer = screen;
  ScreenToClient(ContainerWindow(), &pointer);
  const POINT position{PositionRect().left, PositionRect().top};
  const auto rect = input::TrackedRect(enterOrigin_, position, ClientSize());
  if (!rect) return Error(RuntimeError::Overflow);

  hitSinceTick_ = false;
  // The host hit-tests the point on receipt, which sets hitSinceTick_ again if the control is reachable.
  const HWND host = HostWindow();
  POINT inHost = screen;
  ScreenToClient(host, &inHost);
  tickCursor_ = screen;
  const uint32_t deactivations = Deactivations();
  SendMessageA(host, WM_MOUSEMOVE, 0, MAKELPARAM(inHost.x, inHost.y));
  tickCursor_.reset();
  if (Deactivations() != deactivations) return S_OK;
  if (!hitSinceTick_ && state_.IsMouseOver) {
    state_.IsMouseOver = false;
    FireEvent(events::MouseOut, {});
  }
  if (!input::Inside(*rect, pointer)) {
    state_.IsMouseEnter = false;
    hoverPoll_.SetInterval(0);
    FireEvent(events::MouseLeave, {});
  } else if (hoverPoll_.Interval() != 0) {
    hoverPoll_.SetInterval(pollPace_.AfterTick(screen, position));
  }
  return S_OK;
}

}  // namespace cardel
