// The price of polling: a pointer resting on the control keeps the timer ticking, which must stay
// below one percent of one core.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>

#include "input/poll_pace.h"
#include "input_fixture.h"

namespace cardel::host {
namespace {

using input::PollPace;

int64_t ProcessCpu100ns() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto ticks = [](FILETIME t) { return (int64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
  return ticks(kernel) + ticks(user);
}

class HoverCostTest : public InputFixture {};

TEST_F(HoverCostTest, PollingWhileInsideCostsUnderOnePercent) {
  PointerTo(kInside);
  // Past the still ticks the pace slows to resting, which is what a resting pointer costs.
  EXPECT_TRUE(PumpUntil([&] { return All(event_id::MouseMove).size() > PollPace::kStillTicksBeforeResting; },
                        "the pace to slow"));
  ASSERT_TRUE(IsMouseEnter());
  events_.Clear();
  // Measured over enough ticks that the cost is many times the granularity of the process's CPU clock.
  constexpr size_t kTicks = 25;
  const int64_t before = ProcessCpu100ns();
  const auto start = std::chrono::steady_clock::now();
  // Still polling all the while: every tick routes a mouse move to the control.
  ASSERT_TRUE(PumpUntil([&] { return All(event_id::MouseMove).size() >= kTicks; }, "mouse moves from polling"));
  const int64_t spent = ProcessCpu100ns() - before;
  const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
  EXPECT_TRUE(Hover().empty());
  EXPECT_GE(elapsed.count(), static_cast<int64_t>(kTicks - 1) * PollPace::kResting * 1000 * 9 / 10)
      << "ticks at the resting pace";
  EXPECT_LT(spent, elapsed.count() * 10 / 100) << "CPU time in 100 ns units over " << elapsed.count() << " us";
}

}  // namespace
}  // namespace cardel::host
