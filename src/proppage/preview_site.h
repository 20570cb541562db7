#pragma once
// The page as the container of its preview control: a client site that lets the control activate in
// a child window of the page (never windowless, so the page needs no paint or input plumbing).
#include <windows.h>
#include <oleidl.h>
#include <wrl/client.h>

#include "common/cardel_interfaces.h"
#include "ole/class_factory.h"

namespace cardel::proppage {

class PreviewHost {
 public:
  // The page shows whatever control `create` makes; it is given, not looked up, so the page never
  // depends on the library that serves the control.
  explicit PreviewHost(ole::CreateFunction create) noexcept : create_(create) {}
  PreviewHost(const PreviewHost&) = delete;
  PreviewHost& operator=(const PreviewHost&) = delete;
  ~PreviewHost();

  // A new ucCardel, initialised as a new control and shown in place at `rect` of `parent`.
  HRESULT Start(HWND parent, const RECT& rect) noexcept;
  _ucCardel* box() const noexcept { return box_.Get(); }

 private:
  void Stop() noexcept;
  ole::CreateFunction create_;
  Microsoft::WRL::ComPtr<_ucCardel> box_;
  Microsoft::WRL::ComPtr<IOleClientSite> site_;
};

}  // namespace cardel::proppage
