#pragma once
// The page as the container of its preview control: a client site that lets the control activate in
// a child window of the page (never windowless, so the page needs no paint or input plumbing).
#include <windows.h>
#include <oleidl.h>
#include <wrl/client.h>

#include "control/cardel_interfaces.h"

namespace cardel::proppage {

class PreviewHost {
 public:
  PreviewHost() = default;
  PreviewHost(const PreviewHost&) = delete;
  PreviewHost& operator=(const PreviewHost&) = delete;
  ~PreviewHost();

  // A new ucCardel, initialised as a new control and shown in place at `rect` of `parent`.
  HRESULT Start(HWND parent, const RECT& rect) noexcept;
  _ucCardel* box() const noexcept { return box_.Get(); }

 private:
  void Stop() noexcept;
  Microsoft::WRL::ComPtr<_ucCardel> box_;
  Microsoft::WRL::ComPtr<IOleClientSite> site_;
};

}  // namespace cardel::proppage
