#include "input/drop_target.h"

#include "input/dropped_data.h"

namespace cardel::input {

void DropTarget::Detach() noexcept {
  handler_ = nullptr;
  data_.Reset();
}

void* DropTarget::Find(REFIID riid) noexcept {
  return riid == IID_IDropTarget ? static_cast<IDropTarget*>(this) : nullptr;
}

STDMETHODIMP DropTarget::DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) noexcept {
  if (!effect) return E_INVALIDARG;
  data_.Reset();
  if (data) NewDroppedData(data, &data_);
  return Notify(DragStage::Enter, keys, point, effect);
}

STDMETHODIMP DropTarget::DragOver(DWORD keys, POINTL point, DWORD* effect) noexcept {
  if (!effect) return E_INVALIDARG;
  return Notify(DragStage::Over, keys, point, effect);
}

STDMETHODIMP DropTarget::DragLeave() noexcept {
  DWORD effect = DROPEFFECT_NONE;
  Notify(DragStage::Leave, lastKeys_, lastPoint_, &effect);
  data_.Reset();
  return S_OK;
}

STDMETHODIMP DropTarget::Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) noexcept {
  if (!effect) return E_INVALIDARG;
  // The drop carries the data again; a drop without a drag before it is still a drop.
  if (data) {
    data_.Reset();
    NewDroppedData(data, &data_);
  }
  HRESULT hr = Notify(DragStage::Drop, keys, point, effect);
  data_.Reset();
  return hr;
}

HRESULT DropTarget::Notify(DragStage stage, DWORD keys, POINTL point, DWORD* effect) noexcept {
  lastKeys_ = keys;
  lastPoint_ = point;
  const DWORD allowed = *effect;
  DragNotice notice{stage, data_.Get(), keys, point, allowed};
  // Keep this target alive through the owner's handlers, which may end the drag's last holder.
  Microsoft::WRL::ComPtr<IDropTarget> self(this);
  const bool taken = handler_ && handler_(notice);
  *effect = taken ? (notice.effect & allowed) : DROPEFFECT_NONE;
  return S_OK;
}

}  // namespace cardel::input
