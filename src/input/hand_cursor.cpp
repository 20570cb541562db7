#include "input/hand_cursor.h"

#include <utility>

#include "input/cursor_shapes.h"

namespace cardel::input {
namespace {

// LoadCursor answers the shared system cursor; it is never destroyed, so it is only copied.
HCURSOR SharedHand() noexcept { return LoadCursorW(nullptr, IDC_HAND); }

}  // namespace

UniqueCursor LoadHandCursor() noexcept { return UniqueCursor(CopyCursor(SharedHand())); }

HRESULT NewHandCursorPicture(IPictureDisp** picture) noexcept {
  if (!picture) return E_POINTER;
  *picture = nullptr;
  UniqueCursor copy = LoadHandCursor();
  if (!copy) return HRESULT_FROM_WIN32(GetLastError());
  PICTDESC description{};
  description.cbSizeofstruct = sizeof(description);
  description.picType = PICTYPE_ICON;
  description.icon.hicon = copy.get();
  HRESULT hr = OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE, reinterpret_cast<void**>(picture));
  if (SUCCEEDED(hr)) copy.release();
  return hr;
}

void ReplaceHeldCursor(UniqueCursor& held, UniqueCursor next) noexcept {
  if (held && GetCursor() == held.get()) SetCursor(next ? next.get() : LoadCursorW(nullptr, IDC_ARROW));
  held = std::move(next);
}

void ReleasePointerPicture(Microsoft::WRL::ComPtr<IPictureDisp>& picture) noexcept {
  HCURSOR shown = CursorForPointer(kCustomPointer, picture.Get());
  if (shown && GetCursor() == shown) SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  picture.Reset();
}

}  // namespace cardel::input
