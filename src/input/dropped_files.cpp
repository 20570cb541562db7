#include "input/dropped_files.h"

#include <oleauto.h>

#include "ole/com_object.h"
#include "ole/dispatch.h"
#include "ole/enumerator.h"
#include "ole/errors.h"

namespace cardel::input {
namespace {

struct FileName {
  std::wstring path;
};

// Found by the enumerator through the argument's namespace.
void CopyOut(const FileName& name, VARIANT* out) noexcept {
  VariantInit(out);
  V_VT(out) = VT_BSTR;
  V_BSTR(out) = SysAllocStringLen(name.path.data(), static_cast<UINT>(name.path.size()));
}

BSTR ToBstr(const std::wstring& text) noexcept {
  return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

class DroppedFiles final
    : public ole::ComObject<ole::DualDispatch<DataObjectFiles, &IID_DataObjectFiles>, ISupportErrorInfo> {
 public:
  explicit DroppedFiles(std::vector<std::wstring> names) noexcept : names_(std::move(names)) {}

  STDMETHODIMP get_Item(LONG Index, BSTR* Value) noexcept override {
    if (!Value) return E_POINTER;
    *Value = nullptr;
    if (Index < 1 || static_cast<size_t>(Index) > names_.size())
      return ole::RaiseError(ole::RuntimeError::SubscriptOutOfRange, IID_DataObjectFiles);
    *Value = ToBstr(names_[static_cast<size_t>(Index) - 1]);
    return *Value ? S_OK : E_OUTOFMEMORY;
  }

  STDMETHODIMP get_Count(LONG* Value) noexcept override {
    if (!Value) return E_POINTER;
    *Value = static_cast<LONG>(names_.size());
    return S_OK;
  }

  STDMETHODIMP get__NewEnum(IUnknown** Value) noexcept override {
    if (!Value) return E_POINTER;
    *Value = nullptr;
    std::vector<FileName> items;
    try {
      for (const std::wstring& name : names_) items.push_back(FileName{name});
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    IEnumVARIANT* enumerator = nullptr;
    HRESULT hr = ole::ComEnumerator<IEnumVARIANT, VARIANT, FileName>::Create(
        static_cast<DataObjectFiles*>(this), std::move(items), &enumerator);
    *Value = enumerator;
    return hr;
  }

  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID riid) noexcept override {
    return riid == IID_DataObjectFiles ? S_OK : S_FALSE;
  }

 private:
  void* Find(REFIID riid) noexcept override {
    if (riid == IID_IDispatch || riid == IID_DataObjectFiles) return static_cast<DataObjectFiles*>(this);
    if (riid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
    return nullptr;
  }

  std::vector<std::wstring> names_;
};

}  // namespace

HRESULT NewDroppedFiles(std::vector<std::wstring> names, DataObjectFiles** files) noexcept {
  if (!files) return E_POINTER;
  *files = nullptr;
  auto object = ole::MakeComObject<DroppedFiles>(std::move(names));
  if (!object) return E_OUTOFMEMORY;
  *files = object.Detach();
  return S_OK;
}

}  // namespace cardel::input
