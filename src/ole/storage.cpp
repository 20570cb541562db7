// IPersistStorage: a compound document keeps the control in a storage of its own; the saved form
// is the stream's, in one stream of that storage.
#include <algorithm>

#include "ole/control_base.h"

using Microsoft::WRL::ComPtr;

namespace ole {
namespace {

constexpr wchar_t kContentsStream[] = L"Contents";

}  // namespace

// The storage protocol's own answer for a second initialisation, where the stream's is E_UNEXPECTED.
STDMETHODIMP ControlBase::InitNew(IStorage* storage) noexcept {
  if (!storage) return E_POINTER;
  if (storage_.mode() != StorageProtocol::Mode::Uninitialised) return CO_E_ALREADYINITIALIZED;
  return InitNew();
}

STDMETHODIMP ControlBase::Load(IStorage* storage) noexcept {
  if (!storage) return E_POINTER;
  if (storage_.mode() != StorageProtocol::Mode::Uninitialised) return CO_E_ALREADYINITIALIZED;
  ComPtr<IStream> stream;
  HRESULT hr = storage->OpenStream(kContentsStream, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream);
  if (FAILED(hr)) return hr;
  return Load(stream.Get());
}

STDMETHODIMP ControlBase::Save(IStorage* storage, BOOL sameAsLoad) noexcept {
  if (!storage) return E_POINTER;
  HRESULT hr = storage_.CheckSave();
  if (FAILED(hr)) return hr;
  ComPtr<IStream> stream;
  hr = storage->CreateStream(kContentsStream, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream);
  if (FAILED(hr)) return hr;
  // Saved is not yet clean: the container says with SaveCompleted whether this storage is the document's.
  hr = Save(stream.Get(), FALSE);
  if (SUCCEEDED(hr)) storage_.Saved(sameAsLoad != FALSE, edition_);
  return hr;
}

// Nothing of the storage is held between calls, so a new one needs no streams opened.
STDMETHODIMP ControlBase::SaveCompleted(IStorage* storage) noexcept {
  const StorageProtocol::Completion completion = storage_.Complete(storage != nullptr);
  if (completion.saved) savedEdition_ = std::max(savedEdition_, completion.edition);
  return completion.hr;
}

STDMETHODIMP ControlBase::HandsOffStorage() noexcept { return storage_.HandsOff(); }

}  // namespace ole
