#pragma once
// Whatever the caption changes on the caller's Graphics (its world transform, its text
// rendering hint) is put back when the drawing is done.
#include "common/gdiplus_handles.h"

namespace cardel {

class SavedGraphicsState {
 public:
  explicit SavedGraphicsState(Gdiplus::GpGraphics* graphics) noexcept : graphics_(graphics) {
    saved_ = Gdiplus::DllExports::GdipSaveGraphics(graphics_, &state_) == Gdiplus::Ok;
  }
  SavedGraphicsState(const SavedGraphicsState&) = delete;
  SavedGraphicsState& operator=(const SavedGraphicsState&) = delete;
  ~SavedGraphicsState() {
    if (saved_) Gdiplus::DllExports::GdipRestoreGraphics(graphics_, state_);
  }

 private:
  Gdiplus::GpGraphics* graphics_;
  Gdiplus::GraphicsState state_ = 0;
  bool saved_ = false;
};

}  // namespace cardel
