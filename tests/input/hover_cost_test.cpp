// The price of polling: a pointer resting on the control keeps the timer ticking, which must stay
// below one percent of one core.
#include <gtest/gtest.h>

#include <cstdint>

#include "input_fixture.h"

namespace cardel::testhost {
namespace {

int64_t ProcessCpu100ns() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto ticks = [](FILETIME t) { return (int64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
  return ticks(kernel) + ticks(user);
}

class HoverCostTest : public InputFixture {};

TEST_F(HoverCostTest, PollingWhileInsideCostsUnderOnePercent) {
  PointerTo(kInside);
  Pump(1000ms);
  ASSERT_TRUE(IsMouseEnter());
  events_.Clear();
  const int64_t before = ProcessCpu100ns();
  Pump(5000ms);
  const int64_t spent = ProcessCpu100ns() - before;
  // Still polling all the while: every tick routes a mouse move to the control.
  EXPECT_GE(All(event_id::MouseMove).size(), 25u);
  EXPECT_TRUE(Hover().empty());
  EXPECT_LT(spent, 5000 * 10000 / 100) << "CPU time in 100 ns units over 5 s";
}

}  // namespace
}  // namespace cardel::testhost
