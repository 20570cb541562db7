#pragma once
// The Image snapshot's surface: an opaque bitmap compatible with the screen, filled with the
// box's own colour before the control is drawn on it, so translucent layers and the corners
// outside the outline blend over that colour instead of leaving holes. The bitmap ends up owned
// by a standard picture object.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include <optional>

#include "common/win_handles.h"

namespace cardel {

class SnapshotCanvas {
 public:
  // A system colour is resolved to its current RGB.
  SnapshotCanvas(SIZE size, OLE_COLOR background) noexcept;
  SnapshotCanvas(const SnapshotCanvas&) = delete;
  SnapshotCanvas& operator=(const SnapshotCanvas&) = delete;

  // Where to draw, the origin at the snapshot's top-left corner.
  HDC Dc() const noexcept { return dc_.get(); }
  // Takes the bitmap out of the context and wraps it in a picture object that deletes it when
  // released; the canvas is spent afterwards.
  HRESULT TakePicture(Microsoft::WRL::ComPtr<IPicture>& picture) noexcept;

 private:
  // In this order, so that the bitmap is deselected before it and the context are deleted.
  UniqueMemoryDc dc_;
  UniqueBitmap bitmap_;
  std::optional<SelectedObject> selected_;
};

}  // namespace cardel
