// How often the download ring is repainted, with a clock and a timer of the test's own.
#include <gtest/gtest.h>

#include "picture/progress_pace.h"

namespace cardel {
namespace {

TEST(ProgressPaceTest, EachStepAfterTheFirstRepaint) {
  const struct {
    const char* what;
    bool waitRunning;
    uint64_t now;
    PaceDecision expected;
  } steps[] = {
      {"an interval later: at once", false, 130, {true, 0}},
      {"12 ms after: waits the remaining 18", false, 112, {false, 18}},
      {"while a wait runs: nothing more", true, 125, {false, 0}},
      {"a clock gone back: at once", false, 40, {true, 0}},
  };
  for (const auto& step : steps) {
    ProgressPace pace;
    ASSERT_TRUE(pace.Changed(100).repaintNow);
    if (step.waitRunning) {
      ASSERT_EQ(pace.Changed(110).startWait, 20u);
    }
    const PaceDecision got = pace.Changed(step.now);
    EXPECT_EQ(got.repaintNow, step.expected.repaintNow) << step.what;
    EXPECT_EQ(got.startWait, step.expected.startWait) << step.what;
  }
}

TEST(ProgressPaceTest, AWaitEndsInOneRepaintAndAResetForgetsThePast) {
  ProgressPace pace;
  EXPECT_FALSE(pace.Due(5));
  pace.Changed(100);
  pace.Changed(105);
  EXPECT_TRUE(pace.Waiting());
  EXPECT_TRUE(pace.Due(130));
  EXPECT_FALSE(pace.Due(131));
  // The repaint at the wait's end counts: a change soon after it waits again.
  EXPECT_EQ(pace.Changed(140).startWait, 20u);
  pace.Reset();
  EXPECT_FALSE(pace.Waiting());
  EXPECT_TRUE(pace.Changed(141).repaintNow);
}

// A burst of notifications a millisecond apart, the timer firing when its wait is over.
TEST(ProgressPaceTest, ABurstRepaintsFarLessOftenAndShowsItsLastState) {
  ProgressPace pace;
  constexpr int kNotifications = 300;
  int repaints = 0;
  uint64_t lastRepaint = 0;
  uint64_t timerAt = 0;  // 0: no timer running
  for (uint64_t now = 1000; now < 1000 + kNotifications + ProgressPace::kInterval; ++now) {
    if (timerAt == now) {
      timerAt = 0;
      if (pace.Due(now)) ++repaints, lastRepaint = now;
    }
    if (now >= 1000 + kNotifications) continue;
    const PaceDecision d = pace.Changed(now);
    if (d.repaintNow) ++repaints, lastRepaint = now;
    if (d.startWait) timerAt = now + d.startWait;
  }
  EXPECT_LE(repaints, kNotifications / int(ProgressPace::kInterval) + 1);
  EXPECT_GE(repaints, kNotifications / int(ProgressPace::kInterval));
  EXPECT_GE(lastRepaint, 1000u + kNotifications - 1);
  EXPECT_FALSE(pace.Waiting());
}

}  // namespace
}  // namespace cardel
