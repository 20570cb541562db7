#pragma once
// One control placed in a Container: the control object, the site it talks to, and the OLE sequence that
// opens and closes it.
#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <string>
#include <string_view>

#include "VelmarCardel_h.h"
#include "com_object.h"
#include "site.h"

namespace cardel::host {

class Container;
class Library;
class PropertyBag;

struct ControlOptions {
  // False: the site refuses the windowless and Ex in-place interfaces, so the control needs its own window.
  bool windowless = true;
  // Load from this bag instead of initialising a new control.
  PropertyBag* load_from = nullptr;
  // A new control is initialised through IPersistPropertyBag, or through IPersistStreamInit when false.
  bool init_through_bag = true;
  // Run DoVerb(OLEIVERB_INPLACEACTIVATE) once loaded.
  bool activate = true;
  // Empty: "ucCardel" followed by the control's number in its container.
  std::wstring display_name;
  // Adjusts the site's ambient properties before the control is created, for what it reads while loading.
  std::function<void(Ambients&)> ambients;
};

// Puts a caption the way a client does, the string freed afterwards.
HRESULT SetCaption(_ucCardel* box, std::wstring_view text);

class HostedControl {
 public:
  HostedControl(Container& container, const RECT& rect, std::wstring_view display_name, bool windowless);
  HostedControl(const HostedControl&) = delete;
  HostedControl& operator=(const HostedControl&) = delete;
  // Deactivates, closes and releases the control.
  ~HostedControl();

  IUnknown* Unknown() const noexcept { return unknown_.Get(); }
  template <class Interface>
  ComPtr<Interface> Query() const {
    ComPtr<Interface> result;
    if (unknown_) unknown_.As(&result);
    return result;
  }
  ComPtr<_ucCardel> Cardel() const { return Query<_ucCardel>(); }

  Site& GetSite() const noexcept { return *site_.Get(); }
  Ambients& Ambient() const noexcept { return site_->GetAmbients(); }
  const RECT& Rect() const noexcept { return site_->Rect(); }
  // The control's own window when it activated windowed, else nullptr.
  HWND OwnWindow() const;
  // What InitNew or Load returned.
  HRESULT LoadResult() const noexcept { return load_result_; }
  // What the last IViewObject::Draw from the container's paint returned.
  HRESULT LastDrawResult() const noexcept { return last_draw_result_; }

  // Resizes or moves the control the way a form does: new extent, then new object rectangles.
  HRESULT Move(const RECT& rect);
  // What a form does when the user clicks or tabs into the control: DoVerb(OLEIVERB_UIACTIVATE). A control
  // that wants the keyboard then asks its site for the focus.
  HRESULT UIActivate();
  HRESULT Save(PropertyBag& bag, bool clear_dirty = true, bool save_all = true) const;
  // Lets go of every reference without deactivating or closing, as a host that simply forgets the control.
  void Drop() noexcept;

 private:
  friend class Container;
  // The creation sequence; throws HostError when a step other than loading fails.
  void Open(const Library& library, const ControlOptions& options);
  void Close() noexcept;
  HRESULT Initialise(const ControlOptions& options);
  void Draw(HDC dc);
  bool Hit(POINT point) const;
  LRESULT Forward(UINT message, WPARAM wparam, LPARAM lparam);

  Container& container_;
  ComPtr<Site> site_;
  ComPtr<IUnknown> unknown_;
  ComPtr<IOleObject> object_;
  bool client_site_set_ = false;
  bool view_advised_ = false;
  DWORD ole_advise_cookie_ = 0;
  HRESULT load_result_ = E_PENDING;
  HRESULT last_draw_result_ = S_FALSE;
};

}  // namespace cardel::host
