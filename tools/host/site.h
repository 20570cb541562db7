#pragma once
// The site one hosted control talks to: client site, in-place site (windowless, Ex and plain), control
// site, ambient dispatch and advise sink. Every call it receives is logged, so tests can assert sequences.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ambient.h"
#include "common/win_handles.h"
#include "com_object.h"

namespace cardel::host {

class Container;

class Site final
    : public ComObject<IOleClientSite, IOleInPlaceSiteWindowless, IOleControlSite, IDispatch, IAdviseSink> {
 public:
  // With windowless false the site refuses IOleInPlaceSiteWindowless and IOleInPlaceSiteEx, so the control
  // has to activate in a window of its own.
  static ComPtr<Site> Make(Container& container, const RECT& rect, bool windowless,
                           std::wstring_view display_name = L"ucCardel1");

  // Log entries are the method name, with the one argument that tells calls apart where there is one:
  // "SetCapture(1)", "Invoke(-709)", "OnInPlaceActivateEx(1)", "OnDefWindowMessage(0x200)"; calls on the
  // frame handed out by GetWindowContext appear as "Frame::SetActiveObject".
  const std::vector<std::string>& Calls() const noexcept { return calls_; }
  // How many entries name this method, whatever their argument.
  size_t CountOf(std::string_view method) const;
  void ClearCalls() noexcept { calls_.clear(); }
  void Log(std::string entry);

  Ambients& GetAmbients() noexcept { return ambients_; }
  const RECT& Rect() const noexcept { return rect_; }
  bool InPlaceActive() const noexcept { return in_place_active_; }
  bool Windowless() const noexcept { return windowless_active_; }
  bool UIActive() const noexcept { return ui_active_; }
  bool HasCapture() const noexcept;
  bool HasFocus() const noexcept;
  bool HasOpenDc() const noexcept { return open_dc_.has_value(); }
  // The rectangles the control asked for through OnPosRectChange, in order.
  const std::vector<RECT>& PosRectRequests() const noexcept { return pos_rect_requests_; }
  // A designer shows its own property frame for the control; by default the site declines.
  void ShowsPropertyFrame(bool shows) noexcept { shows_property_frame_ = shows; }

  // The hosted control, borrowed until Detach, which also cuts the site off from its container.
  void Attach(IUnknown* control) noexcept;
  void Detach() noexcept;
  // Moves the control's rectangle in the container and repaints both places.
  void SetRect(const RECT& rect);

  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() noexcept override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) noexcept override;
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) noexcept override;
  HRESULT STDMETHODCALLTYPE ShowObject() noexcept override;
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL show) noexcept override;
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() noexcept override;

  // IOleWindow
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) noexcept override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) noexcept override;

  // IOleInPlaceSite
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() noexcept override;
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() noexcept override;
  HRESULT STDMETHODCALLTYPE OnUIActivate() noexcept override;
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                             RECT* clip, OLEINPLACEFRAMEINFO* info) noexcept override;
  HRESULT STDMETHODCALLTYPE Scroll(SIZE extent) noexcept override;
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL undoable) noexcept override;
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() noexcept override;
  HRESULT STDMETHODCALLTYPE DiscardUndoState() noexcept override;
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() noexcept override;
  HRESULT STDMETHODCALLTYPE OnPosRectChange(const RECT* position) noexcept override;

  // IOleInPlaceSiteEx
  HRESULT STDMETHODCALLTYPE OnInPlaceActivateEx(BOOL* no_redraw, DWORD flags) noexcept override;
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivateEx(BOOL no_redraw) noexcept override;
  HRESULT STDMETHODCALLTYPE RequestUIActivate() noexcept override;

  // IOleInPlaceSiteWindowless
  HRESULT STDMETHODCALLTYPE CanWindowlessActivate() noexcept override;
  HRESULT STDMETHODCALLTYPE GetCapture() noexcept override;
  HRESULT STDMETHODCALLTYPE SetCapture(BOOL capture) noexcept override;
  HRESULT STDMETHODCALLTYPE GetFocus() noexcept override;
  HRESULT STDMETHODCALLTYPE SetFocus(BOOL focus) noexcept override;
  HRESULT STDMETHODCALLTYPE GetDC(const RECT* rect, DWORD flags, HDC* dc) noexcept override;
  HRESULT STDMETHODCALLTYPE ReleaseDC(HDC dc) noexcept override;
  HRESULT STDMETHODCALLTYPE InvalidateRect(const RECT* rect, BOOL erase) noexcept override;
  HRESULT STDMETHODCALLTYPE InvalidateRgn(HRGN region, BOOL erase) noexcept override;
  HRESULT STDMETHODCALLTYPE ScrollRect(INT dx, INT dy, const RECT* scroll, const RECT* clip) noexcept override;
  HRESULT STDMETHODCALLTYPE AdjustRect(RECT* rect) noexcept override;
  HRESULT STDMETHODCALLTYPE OnDefWindowMessage(UINT message, WPARAM wparam, LPARAM lparam,
                                               LRESULT* result) noexcept override;

  // IOleControlSite
  HRESULT STDMETHODCALLTYPE OnControlInfoChanged() noexcept override;
  HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL lock) noexcept override;
  HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** extender) noexcept override;
  HRESULT STDMETHODCALLTYPE TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) noexcept override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* message, DWORD modifiers) noexcept override;
  HRESULT STDMETHODCALLTYPE OnFocus(BOOL got_focus) noexcept override;
  HRESULT STDMETHODCALLTYPE ShowPropertyFrame() noexcept override;

  // IDispatch: the ambient properties.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) noexcept override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) noexcept override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* bad_argument) noexcept override;

  // IAdviseSink
  void STDMETHODCALLTYPE OnDataChange(FORMATETC* format, STGMEDIUM* medium) noexcept override;
  void STDMETHODCALLTYPE OnViewChange(DWORD aspect, LONG index) noexcept override;
  void STDMETHODCALLTYPE OnRename(IMoniker* moniker) noexcept override;
  void STDMETHODCALLTYPE OnSave() noexcept override;
  void STDMETHODCALLTYPE OnClose() noexcept override;

 private:
  Site(Container& container, const RECT& rect, bool windowless, std::wstring_view display_name);
  void* Find(REFIID riid) noexcept override;
  // Logs without letting an allocation failure escape a COM method.
  void Note(const char* method) noexcept;
  void Note(const char* method, long argument, bool hex = false) noexcept;
  HRESULT NotifyAmbientChange(DISPID id) const;

  Container* container_;
  IUnknown* control_ = nullptr;
  RECT rect_;
  bool windowless_allowed_;
  bool in_place_active_ = false;
  bool windowless_active_ = false;
  bool ui_active_ = false;
  bool shows_property_frame_ = false;
  std::optional<WindowDc> open_dc_;
  Ambients ambients_;
  std::vector<std::string> calls_;
  std::vector<RECT> pos_rect_requests_;

  template <class T, class... Args>
  friend ComPtr<T> MakeCom(Args&&... args);
};

}  // namespace cardel::host
