#include "input/cursor_shapes.h"

#include <wrl/client.h>

#include <array>

using Microsoft::WRL::ComPtr;

namespace cardel::input {
namespace {

// Indexed by MousePointer 1 to 15. Two shapes of the old pointer set, the icon (4) and the
// four-way size arrow (5), no longer have cursors of their own; their modern equivalents stand in.
const std::array<LPCWSTR, 15> kStandard{
    IDC_ARROW,     // 1 arrow
    IDC_CROSS,     // 2 cross
    IDC_IBEAM,     // 3 I-beam
    IDC_ARROW,     // 4 icon
    IDC_SIZEALL,   // 5 size
    IDC_SIZENESW,  // 6 size NE-SW
    IDC_SIZENS,    // 7 size N-S
    IDC_SIZENWSE,  // 8 size NW-SE
    IDC_SIZEWE,    // 9 size W-E
    IDC_UPARROW,   // 10 up arrow
    IDC_WAIT,      // 11 hourglass
    IDC_NO,        // 12 no drop
    IDC_APPSTARTING,  // 13 arrow and hourglass
    IDC_HELP,      // 14 arrow and question mark
    IDC_SIZEALL,   // 15 size all
};

HCURSOR IconCursor(IPictureDisp* mouseIcon) noexcept {
  ComPtr<IPicture> picture;
  if (!mouseIcon || FAILED(mouseIcon->QueryInterface(IID_PPV_ARGS(&picture)))) return nullptr;
  SHORT type = PICTYPE_UNINITIALIZED;
  OLE_HANDLE handle = 0;
  if (FAILED(picture->get_Type(&type)) || type != PICTYPE_ICON) return nullptr;
  if (FAILED(picture->get_Handle(&handle))) return nullptr;
  return reinterpret_cast<HCURSOR>(static_cast<UINT_PTR>(handle));
}

}  // namespace

LPCWSTR StandardCursorResource(int16_t mousePointer) noexcept {
  if (mousePointer < 1 || mousePointer > static_cast<int16_t>(kStandard.size())) return nullptr;
  return kStandard[static_cast<size_t>(mousePointer - 1)];
}

HCURSOR CursorForPointer(int16_t mousePointer, IPictureDisp* mouseIcon) noexcept {
  if (mousePointer == kCustomPointer) return IconCursor(mouseIcon);
  LPCWSTR resource = StandardCursorResource(mousePointer);
  return resource ? LoadCursorW(nullptr, resource) : nullptr;
}

}  // namespace cardel::input
