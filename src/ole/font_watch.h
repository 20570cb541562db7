#pragma once
// Hears a font object the control holds being changed through the object itself (a host writing
// Font.Size on the font it was given), which none of the control's setters sees.
#include <windows.h>
#include <ocidl.h>
#include <wrl/client.h>

namespace ole {

class FontWatch {
 public:
  using Changed = void (*)(void* context) noexcept;

  FontWatch() noexcept = default;
  FontWatch(const FontWatch&) = delete;
  FontWatch& operator=(const FontWatch&) = delete;
  ~FontWatch();

  // Calls changed(context) after each change of font's attributes until Stop; a font without
  // change notifications is simply not heard.
  void Watch(IUnknown* font, Changed changed, void* context) noexcept;
  void Stop() noexcept;

 private:
  Microsoft::WRL::ComPtr<IConnectionPoint> point_;
  Microsoft::WRL::ComPtr<IPropertyNotifySink> sink_;
  DWORD cookie_ = 0;
};

}  // namespace ole
