// Cursors: the host-held MousePointer and MouseIcon shown when the container asks for a cursor, and
// the system hand that MousePointerHands switches on.
#include "control/uc_cardel.h"
#include "input/cursor_shapes.h"
#include "input/hand_cursor.h"

using Microsoft::WRL::ComPtr;

namespace cardel {

HRESULT UcCardel::ApplyMousePointer(LPARAM lParam, LRESULT* result) noexcept {
  if (LOWORD(lParam) != HTCLIENT) return S_FALSE;
  HCURSOR cursor = input::CursorForPointer(HostHeld().MousePointer, MouseIcon().Get());
  if (!cursor) return S_FALSE;
  SetCursor(cursor);
  *result = TRUE;
  return S_OK;
}

STDMETHODIMP UcCardel::GetSystemHandCursor(IPictureDisp** Result) noexcept {
  if (!Result) return E_POINTER;
  *Result = nullptr;
  input::ReplaceHeldCursor(handCursor_, input::LoadHandCursor());
  return input::NewHandCursorPicture(Result);
}

void UcCardel::ApplyHandPointer() noexcept {
  if (state_.MousePointerHands) {
    // In a designer the hand would only get in the way of placing the control.
    if (AmbientUserMode()) {
      ComPtr<IPictureDisp> hand;
      GetSystemHandCursor(&hand);
      HostHeld().MousePointer = input::kCustomPointer;
      input::ReleasePointerPicture(MouseIcon());
      MouseIcon() = hand;
    }
  } else {
    input::ReplaceHeldCursor(handCursor_, {});
    HostHeld().MousePointer = input::kDefaultPointer;
    input::ReleasePointerPicture(MouseIcon());
  }
}

void UcCardel::ApplySavedHandPointer() noexcept {
  if (!state_.MousePointerHands || !AmbientUserMode()) return;
  ComPtr<IPictureDisp> hand;
  GetSystemHandCursor(&hand);
  HostHeld().MousePointer = input::kCustomPointer;
  MouseIcon() = hand;
}

}  // namespace cardel
