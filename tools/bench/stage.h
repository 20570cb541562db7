#pragma once
// One control placed in the test container at a given size, painted either way a comparison needs:
// through IViewObject::Draw as a container paints it (the events fire, the DC's state is saved and
// restored, the acrylic captures what lies beneath), or through the public Draw method, which draws
// the box directly and nothing else.
#include <windows.h>
#include <ocidl.h>

#include <cstdint>
#include <vector>

#include "backdrop.h"
#include "container.h"
#include "library.h"
#include "pixel_compare.h"

namespace cardel::bench {

class Stage {
 public:
  Stage(const host::Library& library, SIZE size);
  Stage(const Stage&) = delete;
  Stage& operator=(const Stage&) = delete;

  _ucCardel& Cardel() const { return *cardel_.Get(); }
  SIZE Size() const { return size_; }
  host::Container& Host() { return container_; }
  // Replaces the control by a newly placed one.
  void Renew();

  HRESULT PaintThroughView(HDC dc) const;
  HRESULT PaintDirect(HDC dc) const;

  // The direct paint over the backdrop against pixels the view's paint left over the same backdrop.
  PixelDifference DirectAgainst(const std::vector<uint32_t>& viewed, const Backdrop& backdrop) const;

 private:
  void Place();

  SIZE size_;
  host::Container container_;
  host::HostedControl* hosted_ = nullptr;
  host::ComPtr<_ucCardel> cardel_;
  host::ComPtr<IViewObject> view_;
};

// Sets Redraw False for its lifetime, so that the setters in between do not each repaint the host.
class RedrawOff {
 public:
  explicit RedrawOff(_ucCardel& cardel) : cardel_(cardel) { cardel_.put_Redraw(VARIANT_FALSE); }
  RedrawOff(const RedrawOff&) = delete;
  RedrawOff& operator=(const RedrawOff&) = delete;
  ~RedrawOff() { cardel_.put_Redraw(VARIANT_TRUE); }

 private:
  _ucCardel& cardel_;
};

}  // namespace cardel::bench
