#pragma once
// ppCardel: the design-time property page class.
#include "control/cardel_interfaces.h"
#include "ole/dispatch.h"
#include "ole/module.h"

namespace cardel {

class PpCardel final : public ole::DualDispatch<_ppCardel, &IID__ppCardel> {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** object) noexcept override;
  STDMETHODIMP_(ULONG) AddRef() noexcept override;
  STDMETHODIMP_(ULONG) Release() noexcept override;

 private:
  ~PpCardel() = default;
  LONG refs_ = 1;
  ole::ModuleReference module_;
};

}  // namespace cardel
