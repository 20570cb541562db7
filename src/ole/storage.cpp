// IPersistStorage: a compound document keeps the control in a storage of its own; the saved form
// is the stream's, in one stream of that storage.
#include "ole/control_base.h"

using Microsoft::WRL::ComPtr;

namespace ole {
namespace {

constexpr wchar_t kContentsStream[] = L"Contents";

}  // namespace

STDMETHODIMP ControlBase::InitNew(IStorage* storage) noexcept {
  if (!storage) return E_POINTER;
  return InitNew();
}

STDMETHODIMP ControlBase::Load(IStorage* storage) noexcept {
  if (!storage) return E_POINTER;
  ComPtr<IStream> stream;
  HRESULT hr = storage->OpenStream(kContentsStream, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream);
  if (FAILED(hr)) return hr;
  return Load(stream.Get());
}

STDMETHODIMP ControlBase::Save(IStorage* storage, BOOL) noexcept {
  if (!storage) return E_POINTER;
  ComPtr<IStream> stream;
  HRESULT hr = storage->CreateStream(kContentsStream, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream);
  if (FAILED(hr)) return hr;
  // The dirty flag stays until the container says the save is complete.
  return Save(stream.Get(), FALSE);
}

STDMETHODIMP ControlBase::SaveCompleted(IStorage*) noexcept {
  dirty_ = false;
  return S_OK;
}

// Nothing of the storage is held between calls, so there is nothing to let go of.
STDMETHODIMP ControlBase::HandsOffStorage() noexcept { return S_OK; }

}  // namespace ole
