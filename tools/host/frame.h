#pragma once
// The in-place frame a site hands out from GetWindowContext. The container has no menus, toolbars or status
// bar, so the frame only answers for its window and logs what the control asks of it into the site's log.
#include <windows.h>
#include <oleidl.h>

#include "com_object.h"

namespace cardel::host {

class Site;

class Frame final : public ComObject<IOleInPlaceFrame> {
 public:
  static ComPtr<Frame> Make(Site& site, HWND window);

  // IOleWindow
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) noexcept override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) noexcept override;
  // IOleInPlaceUIWindow
  HRESULT STDMETHODCALLTYPE GetBorder(RECT* border) noexcept override;
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(const BORDERWIDTHS* widths) noexcept override;
  HRESULT STDMETHODCALLTYPE SetBorderSpace(const BORDERWIDTHS* widths) noexcept override;
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name) noexcept override;
  // IOleInPlaceFrame
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU shared, OLEMENUGROUPWIDTHS* widths) noexcept override;
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU shared, HOLEMENU descriptor, HWND active_object) noexcept override;
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU shared) noexcept override;
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR text) noexcept override;
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) noexcept override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* message, WORD id) noexcept override;

 private:
  Frame(Site& site, HWND window);
  ~Frame() override;
  void* Find(REFIID riid) noexcept override;
  void Note(const char* method) noexcept;

  // Held, not borrowed: the control may keep the frame after the test let go of the site.
  ComPtr<Site> site_;
  HWND window_;

  template <class T, class... Args>
  friend ComPtr<T> MakeCom(Args&&... args);
};

}  // namespace cardel::host
