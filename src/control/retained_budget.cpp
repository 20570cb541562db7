#include "control/retained_budget.h"

#include <new>

namespace cardel {
namespace {

class Locked {
 public:
  explicit Locked(SRWLOCK& lock) noexcept : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
  ~Locked() { ReleaseSRWLockExclusive(&lock_); }

 private:
  SRWLOCK& lock_;
};

}  // namespace

BudgetClaim::~BudgetClaim() { Leave(); }

bool BudgetClaim::Claim(int64_t bytes) noexcept { return budget_.Claim(*this, bytes); }

void BudgetClaim::Leave() noexcept { budget_.Leave(*this); }

RetainedBudget& RetainedBudget::OfProcess() noexcept {
  // Never destroyed: a control may outlive the library's static destructors in a careless host.
  alignas(RetainedBudget) static unsigned char storage[sizeof(RetainedBudget)];
  static RetainedBudget* const budget = new (storage) RetainedBudget(kProcessRetainedBytes);
  return *budget;
}

int64_t RetainedBudget::Used() const noexcept {
  const Locked locked(lock_);
  return used_;
}

int64_t RetainedBudget::Limit() const noexcept {
  const Locked locked(lock_);
  return limit_;
}

void RetainedBudget::SetLimit(int64_t limit) noexcept {
  const Locked locked(lock_);
  limit_ = limit;
}

bool RetainedBudget::Claim(BudgetClaim& claim, int64_t bytes) noexcept {
  const DWORD self = GetCurrentThreadId();
  const Locked locked(lock_);
  if (claim.asked_) claim.giveUp_(claim.owner_);
  Unlist(claim);
  if (bytes <= 0 || bytes > limit_) {
    claim.giveUp_(claim.owner_);
    return false;
  }
  for (BudgetClaim* other = oldest_; other && used_ + bytes > limit_;) {
    BudgetClaim* const newer = other->newer_;
    if (other->thread_ == self) {
      other->giveUp_(other->owner_);
      Unlist(*other);
    } else {
      other->asked_ = true;
    }
    other = newer;
  }
  if (used_ + bytes > limit_) {
    claim.giveUp_(claim.owner_);
    return false;
  }
  claim.thread_ = self;
  claim.bytes_ = bytes;
  ListNewest(claim);
  return true;
}

void RetainedBudget::Leave(BudgetClaim& claim) noexcept {
  const Locked locked(lock_);
  Unlist(claim);
}

void RetainedBudget::Unlist(BudgetClaim& claim) noexcept {
  claim.asked_ = false;
  if (!claim.listed_) return;
  (claim.older_ ? claim.older_->newer_ : oldest_) = claim.newer_;
  (claim.newer_ ? claim.newer_->older_ : newest_) = claim.older_;
  claim.older_ = claim.newer_ = nullptr;
  used_ -= claim.bytes_;
  claim.bytes_ = 0;
  claim.listed_ = false;
}

void RetainedBudget::ListNewest(BudgetClaim& claim) noexcept {
  claim.older_ = newest_;
  claim.newer_ = nullptr;
  (newest_ ? newest_->newer_ : oldest_) = &claim;
  newest_ = &claim;
  used_ += claim.bytes_;
  claim.listed_ = true;
}

}  // namespace cardel
