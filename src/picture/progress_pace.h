#pragma once
// How often a transfer's progress reaches the screen. A repaint of the control costs milliseconds and
// progress can be reported much faster; painting every report would slow down the very transfer it
// shows. So a change is shown at once when the last repaint is at least an interval old; otherwise it
// waits for the interval to end, and the repaint then shows whatever state is current by that time,
// so the last state is always shown. Times are milliseconds of any steady clock.
#include <cstdint>
#include <optional>

namespace cardel {

struct PaceDecision {
  bool repaintNow = false;
  uint32_t startWait = 0;  // not 0: a wait of this many milliseconds is to start, ending in Due
};

class ProgressPace {
 public:
  // About 33 repaints a second: the ring still moves smoothly.
  static constexpr uint32_t kInterval = 30;

  explicit ProgressPace(uint32_t interval = kInterval) noexcept : interval_(interval) {}

  // A change to show, at now. A repaint now counts as the last repaint; a change while a wait runs
  // needs nothing more, since the repaint at its end will show it.
  PaceDecision Changed(uint64_t now) noexcept;
  // The wait has ended: true when a repaint is owed, which then counts as the last repaint.
  bool Due(uint64_t now) noexcept;
  bool Waiting() const noexcept { return waiting_; }
  // A new transfer starts with nothing shown: its first change repaints at once.
  void Reset() noexcept;

 private:
  uint32_t interval_;
  std::optional<uint64_t> lastRepaint_;
  bool waiting_ = false;
};

}  // namespace cardel
