#pragma once
// One budget for the layers every control of the process keeps, so that many large controls cannot
// fill a 32-bit host: a control claims its layers' bytes when it is painted, and the least recently
// painted give theirs up first and paint directly until they are painted again. Controls are
// apartment-threaded and several apartments may hold them: a control's layers are only ever released
// on its own thread. One on another thread is asked to give them up and does so at its next claim;
// until then its bytes still count, so the total never passes the limit.
#include <windows.h>

#include <cstdint>

namespace cardel {

// Room for seven full-HD controls without acrylic in a 32-bit host, and about forty in a 64-bit one.
#if defined(_WIN64)
inline constexpr int64_t kProcessRetainedBytes = 1024LL * 1024 * 1024;
#else
inline constexpr int64_t kProcessRetainedBytes = 192LL * 1024 * 1024;
#endif

class RetainedBudget;

// A control's place in a budget; it leaves when destroyed.
class BudgetClaim {
 public:
  // Gives up everything the owner keeps; called on the owner's thread only, under the budget's lock,
  // so it must not claim or leave.
  using GiveUp = void (*)(void* owner) noexcept;
  BudgetClaim(RetainedBudget& budget, GiveUp giveUp, void* owner) noexcept
      : budget_(budget), giveUp_(giveUp), owner_(owner) {}
  BudgetClaim(const BudgetClaim&) = delete;
  BudgetClaim& operator=(const BudgetClaim&) = delete;
  ~BudgetClaim();

  // Makes room for bytes as the most recently painted; false when there is none, and the owner then
  // keeps nothing.
  bool Claim(int64_t bytes) noexcept;
  // The owner keeps nothing now.
  void Leave() noexcept;

 private:
  friend class RetainedBudget;
  RetainedBudget& budget_;
  const GiveUp giveUp_;
  void* const owner_;
  DWORD thread_ = 0;
  int64_t bytes_ = 0;
  bool listed_ = false;
  bool asked_ = false;
  BudgetClaim* older_ = nullptr;
  BudgetClaim* newer_ = nullptr;
};

class RetainedBudget {
 public:
  explicit RetainedBudget(int64_t limit) noexcept : limit_(limit) {}
  RetainedBudget(const RetainedBudget&) = delete;
  RetainedBudget& operator=(const RetainedBudget&) = delete;

  static RetainedBudget& OfProcess() noexcept;

  int64_t Used() const noexcept;
  int64_t Limit() const noexcept;
  // Takes effect at the next claim.
  void SetLimit(int64_t limit) noexcept;

 private:
  friend class BudgetClaim;
  bool Claim(BudgetClaim& claim, int64_t bytes) noexcept;
  void Leave(BudgetClaim& claim) noexcept;
  void Unlist(BudgetClaim& claim) noexcept;
  void ListNewest(BudgetClaim& claim) noexcept;

  mutable SRWLOCK lock_ = SRWLOCK_INIT;
  int64_t limit_;
  int64_t used_ = 0;
  BudgetClaim* oldest_ = nullptr;
  BudgetClaim* newest_ = nullptr;
};

}  // namespace cardel
