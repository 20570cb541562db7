#include "ole/storage_protocol.h"

namespace ole {

HRESULT StorageProtocol::Initialise() noexcept {
  if (mode_ != Mode::Uninitialised) return CO_E_ALREADYINITIALIZED;
  mode_ = Mode::Normal;
  return S_OK;
}

// A second Save before SaveCompleted writes another storage, never the control's own.
HRESULT StorageProtocol::CheckSave() const noexcept {
  return mode_ == Mode::Normal || mode_ == Mode::NoScribble ? S_OK : E_UNEXPECTED;
}

void StorageProtocol::Saved(bool sameAsLoad, uint64_t edition) noexcept {
  if (mode_ == Mode::Normal) savedIntoCurrent_ = false;
  mode_ = Mode::NoScribble;
  savedIntoCurrent_ = savedIntoCurrent_ || sameAsLoad;
  savedEdition_ = edition;
}

HRESULT StorageProtocol::HandsOff() noexcept {
  switch (mode_) {
    case Mode::Normal: mode_ = Mode::HandsOffFromNormal; return S_OK;
    case Mode::NoScribble: mode_ = Mode::HandsOffAfterSave; return S_OK;
    default: return E_UNEXPECTED;
  }
}

StorageProtocol::Completion StorageProtocol::Complete(bool newStorage) noexcept {
  bool saved = false;
  switch (mode_) {
    case Mode::NoScribble:
      // Without a new storage the current one stays: saved only if that is where the save went.
      saved = newStorage || savedIntoCurrent_;
      break;
    case Mode::HandsOffAfterSave:
      if (!newStorage) return {E_INVALIDARG, false, 0};
      saved = true;
      break;
    case Mode::HandsOffFromNormal:
      if (!newStorage) return {E_INVALIDARG, false, 0};
      break;
    default: return {E_UNEXPECTED, false, 0};
  }
  mode_ = Mode::Normal;
  return {S_OK, saved, savedEdition_};
}

}  // namespace ole
