#pragma once
// How often hover tracking polls. Each tick costs a round trip through the host and a query of the
// pointer, which on some platforms goes out to the display server; polling a resting pointer as
// fast as a moving one spends a few percent of a core on nothing. So a pointer that has stayed put
// for a while is polled slowly, and any movement, or input from the host, brings the fast pace back.
#include <windows.h>

namespace cardel::input {

class PollPace {
 public:
  static constexpr UINT kMoving = 1;
  static constexpr UINT kResting = 100;
  static constexpr int kStillTicksBeforeResting = 10;

  // The interval after a tick that found the pointer and the control's position as given.
  UINT AfterTick(POINT pointer, POINT controlPosition) noexcept;
  // The interval after input from the host, which means the pointer is moving.
  UINT AfterInput() noexcept;

 private:
  bool seen_ = false;
  POINT pointer_{};
  POINT position_{};
  int stillTicks_ = 0;
};

}  // namespace cardel::input
