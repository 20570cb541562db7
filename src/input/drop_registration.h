#pragma once
// A window's registration as a drop target, revoked by its one owner before the window goes.
#include <windows.h>
#include <ole2.h>

namespace cardel::input {

class DropRegistration {
 public:
  DropRegistration() noexcept = default;
  DropRegistration(const DropRegistration&) = delete;
  DropRegistration& operator=(const DropRegistration&) = delete;
  ~DropRegistration() { Revoke(); }

  HRESULT Register(HWND window, IDropTarget* target) noexcept {
    Revoke();
    HRESULT hr = RegisterDragDrop(window, target);
    if (SUCCEEDED(hr)) window_ = window;
    return hr;
  }
  void Revoke() noexcept {
    if (window_) RevokeDragDrop(window_);
    window_ = nullptr;
  }
  HWND Window() const noexcept { return window_; }

 private:
  HWND window_ = nullptr;
};

}  // namespace cardel::input
