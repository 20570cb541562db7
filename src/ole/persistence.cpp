// IPersistStreamInit and IPersistPropertyBag: both reach the control's one pair of read and write
// entries; streams carry the same keys and values as property bags.
#include <wrl/client.h>

#include "ole/control_base.h"
#include "ole/memory_bag.h"

using Microsoft::WRL::ComPtr;

namespace ole {

STDMETHODIMP ControlBase::GetClassID(CLSID* clsid) noexcept {
  if (!clsid) return E_POINTER;
  *clsid = *info_.clsid;
  return S_OK;
}

STDMETHODIMP ControlBase::IsDirty() noexcept { return Dirty() ? S_OK : S_FALSE; }

HRESULT ControlBase::BeginPersistence() noexcept {
  // A control's properties are initialised once: either fresh or from what was saved.
  return SUCCEEDED(storage_.Initialise()) ? S_OK : E_UNEXPECTED;
}

STDMETHODIMP ControlBase::InitNew() noexcept {
  HRESULT hr = BeginPersistence();
  if (FAILED(hr)) return hr;
  hr = OnInitProperties();
  MarkClean();
  return hr;
}

STDMETHODIMP ControlBase::Load(IPropertyBag* bag, IErrorLog*) noexcept {
  if (!bag) return E_POINTER;
  HRESULT hr = BeginPersistence();
  if (FAILED(hr)) return hr;
  hr = OnReadProperties(bag);
  MarkClean();
  return hr;
}

STDMETHODIMP ControlBase::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) noexcept {
  if (!bag) return E_POINTER;
  HRESULT hr = OnWriteProperties(bag);
  if (SUCCEEDED(hr) && clearDirty) MarkClean();
  return hr;
}

STDMETHODIMP ControlBase::Load(IStream* stream) noexcept {
  if (!stream) return E_POINTER;
  MemoryBag bag;
  HRESULT hr = bag.LoadFrom(stream);
  if (FAILED(hr)) return hr;
  return Load(&bag, nullptr);
}

STDMETHODIMP ControlBase::Save(IStream* stream, BOOL clearDirty) noexcept {
  if (!stream) return E_POINTER;
  MemoryBag bag;
  HRESULT hr = OnWriteProperties(&bag);
  if (SUCCEEDED(hr)) hr = bag.SaveTo(stream);
  if (SUCCEEDED(hr) && clearDirty) MarkClean();
  return hr;
}

STDMETHODIMP ControlBase::GetSizeMax(ULARGE_INTEGER* size) noexcept {
  if (!size) return E_POINTER;
  // The honest answer is the size of what Save would write now.
  ComPtr<IStream> probe;
  HRESULT hr = CreateStreamOnHGlobal(nullptr, TRUE, &probe);
  if (FAILED(hr)) return hr;
  MemoryBag bag;
  hr = OnWriteProperties(&bag);
  if (SUCCEEDED(hr)) hr = bag.SaveTo(probe.Get());
  if (FAILED(hr)) return hr;
  LARGE_INTEGER zero{};
  return probe->Seek(zero, STREAM_SEEK_CUR, size);
}

}  // namespace ole
