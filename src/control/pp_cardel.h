#pragma once
// ppCardel: the "Picture" property page of ucCardel, shown by any property frame.
#include <ocidl.h>
#include <wrl/client.h>

#include <memory>

#include "common/cardel_interfaces.h"
#include "ole/dispatch.h"
#include "ole/module.h"
#include "proppage/picture_page.h"

namespace cardel {

class PpCardel final : public ole::DualDispatch<_ppCardel, &IID__ppCardel>, public IPropertyPage2 {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** object) noexcept override;
  STDMETHODIMP_(ULONG) AddRef() noexcept override;
  STDMETHODIMP_(ULONG) Release() noexcept override;

  // IPropertyPage
  STDMETHODIMP SetPageSite(IPropertyPageSite* site) noexcept override;
  STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL modal) noexcept override;
  STDMETHODIMP Deactivate() noexcept override;
  STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) noexcept override;
  STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) noexcept override;
  STDMETHODIMP Show(UINT command) noexcept override;
  STDMETHODIMP Move(LPCRECT rect) noexcept override;
  STDMETHODIMP IsPageDirty() noexcept override;
  STDMETHODIMP Apply() noexcept override;
  STDMETHODIMP Help(LPCOLESTR help_dir) noexcept override;
  STDMETHODIMP TranslateAccelerator(MSG* msg) noexcept override;
  // IPropertyPage2
  STDMETHODIMP EditProperty(DISPID id) noexcept override;

 private:
  ~PpCardel() = default;
  void MarkDirty() noexcept;

  LONG refs_ = 1;
  ole::ModuleReference module_;
  Microsoft::WRL::ComPtr<IPropertyPageSite> site_;
  Microsoft::WRL::ComPtr<_ucCardel> selected_;
  std::unique_ptr<proppage::PicturePage> page_;
  bool dirty_ = false;
};

}  // namespace cardel
