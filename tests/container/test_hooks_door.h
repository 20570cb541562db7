#pragma once
// The control's test hooks, asked for by their own IID, and switches that are off again at the end of
// their scope.
#include <windows.h>
#include <wrl/client.h>

#include "control/test_hooks.h"

namespace cardel::host {

inline Microsoft::WRL::ComPtr<ICardelTestHooks> HooksOf(IUnknown* control) {
  Microsoft::WRL::ComPtr<ICardelTestHooks> hooks;
  if (control) control->QueryInterface(IID_ICardelTestHooks, reinterpret_cast<void**>(hooks.GetAddressOf()));
  return hooks;
}

// The library's large allocations on this thread fail while this lives.
class RefusedAllocations {
 public:
  explicit RefusedAllocations(IUnknown* control) : hooks_(HooksOf(control)) {
    on_ = hooks_ && hooks_->RefuseLargeAllocations(TRUE) == S_OK;
  }
  RefusedAllocations(const RefusedAllocations&) = delete;
  RefusedAllocations& operator=(const RefusedAllocations&) = delete;
  ~RefusedAllocations() {
    if (on_) hooks_->RefuseLargeAllocations(FALSE);
  }
  bool On() const { return on_; }

 private:
  Microsoft::WRL::ComPtr<ICardelTestHooks> hooks_;
  bool on_ = false;
};

// The process's budget for kept layers while this lives; the shipped one after.
class RetainedBudgetOf {
 public:
  RetainedBudgetOf(IUnknown* control, long long bytes) : hooks_(HooksOf(control)) {
    if (hooks_) hooks_->SetRetainedBudget(bytes);
  }
  RetainedBudgetOf(const RetainedBudgetOf&) = delete;
  RetainedBudgetOf& operator=(const RetainedBudgetOf&) = delete;
  ~RetainedBudgetOf() {
    if (hooks_) hooks_->SetRetainedBudget(-1);
  }

 private:
  Microsoft::WRL::ComPtr<ICardelTestHooks> hooks_;
};

// One control's paints at its own size drawn afresh while this lives, its kept layers left as they are.
class PaintedAfresh {
 public:
  explicit PaintedAfresh(IUnknown* control) : hooks_(HooksOf(control)) {
    if (hooks_) hooks_->PaintAfresh(TRUE);
  }
  PaintedAfresh(const PaintedAfresh&) = delete;
  PaintedAfresh& operator=(const PaintedAfresh&) = delete;
  ~PaintedAfresh() {
    if (hooks_) hooks_->PaintAfresh(FALSE);
  }

 private:
  Microsoft::WRL::ComPtr<ICardelTestHooks> hooks_;
};

inline LONG PictureDecodesOf(IUnknown* control) {
  LONG decodes = -1;
  if (auto hooks = HooksOf(control)) hooks->CountPictureDecodes(&decodes);
  return decodes;
}

}  // namespace cardel::host
