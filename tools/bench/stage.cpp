#include "stage.h"

#include "dib_surface.h"

namespace cardel::bench {

Stage::Stage(const host::Library& library, SIZE size) : size_(size), container_(library, size) { Place(); }

void Stage::Place() {
  // A property bag initialises the control as a form loading a new one does.
  hosted_ = &container_.Add({0, 0, size_.cx, size_.cy});
  cardel_ = hosted_->Cardel();
  view_ = hosted_->Query<IViewObject>();
}

void Stage::Renew() {
  view_.Reset();
  cardel_.Reset();
  container_.Remove(*hosted_);
  Place();
}

HRESULT Stage::PaintThroughView(HDC dc) const {
  const RECTL bounds{0, 0, size_.cx, size_.cy};
  const HRESULT hr = view_->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0);
  GdiFlush();
  return hr;
}

HRESULT Stage::PaintDirect(HDC dc) const {
  LONG y = 0;
  const HRESULT hr = cardel_->Draw(static_cast<LONG>(reinterpret_cast<intptr_t>(dc)), 0, 0, &y);
  GdiFlush();
  return hr;
}

PixelDifference Stage::DirectAgainst(const std::vector<uint32_t>& viewed, const Backdrop& backdrop) const {
  const host::DibSurface direct(size_.cx, size_.cy);
  backdrop.CopyTo(direct);
  PaintDirect(direct.Dc());
  return Compare(viewed, direct.All());
}

}  // namespace cardel::bench
