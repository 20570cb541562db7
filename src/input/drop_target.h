#pragma once
// The IDropTarget a control hands its host. It keeps one automation wrapper of the dragged data for
// the whole drag, so every notification of one drag shows the application the same object, and
// passes each notification to its owner, who decides the effect.
#include <objidl.h>
#include <oleidl.h>
#include <wrl/client.h>

#include <functional>

#include "VelmarCardel_h.h"
#include "ole/com_object.h"

namespace cardel::input {

enum class DragStage : short { Enter = 0, Leave = 1, Over = 2, Drop = 3 };

struct DragNotice {
  DragStage stage;
  DataObject* data;
  DWORD keys;         // MK_ flags
  POINTL screenPoint;
  DWORD effect;       // in: what the source allows; out: what the owner chose
};

class DropTarget final : public ole::ComObject<IDropTarget> {
 public:
  // Answers whether the owner takes drops at all; when it does not, the drag sees DROPEFFECT_NONE.
  using Handler = std::function<bool(DragNotice&)>;

  explicit DropTarget(Handler handler) noexcept : handler_(std::move(handler)) {}

  // The owner is going away; a host that still holds the target reaches nothing.
  void Detach() noexcept;

  STDMETHODIMP DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) noexcept override;
  STDMETHODIMP DragOver(DWORD keys, POINTL point, DWORD* effect) noexcept override;
  STDMETHODIMP DragLeave() noexcept override;
  STDMETHODIMP Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) noexcept override;

 private:
  void* Find(REFIID riid) noexcept override;
  HRESULT Notify(DragStage stage, DWORD keys, POINTL point, DWORD* effect) noexcept;

  Handler handler_;
  Microsoft::WRL::ComPtr<DataObject> data_;
  DWORD lastKeys_ = 0;
  POINTL lastPoint_{};
};

}  // namespace cardel::input
