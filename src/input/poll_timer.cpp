#include "input/poll_timer.h"

#include "ole/errors.h"

namespace cardel::input {
namespace {

constexpr UINT_PTR kTimerId = 1;

}  // namespace

bool PollTimer::EnsureWindow() noexcept {
  if (window_) return true;
  // The system's message-only class needs no registration, so nothing outlives an unloaded module.
  window_.reset(CreateWindowExW(0, L"Message", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
  if (!window_) return false;
  SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return true;
}

bool PollTimer::SetInterval(UINT milliseconds) noexcept {
  if (milliseconds == 0) {
    if (window_ && interval_ != 0) KillTimer(window_.get(), kTimerId);
    interval_ = 0;
    return true;
  }
  // Setting a running timer again would restart its countdown.
  if (milliseconds == interval_) return true;
  if (!EnsureWindow() || !SetTimer(window_.get(), kTimerId, milliseconds, &PollTimer::OnTick)) {
    interval_ = 0;
    return false;
  }
  interval_ = milliseconds;
  return true;
}

void CALLBACK PollTimer::OnTick(HWND window, UINT, UINT_PTR, DWORD) noexcept {
  auto* timer = reinterpret_cast<PollTimer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  // A tick already queued when the timer stopped is not a tick.
  if (!timer || timer->interval_ == 0 || !timer->tick_) return;
  // The handler may destroy the timer's owner, and this timer with it: the call runs on a copy. A tick
  // that cannot be copied for want of memory is skipped; the next one comes.
  ole::Contained([&] {
    const std::function<void()> tick = timer->tick_;
    tick();
  });
}

}  // namespace cardel::input
