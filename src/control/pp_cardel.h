#pragma once
// ppCardel: the "Picture" property page of ucCardel, shown by any property frame.
#include <ocidl.h>
#include <wrl/client.h>

#include <memory>

#include "common/cardel_interfaces.h"
#include "ole/com_object.h"
#include "ole/dispatch.h"
#include "proppage/picture_page.h"

namespace cardel {

class PpCardel final : public ole::ComObject<ole::DualDispatch<_ppCardel, &IID__ppCardel>, IPropertyPage2> {
 public:
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
  void* Find(REFIID riid) noexcept override;
  void MarkDirty() noexcept;

  Microsoft::WRL::ComPtr<IPropertyPageSite> site_;
  Microsoft::WRL::ComPtr<_ucCardel> selected_;
  std::unique_ptr<proppage::PicturePage> page_;
  bool dirty_ = false;
};

}  // namespace cardel
