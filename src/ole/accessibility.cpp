// What the plumbing knows of the control for assistive technology: whether it can be used, whether
// it shows, and where it is on the screen.
#include "ole/control_base.h"

namespace ole {

void ControlBase::DescribeAccessible(AccessibleFacts& facts) {
  OnDescribeAccessible(facts);
  facts.state = STATE_SYSTEM_READONLY;
  if (!hostHeld_.Enabled) facts.state |= STATE_SYSTEM_UNAVAILABLE;
  HWND shownIn = ownWindow_ ? ownWindow_.get() : inPlaceActive_ ? containerWindow_ : nullptr;
  if (!shownIn || !IsWindowVisible(shownIn)) facts.state |= STATE_SYSTEM_INVISIBLE;
  if (ownWindow_) {
    GetWindowRect(ownWindow_.get(), &facts.screen);
  } else if (inPlaceActive_ && containerWindow_) {
    facts.screen = posRect_;
    MapWindowPoints(containerWindow_, nullptr, reinterpret_cast<POINT*>(&facts.screen), 2);
  }
}

// The windowed fallback's own window object, as the system's proxies make it; a windowless control
// lies inside its container window's client area.
HRESULT ControlBase::AccessibleParent(IDispatch** parent) noexcept {
  if (ownWindow_) return AccessibleObjectFromWindow(ownWindow_.get(), OBJID_WINDOW, IID_PPV_ARGS(parent));
  if (inPlaceActive_ && containerWindow_)
    return AccessibleObjectFromWindow(containerWindow_, OBJID_CLIENT, IID_PPV_ARGS(parent));
  return S_FALSE;
}

void ControlBase::NotifyAccessible(DWORD event) noexcept {
  if (ownWindow_) NotifyWinEvent(event, ownWindow_.get(), OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace ole
