#pragma once
// The reusable body of a windowless ActiveX control. It owns the container's site pointers, the
// extents and activation state, the connection points and the host-held properties; each OLE
// interface is a thin layer (one file each) over that state, and the concrete control supplies
// the behaviour through the On* hooks.
#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include <cstdint>
#include <span>
#include <string>

#include "common/long_handles.h"
#include "common/system_colours.h"
#include "common/win_handles.h"
#include "ole/accessible.h"
#include "ole/connection_point.h"
#include "ole/draw_route.h"
#include "ole/module.h"
#include "ole/storage_protocol.h"

namespace ole {

struct ControlClassInfo {
  const CLSID* clsid;
  const IID* eventsIid;
  std::span<const CLSID> propertyPages;
  DWORD miscStatus;
  SIZE initialSizePixels;
  const wchar_t* userTypeName;
};

// Properties a container traditionally keeps for its controls; the plumbing keeps them here.
struct HostHeldProperties {
  OLE_COLOR BackColor = cardel::kButtonFaceColour;  // the usual host default
  VARIANT_BOOL Enabled = VARIANT_TRUE;
  int16_t MousePointer = 0;
  int16_t OLEDropMode = 0;
};

class ControlBase : public IOleObject,
                    public IOleControl,
                    public IOleInPlaceObjectWindowless,
                    public IOleInPlaceActiveObject,
                    public IViewObjectEx,
                    public IPersistStreamInit,
                    public IPersistPropertyBag,
                    public IPersistStorage,
                    public IDataObject,
                    public IConnectionPointContainer,
                    public IProvideClassInfo2,
                    public ISpecifyPropertyPages,
                    public IQuickActivate,
                    public ISupportErrorInfo,
                    private AccessibleSource {
 public:
  ControlBase(const ControlClassInfo& info, IUnknown* outer) noexcept;
  virtual ~ControlBase();
  ControlBase(const ControlBase&) = delete;
  ControlBase& operator=(const ControlBase&) = delete;

  // The non-delegating IUnknown: the object's identity when it is not aggregated, and the
  // inner object an aggregating outer holds.
  IUnknown* InnerUnknown() noexcept { return &inner_; }
  IUnknown* Outer() const noexcept { return outer_; }

  // IUnknown (delegating)
  STDMETHODIMP QueryInterface(REFIID riid, void** object) noexcept override { return outer_->QueryInterface(riid, object); }
  STDMETHODIMP_(ULONG) AddRef() noexcept override { return outer_->AddRef(); }
  STDMETHODIMP_(ULONG) Release() noexcept override { return outer_->Release(); }

  // IOleObject
  STDMETHODIMP SetClientSite(IOleClientSite* site) noexcept override;
  STDMETHODIMP GetClientSite(IOleClientSite** site) noexcept override;
  STDMETHODIMP SetHostNames(LPCOLESTR app, LPCOLESTR object) noexcept override;
  STDMETHODIMP Close(DWORD saveOption) noexcept override;
  STDMETHODIMP SetMoniker(DWORD which, IMoniker* moniker) noexcept override;
  STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) noexcept override;
  STDMETHODIMP InitFromData(IDataObject* data, BOOL creation, DWORD reserved) noexcept override;
  STDMETHODIMP GetClipboardData(DWORD reserved, IDataObject** data) noexcept override;
  STDMETHODIMP DoVerb(LONG verb, LPMSG msg, IOleClientSite* activeSite, LONG index, HWND parent,
                      LPCRECT posRect) noexcept override;
  STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) noexcept override;
  STDMETHODIMP Update() noexcept override;
  STDMETHODIMP IsUpToDate() noexcept override;
  STDMETHODIMP GetUserClassID(CLSID* clsid) noexcept override;
  STDMETHODIMP GetUserType(DWORD form, LPOLESTR* name) noexcept override;
  STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) noexcept override;
  STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) noexcept override;
  STDMETHODIMP Advise(IAdviseSink* sink, DWORD* connection) noexcept override;
  STDMETHODIMP Unadvise(DWORD connection) noexcept override;
  STDMETHODIMP EnumAdvise(IEnumSTATDATA** advise) noexcept override;
  STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) noexcept override;
  STDMETHODIMP SetColorScheme(LOGPALETTE* palette) noexcept override;

  // IOleControl
  STDMETHODIMP GetControlInfo(CONTROLINFO* info) noexcept override;
  STDMETHODIMP OnMnemonic(MSG* msg) noexcept override;
  STDMETHODIMP OnAmbientPropertyChange(DISPID id) noexcept override;
  STDMETHODIMP FreezeEvents(BOOL freeze) noexcept override;

  // IOleWindow / IOleInPlaceObject(Windowless) / IOleInPlaceActiveObject
  STDMETHODIMP GetWindow(HWND* window) noexcept override;
  STDMETHODIMP ContextSensitiveHelp(BOOL enter) noexcept override;
  STDMETHODIMP InPlaceDeactivate() noexcept override;
  STDMETHODIMP UIDeactivate() noexcept override;
  STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT clip) noexcept override;
  STDMETHODIMP ReactivateAndUndo() noexcept override;
  STDMETHODIMP OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) noexcept override;
  STDMETHODIMP GetDropTarget(IDropTarget** target) noexcept override;
  STDMETHODIMP TranslateAccelerator(LPMSG msg) noexcept override;
  STDMETHODIMP OnFrameWindowActivate(BOOL activate) noexcept override;
  STDMETHODIMP OnDocWindowActivate(BOOL activate) noexcept override;
  STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) noexcept override;
  STDMETHODIMP EnableModeless(BOOL enable) noexcept override;

  // IViewObject / IViewObject2 / IViewObjectEx
  STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* target, HDC targetDc, HDC drawDc,
                    LPCRECTL bounds, LPCRECTL wBounds, BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR),
                    ULONG_PTR contArg) noexcept override;
  STDMETHODIMP GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* target, HDC targetDc,
                           LOGPALETTE** colors) noexcept override;
  STDMETHODIMP Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* freeze) noexcept override;
  STDMETHODIMP Unfreeze(DWORD freeze) noexcept override;
  STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) noexcept override;
  STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) noexcept override;
  STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* target, LPSIZEL size) noexcept override;
  STDMETHODIMP GetRect(DWORD aspect, LPRECTL rect) noexcept override;
  STDMETHODIMP GetViewStatus(DWORD* status) noexcept override;
  STDMETHODIMP QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT point, LONG closeHint, DWORD* hit) noexcept override;
  STDMETHODIMP QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT rect, LONG closeHint, DWORD* hit) noexcept override;
  STDMETHODIMP GetNaturalExtent(DWORD aspect, LONG index, DVTARGETDEVICE* target, HDC targetDc,
                                DVEXTENTINFO* info, LPSIZEL size) noexcept override;

  // IPersist / IPersistStreamInit / IPersistPropertyBag
  STDMETHODIMP GetClassID(CLSID* clsid) noexcept override;
  STDMETHODIMP IsDirty() noexcept override;
  STDMETHODIMP Load(IStream* stream) noexcept override;
  STDMETHODIMP Save(IStream* stream, BOOL clearDirty) noexcept override;
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) noexcept override;
  STDMETHODIMP InitNew() noexcept override;
  STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) noexcept override;
  STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) noexcept override;

  // IPersistStorage: the stream's saved form, in one stream of the storage (storage.cpp)
  STDMETHODIMP InitNew(IStorage* storage) noexcept override;
  STDMETHODIMP Load(IStorage* storage) noexcept override;
  STDMETHODIMP Save(IStorage* storage, BOOL sameAsLoad) noexcept override;
  STDMETHODIMP SaveCompleted(IStorage* storage) noexcept override;
  STDMETHODIMP HandsOffStorage() noexcept override;

  // IDataObject: the control's picture for documents that show it inactive (data_object.cpp)
  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) noexcept override;
  STDMETHODIMP GetDataHere(FORMATETC* format, STGMEDIUM* medium) noexcept override;
  STDMETHODIMP QueryGetData(FORMATETC* format) noexcept override;
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) noexcept override;
  STDMETHODIMP SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) noexcept override;
  STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) noexcept override;
  STDMETHODIMP DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) noexcept override;
  STDMETHODIMP DUnadvise(DWORD connection) noexcept override;
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA** advise) noexcept override;

  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) noexcept override;
  STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** point) noexcept override;

  // IProvideClassInfo2
  STDMETHODIMP GetClassInfo(ITypeInfo** info) noexcept override;
  STDMETHODIMP GetGUID(DWORD kind, GUID* guid) noexcept override;

  // ISpecifyPropertyPages
  STDMETHODIMP GetPages(CAUUID* pages) noexcept override;

  // IQuickActivate
  STDMETHODIMP QuickActivate(QACONTAINER* container, QACONTROL* control) noexcept override;
  STDMETHODIMP SetContentExtent(LPSIZEL size) noexcept override;
  STDMETHODIMP GetContentExtent(LPSIZEL size) noexcept override;

  // ISupportErrorInfo
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID riid) noexcept override;

 protected:
  // Hooks for the concrete control.
  virtual void* QueryControlInterface(REFIID riid) noexcept = 0;
  virtual bool IsErrorInfoInterface(REFIID riid) const noexcept = 0;
  // Answers InitNew in OLE's terms.
  virtual HRESULT OnInitProperties() noexcept = 0;
  virtual HRESULT OnReadProperties(IPropertyBag* bag) noexcept = 0;
  virtual HRESULT OnWriteProperties(IPropertyBag* bag) noexcept = 0;
  // Paints the layout made at the control's own size (ClientSize) scaled to fill size device pixels,
  // with the DC's origin at the control's top-left corner. It answers the view's caller, so in the
  // view's terms (E_OUTOFMEMORY, VIEW_E_DRAW), never with an automation error.
  virtual HRESULT OnPaint(HDC dc, SIZE size) noexcept = 0;
  virtual void OnResize() noexcept {}
  virtual void OnShow() noexcept {}
  // The control left the screen (in-place deactivated or hidden): what it keeps only to paint can go.
  virtual void OnHide() noexcept {}
  virtual void OnAmbientChanged(DISPID) noexcept {}
  virtual DWORD OnHitTest(POINT pointInControl) noexcept;
  // A rectangle query names no pointer position, so it answers without hover tracking.
  virtual DWORD OnHitTestArea(const RECT& overlapInControl) noexcept;
  // Mouse coordinates arrive relative to the control. S_FALSE: not handled.
  virtual HRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) noexcept;
  virtual HRESULT OnGetDropTarget(IDropTarget** target) noexcept;
  // Name, keyboard shortcut and role for assistive technology; the plumbing supplies state and place.
  // May throw std::bad_alloc.
  virtual void OnDescribeAccessible(AccessibleFacts&) {}

  // Services for the concrete control.
  void NotifyPropertyChanged(DISPID id) noexcept;
  HRESULT FireEvent(DISPID id, std::span<VARIANTARG> argsInOrder) noexcept;
  // Paints before returning; Invalidate leaves the paint to the host's next one, which merges with
  // any other that is pending.
  void Repaint() noexcept;
  void Invalidate() noexcept;
  HRESULT GetAmbient(DISPID id, VARIANT* value) noexcept;
  bool AmbientUserMode() noexcept;
  OLE_COLOR AmbientBackColor(OLE_COLOR fallback) noexcept;
  std::wstring AmbientDisplayName(const wchar_t* fallback);
  Microsoft::WRL::ComPtr<IFontDisp> AmbientFont() noexcept;
  SIZE ClientSize() const noexcept;
  // Asks the container for a new size in device pixels, the top-left corner staying where it is:
  // through the in-place site while active, otherwise as a new extent the container is told to
  // lay out again (resize_request.cpp).
  HRESULT RequestResize(SIZE pixels) noexcept;
  // The control's rectangle in the container window's client pixels while in-place active.
  const RECT& PositionRect() const noexcept { return posRect_; }
  HWND ContainerWindow() const noexcept { return containerWindow_; }
  HWND OwnWindow() const noexcept { return ownWindow_.get(); }
  bool IsWindowless() const noexcept { return windowless_; }
  bool IsInPlaceActive() const noexcept { return inPlaceActive_; }
  bool IsUIActive() const noexcept { return uiActive_; }
  IOleInPlaceSiteWindowless* WindowlessSite() const noexcept { return windowlessSite_.Get(); }
  IOleControlSite* ControlSite() const noexcept { return controlSite_.Get(); }
  HostHeldProperties& HostHeld() noexcept { return hostHeld_; }
  Microsoft::WRL::ComPtr<IPictureDisp>& MouseIcon() noexcept { return mouseIcon_; }
  void SetDirty() noexcept { ++edition_; }
  // When dc is the plumbing's own bitmap for the paint under way: its premultiplied pixels, rows from
  // the top, which a renderer with alpha should draw into rather than through the DC. Otherwise null.
  // dc may have come back through a Long (the PrePaint event, Draw): its low 32 bits name the context.
  void* SurfaceBits(HDC dc) const noexcept {
    return dc && surfaceDc_ && cardel::SameHandle(dc, surfaceDc_) ? surfaceBits_ : nullptr;
  }
  HRESULT Activate(LONG verb, LPCRECT posRect) noexcept;
  // Tells assistive technology that the control's client object changed (EVENT_OBJECT_*). Only the
  // windowed fallback has a window to name; a windowless control's object is read afresh when asked.
  void NotifyAccessible(DWORD event) noexcept;
  // Counts closings and in-place deactivations: an event handler that did either ends the work that raised it.
  uint32_t Deactivations() const noexcept { return deactivations_; }

 private:
  struct Inner final : IUnknown {
    STDMETHODIMP QueryInterface(REFIID riid, void** object) noexcept override;
    STDMETHODIMP_(ULONG) AddRef() noexcept override;
    STDMETHODIMP_(ULONG) Release() noexcept override;
    explicit Inner(ControlBase* o) noexcept : owner(o) {}
    ControlBase* owner;
    LONG refs = 1;
  };

  friend LRESULT CALLBACK ControlWindowProc(HWND, UINT, WPARAM, LPARAM);

  void* FindInterface(REFIID riid) noexcept;
  HRESULT BeginPersistence() noexcept;
  bool Dirty() const noexcept { return edition_ != savedEdition_; }
  void MarkClean() noexcept { savedEdition_ = edition_; }
  HRESULT CreateOwnWindow() noexcept;
  // Limits the own window to the part of the position rectangle inside the container's clip.
  void ClipOwnWindow(const RECT& clip) noexcept;
  // The control's picture as IDataObject gives it, drawn through Draw; empty when that fails.
  cardel::UniqueEnhMetaFile RecordEnhancedPicture() noexcept;
  cardel::UniqueMetaFile RecordWindowsPicture() noexcept;
  HRESULT DrawThroughSurface(HDC dc, const RECT& bounds, SIZE own, DrawRoute route, bool metafile) noexcept;
  HRESULT UIActivate() noexcept;
  void ReleaseInPlaceSite() noexcept;
  void CheckSizeChange() noexcept;
  LRESULT HandleOwnWindowMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  void DescribeAccessible(AccessibleFacts& facts) override;
  HRESULT AccessibleParent(IDispatch** parent) noexcept override;

  ControlClassInfo info_;
  Inner inner_;
  IUnknown* outer_;
  ModuleReference module_;
  Accessible accessible_{outer_, *this};

  Microsoft::WRL::ComPtr<IOleClientSite> clientSite_;
  Microsoft::WRL::ComPtr<IDispatch> ambients_;
  Microsoft::WRL::ComPtr<IOleControlSite> controlSite_;
  Microsoft::WRL::ComPtr<IOleInPlaceSite> inPlaceSite_;
  Microsoft::WRL::ComPtr<IOleInPlaceSiteEx> inPlaceSiteEx_;
  Microsoft::WRL::ComPtr<IOleInPlaceSiteWindowless> windowlessSite_;
  Microsoft::WRL::ComPtr<IOleInPlaceFrame> frame_;
  Microsoft::WRL::ComPtr<IOleInPlaceUIWindow> uiWindow_;
  Microsoft::WRL::ComPtr<IOleAdviseHolder> oleAdvise_;
  Microsoft::WRL::ComPtr<IAdviseSink> viewSink_;
  Microsoft::WRL::ComPtr<IDataAdviseHolder> dataAdvise_;
  DWORD viewAspects_ = 0;
  DWORD viewFlags_ = 0;

  ConnectionPoint events_;
  ConnectionPoint propertyNotify_;
  HostHeldProperties hostHeld_;
  Microsoft::WRL::ComPtr<IPictureDisp> mouseIcon_;

  SIZEL extent_{};
  RECT posRect_{};
  SIZE lastSize_{};
  HWND containerWindow_ = nullptr;
  cardel::UniqueWindow ownWindow_;
  bool inPlaceActive_ = false;
  bool uiActive_ = false;
  bool windowless_ = false;
  StorageProtocol storage_;
  // Every change makes a new edition; the control is dirty while it is not the edition last saved.
  uint64_t edition_ = 0;
  uint64_t savedEdition_ = 0;
  LONG eventFreeze_ = 0;
  uint32_t deactivations_ = 0;
  DWORD viewFreeze_ = 0;
  HDC surfaceDc_ = nullptr;
  void* surfaceBits_ = nullptr;
};

// Every interface of the concrete control shares the base's delegating IUnknown.
#define OLE_DELEGATING_IUNKNOWN                                                                         \
  STDMETHODIMP QueryInterface(REFIID riid, void** object) noexcept override {                          \
    return ::ole::ControlBase::QueryInterface(riid, object);                                            \
  }                                                                                                     \
  STDMETHODIMP_(ULONG) AddRef() noexcept override { return ::ole::ControlBase::AddRef(); }              \
  STDMETHODIMP_(ULONG) Release() noexcept override { return ::ole::ControlBase::Release(); }

}  // namespace ole
