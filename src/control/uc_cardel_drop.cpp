// OLE drops. The control gives its host a drop target whose notifications become OLEDragOver and
// OLEDragDrop while OLEDropMode is manual; a host that stays holding the target after the control
// has gone reaches nothing.
#include "control/cardel_events.h"
#include "control/uc_cardel.h"
#include "input/event_arguments.h"
#include "input/input_arguments.h"

using Microsoft::WRL::ComPtr;

namespace cardel {
namespace {

constexpr int16_t kManualDrop = 1;

}  // namespace

input::DropTarget* UcCardel::DropTargetObject() noexcept {
  if (!dropTarget_)
    dropTarget_ = ole::MakeComObject<input::DropTarget>([this](input::DragNotice& notice) { return OnDrag(notice); });
  return dropTarget_.Get();
}

HRESULT UcCardel::OnGetDropTarget(IDropTarget** target) noexcept {
  if (HostHeld().OLEDropMode != kManualDrop) return E_NOTIMPL;
  input::DropTarget* object = DropTargetObject();
  if (!object) return E_OUTOFMEMORY;
  return object->QueryInterface(IID_PPV_ARGS(target));
}

// Only the windowed fallback registers: a windowless control's container asks for the target. The
// target reads OLEDropMode on every notification, so a later change of mode takes effect.
void UcCardel::RegisterOwnDropTarget() noexcept {
  if (HWND own = OwnWindow(); own && DropTargetObject()) dropRegistration_.Register(own, dropTarget_.Get());
}

bool UcCardel::OnDrag(input::DragNotice& notice) noexcept {
  if (HostHeld().OLEDropMode != kManualDrop || !HostHeld().Enabled) return false;
  ComPtr<IUnknown> alive(Outer());
  POINT point{notice.screenPoint.x, notice.screenPoint.y};
  ScreenToClient(ContainerWindow(), &point);
  float x = static_cast<float>(point.x - PositionRect().left);
  float y = static_cast<float>(point.y - PositionRect().top);
  int16_t button = input::ButtonsHeld(notice.keys);
  int16_t shift = input::DragShift(notice.keys);
  LONG effect = static_cast<LONG>(notice.effect);
  ComPtr<IDispatch> data(notice.data);
  if (notice.stage == input::DragStage::Drop) {
    VARIANTARG args[] = {input::ByRef(data.GetAddressOf()),   input::ByRef(&effect), input::ByRef(&button),
                         input::ByRef(&shift), input::ByRef(&x),      input::ByRef(&y)};
    FireEvent(events::OLEDragDrop, args);
  } else {
    int16_t state = static_cast<int16_t>(notice.stage);
    VARIANTARG args[] = {input::ByRef(data.GetAddressOf()), input::ByRef(&effect), input::ByRef(&button), input::ByRef(&shift),
                         input::ByRef(&x),    input::ByRef(&y),      input::ByRef(&state)};
    FireEvent(events::OLEDragOver, args);
  }
  notice.effect = static_cast<DWORD>(effect);
  return true;
}

}  // namespace cardel
