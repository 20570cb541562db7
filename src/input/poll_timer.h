#pragma once
// A timer a windowless control can own: a hidden message-only window of its own receives the
// ticks, which arrive on the creating thread between the host's other messages. Interval 0 stops it.
#include <windows.h>

#include <functional>

#include "common/win_handles.h"

namespace cardel::input {

class PollTimer {
 public:
  explicit PollTimer(std::function<void()> tick) noexcept : tick_(std::move(tick)) {}
  PollTimer(const PollTimer&) = delete;
  PollTimer& operator=(const PollTimer&) = delete;

  // Returns false when the window or the timer could not be made; the timer then stays stopped.
  bool SetInterval(UINT milliseconds) noexcept;
  UINT Interval() const noexcept { return interval_; }

 private:
  static void CALLBACK OnTick(HWND window, UINT, UINT_PTR, DWORD) noexcept;
  bool EnsureWindow() noexcept;

  std::function<void()> tick_;
  // Made on the first start, so a control the pointer never visits costs no window.
  UniqueWindow window_;
  UINT interval_ = 0;
};

}  // namespace cardel::input
