#pragma once
// Where a container has the control in the storage protocol OLE defines: uninitialised until InitNew
// or Load, normal, no-scribble from a Save until SaveCompleted, and hands-off (after a save or from
// normal) from HandsOffStorage until SaveCompleted hands it a storage again. A call the protocol does
// not allow where the control is fails and changes nothing. Only a completed save may count the
// control's changes as saved: one into its current storage, or a save-as whose storage becomes current;
// a save-copy-as leaves them unsaved.
#include <windows.h>
#include <objidl.h>

#include <cstdint>

namespace ole {

class StorageProtocol {
 public:
  enum class Mode { Uninitialised, Normal, NoScribble, HandsOffAfterSave, HandsOffFromNormal };

  Mode mode() const noexcept { return mode_; }

  // InitNew or Load, through any persistence interface.
  HRESULT Initialise() noexcept;
  // Whether Save may write now.
  HRESULT CheckSave() const noexcept;
  // A Save that succeeded; edition names the control's state it wrote.
  void Saved(bool sameAsLoad, uint64_t edition) noexcept;
  HRESULT HandsOff() noexcept;

  struct Completion {
    HRESULT hr;
    // The edition that is now safely in the control's current storage, when the call completed a save.
    bool saved;
    uint64_t edition;
  };
  // SaveCompleted; newStorage is whether the container handed over a storage.
  Completion Complete(bool newStorage) noexcept;

 private:
  Mode mode_ = Mode::Uninitialised;
  bool savedIntoCurrent_ = false;
  uint64_t savedEdition_ = 0;
};

}  // namespace ole
