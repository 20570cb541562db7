// The one budget of the process's kept layers: the least recently painted give theirs up first, only
// ever on their own thread, and the total never passes the limit.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

#include "control/retained_budget.h"

namespace cardel {
namespace {

// What a control keeps, as the budget sees it.
struct Keeper {
  explicit Keeper(RetainedBudget& budget) : claim(budget, &Keeper::GiveUp, this) {}
  static void GiveUp(void* self) noexcept {
    auto* keeper = static_cast<Keeper*>(self);
    keeper->keeps = false;
    keeper->givenUpOn = GetCurrentThreadId();
  }
  bool Paint(int64_t bytes) { return keeps = claim.Claim(bytes); }

  bool keeps = false;
  DWORD givenUpOn = 0;
  BudgetClaim claim;
};

TEST(RetainedBudgetTest, TheLeastRecentlyPaintedGiveUpFirst) {
  RetainedBudget budget(100);
  Keeper a(budget), b(budget), c(budget);
  EXPECT_TRUE(a.Paint(40));
  EXPECT_TRUE(b.Paint(40));
  EXPECT_TRUE(a.Paint(40));  // a is now the most recent
  EXPECT_TRUE(c.Paint(40));
  EXPECT_FALSE(b.keeps);
  EXPECT_TRUE(a.keeps);
  EXPECT_EQ(budget.Used(), 80);
  // Painted again, b claims again and the least recent now is a.
  EXPECT_TRUE(b.Paint(40));
  EXPECT_FALSE(a.keeps);
  EXPECT_TRUE(c.keeps);
  EXPECT_EQ(budget.Used(), 80);
}

TEST(RetainedBudgetTest, MoreThanTheWholeBudgetIsKeptByNoOne) {
  RetainedBudget budget(100);
  Keeper a(budget), big(budget);
  EXPECT_TRUE(a.Paint(60));
  big.keeps = true;
  EXPECT_FALSE(big.Paint(101));
  EXPECT_FALSE(big.keeps) << "what it kept before is given up too";
  EXPECT_TRUE(a.keeps) << "nobody gives up room for a claim that cannot fit";
  EXPECT_EQ(budget.Used(), 60);
}

TEST(RetainedBudgetTest, AClaimThatGrowsOrShrinksIsCountedOnce) {
  RetainedBudget budget(100);
  Keeper a(budget);
  EXPECT_TRUE(a.Paint(30));
  EXPECT_TRUE(a.Paint(90));
  EXPECT_EQ(budget.Used(), 90);
  EXPECT_TRUE(a.Paint(10));
  EXPECT_EQ(budget.Used(), 10);
}

TEST(RetainedBudgetTest, LeavingOrEndingGivesTheRoomBack) {
  RetainedBudget budget(100);
  Keeper a(budget);
  {
    Keeper b(budget);
    EXPECT_TRUE(b.Paint(50));
    EXPECT_TRUE(a.Paint(50));
    EXPECT_EQ(budget.Used(), 100);
  }
  EXPECT_EQ(budget.Used(), 50);
  a.claim.Leave();
  EXPECT_EQ(budget.Used(), 0);
  a.claim.Leave();
  EXPECT_EQ(budget.Used(), 0);
}

TEST(RetainedBudgetTest, ALowerLimitTakesEffectAtTheNextClaim) {
  RetainedBudget budget(100);
  Keeper a(budget), b(budget);
  EXPECT_TRUE(a.Paint(50));
  EXPECT_TRUE(b.Paint(50));
  budget.SetLimit(60);
  EXPECT_TRUE(b.Paint(50));
  EXPECT_FALSE(a.keeps);
  EXPECT_EQ(budget.Used(), 50);
}

// A keeper on another apartment's thread is only asked; it gives up at its own next claim, and until then
// its bytes still count, so the claim that asked paints directly.
TEST(RetainedBudgetTest, KeepersOnOtherThreadsGiveUpOnTheirOwnThread) {
  RetainedBudget budget(100);
  Keeper mine(budget), theirs(budget);
  const DWORD self = GetCurrentThreadId();
  std::thread([&] { EXPECT_TRUE(theirs.Paint(60)); }).join();

  EXPECT_FALSE(mine.Paint(60));
  EXPECT_TRUE(theirs.keeps) << "not released from a thread that is not its own";
  EXPECT_EQ(budget.Used(), 60);

  std::thread([&] { EXPECT_TRUE(theirs.Paint(30)); }).join();
  EXPECT_NE(theirs.givenUpOn, self);
  EXPECT_NE(theirs.givenUpOn, 0u);
  EXPECT_EQ(budget.Used(), 30);
  EXPECT_TRUE(mine.Paint(60));
  EXPECT_EQ(budget.Used(), 90);
}

TEST(RetainedBudgetTest, ClaimsFromManyThreadsNeverPassTheLimit) {
  RetainedBudget budget(1000);
  constexpr int kThreads = 4, kKeepers = 6;
  std::vector<std::thread> threads;
  int64_t worst = 0;
  SRWLOCK worstLock = SRWLOCK_INIT;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      std::vector<std::unique_ptr<Keeper>> keepers;
      for (int k = 0; k < kKeepers; ++k) keepers.push_back(std::make_unique<Keeper>(budget));
      for (int round = 0; round < 300; ++round) {
        keepers[(round + t) % kKeepers]->Paint(90 + round % 7 * 10);
        const int64_t used = budget.Used();
        AcquireSRWLockExclusive(&worstLock);
        worst = std::max(worst, used);
        ReleaseSRWLockExclusive(&worstLock);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_LE(worst, 1000);
  EXPECT_EQ(budget.Used(), 0) << "every keeper left as it ended";
}

}  // namespace
}  // namespace cardel
