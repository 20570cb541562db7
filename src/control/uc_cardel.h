#pragma once
// ucCardel: the control object. The OLE plumbing comes from ole::ControlBase; this class adds the
// automation interface, whose stored scalar properties are driven by the property catalogue.
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "common/cardel_interfaces.h"
#include "common/gdiplus_handles.h"
#include "common/gdiplus_session.h"
#include "control/cardel_state.h"
#include "control/property_catalogue.h"
#include "control/retained_budget.h"
#include "control/retained_layers.h"
#include "control/saved_properties.h"
#include "control/test_hooks.h"
#include "ole/control_base.h"
#include "ole/errors.h"
#include "ole/font_watch.h"
#include "ole/dispatch.h"
#include "input/drop_registration.h"
#include "input/drop_target.h"
#include "input/hit_decision.h"
#include "input/hover_geometry.h"
#include "input/poll_pace.h"
#include "input/poll_timer.h"
#include "picture/progress_pace.h"
#include "picture/url_download.h"
#include "render/outline.h"

namespace cardel {

struct CaptionInputs;
struct PaintContext;

// Which layers a pass of the pipeline draws, and whether it draws the retained ones.
struct LayerPass {
  bool underAcrylic = true;  // the box shadow and the acrylic background
  bool aboveAcrylic = true;  // the background fill and everything above it
  bool retained = false;     // the picture layer from its cache
};

// Device pixels per pixel of the control's own layout.
struct BoxScale {
  float x = 1.0f;
  float y = 1.0f;
};

#define CARDEL_SCALAR(Name, Type)                                                                 \
  STDMETHODIMP get_##Name(Type* value) noexcept override { return GetScalar(Prop::Name, value); } \
  STDMETHODIMP put_##Name(Type value) noexcept override { return PutScalar(Prop::Name, static_cast<int32_t>(value)); }

// Naming: the stored properties keep their published spelling, misspellings included (CallOutPosicion,
// CaptionTriming); everything else the control holds is lower camel case with a trailing underscore. Flags are
// bool inside; VARIANT_BOOL appears only where the published interface passes one, and in the stored
// properties, which report back exactly what a host set.
class UcCardel final : public ole::ControlBase,
                       public ole::DualDispatch<_ucCardel, &IID__ucCardel>,
                       public ICardelTestHooks {
 public:
  explicit UcCardel(IUnknown* outer) noexcept;
  ~UcCardel() override;

  OLE_DELEGATING_IUNKNOWN

  // Stored scalar properties.
#define CARDEL_STORED(name, dispid, holder, stored, published, ...) CARDEL_SCALAR(name, published)
#define CARDEL_OWN(name, dispid)
#define CARDEL_SAVED(name)
#include "control/property_rows.def"

  // Read-only state.
  STDMETHODIMP get_PictureGetHeight(LONG* value) noexcept override;
  STDMETHODIMP get_PictureGetWidth(LONG* value) noexcept override;
  STDMETHODIMP get_PictureExist(VARIANT_BOOL* value) noexcept override;
  STDMETHODIMP get_IsMouseOver(VARIANT_BOOL* value) noexcept override;
  STDMETHODIMP get_IsMouseEnter(VARIANT_BOOL* value) noexcept override;
  STDMETHODIMP get_Image(IPicture** value) noexcept override;

  // Properties with their own representation.
  STDMETHODIMP get_Caption(BSTR* value) noexcept override;
  STDMETHODIMP put_Caption(BSTR* value) noexcept override;
  STDMETHODIMP get_Font(IFontDisp** value) noexcept override;
  STDMETHODIMP putref_Font(IFontDisp* value) noexcept override;
  STDMETHODIMP get_IconFont(IFontDisp** value) noexcept override;
  STDMETHODIMP putref_IconFont(IFontDisp* value) noexcept override;
  STDMETHODIMP get_IconCharCode(BSTR* value) noexcept override;
  STDMETHODIMP put_IconCharCode(BSTR value) noexcept override;
  STDMETHODIMP get_MouseIcon(IPictureDisp** value) noexcept override;
  STDMETHODIMP putref_MouseIcon(IPictureDisp* value) noexcept override;

  // Methods.
  STDMETHODIMP Draw(LONG hDC, LONG hGraphics, LONG PosX, LONG* PosY) noexcept override;
  STDMETHODIMP DrawText(LONG hDC, BSTR Text, LONG X, LONG Y, LONG Width, LONG Height, IFontDisp* oFont,
                        OLE_COLOR ForeColor, short ColorOpacity, ::CaptionAlignmentH* HAlign,
                        ::CaptionAlignmentV* VAlign, VARIANT_BOOL* bWordWrap, LONG* Result) noexcept override;
  STDMETHODIMP GetWindowsDPI(double* Result) noexcept override;
  STDMETHODIMP PictureGetStream(SAFEARRAY** Result) noexcept override;
  STDMETHODIMP PictureDelete(VARIANT* Result) noexcept override;
  STDMETHODIMP Refresh() noexcept override;
  STDMETHODIMP PictureFromURL(BSTR sUrl, VARIANT_BOOL UseCache, VARIANT_BOOL DrawProgress,
                              VARIANT_BOOL* Result) noexcept override;
  STDMETHODIMP PictureFromStream(SAFEARRAY** bvStream, VARIANT_BOOL* Result) noexcept override;
  STDMETHODIMP PictureFromPath(BSTR* sFileName, VARIANT_BOOL* Result) noexcept override;
  STDMETHODIMP tmrMOUSEOVER_Timer() noexcept override;
  STDMETHODIMP DrawLine(LONG hDC, LONG x1, LONG y1, LONG x2, LONG y2, LONG oColor, short Opacity, short PenWidth,
                        VARIANT_BOOL* Result) noexcept override;
  STDMETHODIMP Polygon(LONG hDC, LONG PenWidth, OLE_COLOR oColor, short Opacity, SAFEARRAY** vPoints,
                       VARIANT_BOOL* Result) noexcept override;
  STDMETHODIMP GetSystemHandCursor(IPictureDisp** Result) noexcept override;
  STDMETHODIMP ChrW2(LONG CharCode, BSTR* Result) noexcept override;

  // The tests' door (uc_cardel_test_hooks.cpp).
  STDMETHODIMP RefuseLargeAllocations(BOOL refuse) noexcept override;
  STDMETHODIMP CountPictureDecodes(LONG* decodes) noexcept override;
  STDMETHODIMP PaintAfresh(BOOL afresh) noexcept override;
  STDMETHODIMP CountLayerBuilds(LONG layer, LONG* builds) noexcept override;
  STDMETHODIMP SetRetainedBudget(LONGLONG bytes) noexcept override;
  STDMETHODIMP RetainedBytes(LONGLONG* bytes) noexcept override;

 protected:
  void* QueryControlInterface(REFIID riid) noexcept override;
  bool IsErrorInfoInterface(REFIID riid) const noexcept override;
  HRESULT OnInitProperties() noexcept override;
  HRESULT OnReadProperties(IPropertyBag* bag) noexcept override;
  HRESULT OnWriteProperties(IPropertyBag* bag) noexcept override;
  HRESULT OnPaint(HDC dc, SIZE size) noexcept override;
  void OnShow() noexcept override;
  void OnHide() noexcept override;
  void OnResize() noexcept override;
  void OnDescribeAccessible(ole::AccessibleFacts& facts) override;

 private:
  template <class T>
  HRESULT GetScalar(Prop prop, T* value) noexcept {
    if (!value) return E_POINTER;
    int32_t v = 0;
    HRESULT hr = ReadScalar(prop, &v);
    if (SUCCEEDED(hr)) *value = static_cast<T>(v);
    return hr;
  }
  HRESULT ReadScalar(Prop prop, int32_t* value) noexcept;
  HRESULT PutScalar(Prop prop, int32_t value) noexcept;
  void* ScalarAddress(const PropertyInfo& info) noexcept;
  // The stored member as 32 bits, and a value that fits its width into it.
  int32_t LoadMember(const PropertyInfo& info) noexcept;
  void StoreMember(const PropertyInfo& info, int32_t value) noexcept;
  // Steps after storing, in their fixed order.
  HRESULT ApplyEffects(uint16_t effects, DISPID dispid) noexcept;
  HRESULT CopyFontInto(IFontDisp* source, Microsoft::WRL::ComPtr<IFont>& target, DISPID dispid) noexcept;
  HRESULT Error(ole::RuntimeError e) const noexcept;
  // Work that may throw runs through the one boundary policy of the control's entry points.
  template <class Body>
  HRESULT Guard(Body&& body) const noexcept {
    return ole::Guarded(IID__ucCardel, std::forward<Body>(body));
  }
  HRESULT ReadSavedRow(IPropertyBag* bag, const SavedProperty& row);
  HRESULT WriteSavedRow(IPropertyBag* bag, const SavedProperty& row);
  // A loaded value goes straight into its member: no clamp, no notification.
  HRESULT StoreLoadedScalar(Prop prop, int32_t value);
  // Decodes pictureData_, keeping it only when it is a picture.
  HRESULT LoadPictureData() noexcept;
  // Keeps bytes that decode as the picture, or removes the picture; then tells the host and repaints.
  void TakePicture(std::vector<uint8_t> bytes) noexcept;
  void PictureChanged() noexcept;
  // The acrylic surface at the current client size, or none.
  void PrepareAcrylicSurface() noexcept;
  void ReleaseAcrylicSurface() noexcept;
  // Fills the outline with the picture, building its brush first when a change dropped it.
  void FillPicture(Gdiplus::GpGraphics* graphics, Gdiplus::GpPath* path, const PaintContext& paint);
  void EnsurePictureBrush(const PaintContext& paint);
  // The same layer from its retained copy, made first when it was dropped.
  void DrawPictureLayer(Gdiplus::GpGraphics* graphics, Gdiplus::GpPath* path, const PaintContext& paint);
  void DropPictureLayer() noexcept;
  void DrawBoxShadow(Gdiplus::GpGraphics* graphics, const PaintContext& paint);
  // The box shadow stretched into a retained layer of the client's size, made first when it was
  // dropped; null when there is no shadow or no room for the layer.
  const LayerSurface* ShadowLayer(const PaintContext& paint);
  // Fails only with Overflow (absurd lengths) or out of memory; the image is then left out.
  HRESULT BuildBoxShadow() noexcept;
  // Before any paint: the images built from a colour the user's scheme now gives another value are
  // rebuilt, and a composed box showing them is dropped.
  void FollowColourScheme() noexcept;
  // Builds the box shadow again when the process's budget took it while the control was not painted.
  void RestoreGivenUpShadow() noexcept;
  // The resolved colours the picture brush is built from: the tint while colorizing, the shadow's
  // while the picture casts one; CLR_INVALID for one the brush does not use.
  std::pair<COLORREF, COLORREF> PictureBrushColours() const noexcept;
  // The paint pipeline onto a DC or a caller's Graphics, scaled from the control's own size (client,
  // asked once by the caller), then offset by (posX, posY). backdrop is the control's own context
  // while the host has it painted, holding the host's background the acrylic layer blurs; other
  // drawing has none. Like every paint below an entry point, it throws what went wrong for that entry
  // point to report: arithmetic overflow from absurd property values, or memory running out.
  void RenderBox(HDC dc, Gdiplus::GpGraphics* graphics, SIZE client, LONG posX, LONG posY, BoxScale scale = {},
                 HDC backdrop = nullptr);
  // The pipeline into the plumbing's premultiplied bitmap, whose alpha a DC's Graphics would not keep.
  void RenderOnSurface(HDC dc, SIZE size, SIZE client, LONG posX, LONG posY, BoxScale scale, HDC backdrop);
  // Reads the control and draws; changes nothing of it but the caches the layers keep.
  void RenderLayers(Gdiplus::GpGraphics* graphics, const PaintContext& paint, LayerPass pass = {});
  // The host's 1:1 paint from the retained layers, rebuilding those that were dropped (uc_cardel_retained.cpp).
  void PaintRetained(HDC target, SIZE client, POINT at, HDC backdrop);
  // Whether this paint at the control's own size may keep its layers: they fit one control's limit, and
  // the process's budget makes room for them as the most recently painted. Else they are given up.
  bool KeepsLayers(SIZE client) noexcept;
  void BuildRetainedBox(const PaintContext& paint, bool acrylic);
  // With acrylic: blurs the fresh capture and blends it between the retained layers into retained_.blend.
  bool ComposeAcrylicPaint(HDC backdrop, SIZE client);
  // What the control shows changed: drop the composed box, and repaint unless Redraw is False.
  void DropBoxAndRepaint() noexcept;
  static void FontChanged(void* control) noexcept;
  static void GiveUpLayers(void* control) noexcept;
  // The caption and icon properties as DrawCaption reads them, for a control of the given size.
  CaptionInputs MakeCaptionInputs(SIZE client) const;
  // Sizes the control to its caption through the container (uc_cardel_auto_size.cpp).
  HRESULT ApplyAutoSize() noexcept;

  // Declared before every GDI+ object of the instance, so GDI+ shuts down after they are gone.
  gdip::Session gdiplus_;
  CardelState state_;
  std::vector<uint8_t> caption_;  // UTF-16LE bytes, exactly as set
  std::vector<uint8_t> pictureData_;  // the picture file's bytes exactly as loaded
  Microsoft::WRL::ComPtr<IFont> font_;
  Microsoft::WRL::ComPtr<IFont> iconFont_;
  Gdiplus::GpFontCollection* fontCollection_ = nullptr;  // one the process published, if any; not ours to delete
  float dpiScale_ = 1.0f;
  bool captionShadowDirty_ = false;
  gdip::UniqueImage pictureImage_;  // pictureData_ decoded, reading from its buffer
  gdip::UniqueBrush pictureBrush_;
  IntRect pictureBox_;  // the box pictureBrush_ and the retained picture layer were laid out in
  gdip::UniqueBitmap boxShadowImage_;
  gdip::UniqueBitmap captionShadowImage_;
  // The colours, as they were resolved, that these images and pictureBrush_ were built from: a system
  // colour's value changes with the user's scheme, its code does not.
  struct BuiltColours {
    COLORREF boxShadow = 0;
    COLORREF captionShadow = 0;
    std::pair<COLORREF, COLORREF> picture;
  } builtFrom_;
  // In this order, so that even without ReleaseAcrylicSurface the bitmap is deselected before it
  // and the context are deleted.
  UniqueMemoryDc acrylicDc_;
  UniqueBitmap acrylicBitmap_;
  std::optional<SelectedObject> acrylicOldBitmap_;
  RetainedLayers retained_;
  // The layers' share of the process's budget; the layers go when another control needs the room.
  BudgetClaim retainedClaim_{RetainedBudget::OfProcess(), &UcCardel::GiveUpLayers, this};
  bool boxShadowGivenUp_ = false;
  bool paintAfresh_ = false;  // a test compares the kept layers with a paint drawn afresh
  // After the fonts, so they stop calling before the fonts go.
  ole::FontWatch fontWatch_;
  ole::FontWatch iconFontWatch_;

  // Interaction: hit query, hover tracking, cursors and input (uc_cardel_input.cpp, uc_cardel_hover.cpp,
  // uc_cardel_cursor.cpp, uc_cardel_drop.cpp).
 protected:
  DWORD OnHitTest(POINT pointInControl) noexcept override;
  DWORD OnHitTestArea(const RECT& overlapInControl) noexcept override;
  HRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) noexcept override;
  HRESULT OnGetDropTarget(IDropTarget** target) noexcept override;

 private:
  input::HitDecision DecideHit() noexcept;
  // The window the control is drawn into and whose mouse moves reach it: the container's for a
  // windowless control, its own in the windowed fallback.
  HWND HostWindow() const noexcept;
  HRESULT HitQueryHoverUpdate(double x, double y) noexcept;
  HRESULT MouseMoveHoverUpdate(int16_t button, double x, double y) noexcept;
  HRESULT HoverSeen(double x, double y, bool overOnEnter, HWND* under) noexcept;
  // Within a tick, the position the tick took: the pointer cannot move while the tick runs.
  POINT CursorPosition() const noexcept;
  void NoteHostInput() noexcept;
  HRESULT ForwardMouse(UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  HRESULT ForwardKey(UINT msg, WPARAM wParam) noexcept;
  void FireMouseEvent(DISPID id, int16_t& button, int16_t& shift, float& x, float& y) noexcept;
  void CaptureMouse(bool capture) noexcept;
  bool HasFocus() noexcept;
  HRESULT ApplyMousePointer(LPARAM lParam, LRESULT* result) noexcept;
  // MousePointerHands' effect: at run time the hand becomes the host's pointer; off gives it back.
  void ApplyHandPointer() noexcept;
  // While the saved form is read at run time, a saved hand pointer becomes the host's pointer.
  void ApplySavedHandPointer() noexcept;
  input::DropTarget* DropTargetObject() noexcept;
  void RegisterOwnDropTarget() noexcept;
  bool OnDrag(input::DragNotice& notice) noexcept;

  // Whether a host hit query reached the control since the last hover tick.
  bool hitSinceTick_ = false;
  // Where the control was when the pointer entered it.
  input::EnterOrigin enterOrigin_;
  // Polls while the pointer is in, through the published tick method.
  input::PollTimer hoverPoll_{[this] { tmrMOUSEOVER_Timer(); }};
  input::PollPace pollPace_;
  std::optional<POINT> tickCursor_;
  UniqueCursor handCursor_;
  Microsoft::WRL::ComPtr<input::DropTarget> dropTarget_;
  input::DropRegistration dropRegistration_;
  // A left press on the control that a release may turn into a click.
  bool leftPressed_ = false;

  // Picture download and the overlays of the paint pipeline (uc_cardel_download.cpp,
  // uc_cardel_hot_line.cpp).
 public:
  STDMETHODIMP Close(DWORD saveOption) noexcept override;

 private:
  // Cancels the transfer named "URL" and lets go of its progress record; true if a ring was showing.
  bool CancelDownload() noexcept;
  void DownloadProgressed(UrlDownload& transfer) noexcept;
  void DownloadFinished(UrlDownload& transfer, bool succeeded) noexcept;
  // The ring's repaints, spaced out by ringPace_: a due one is left to the host's next paint.
  void ShowRingChange() noexcept;
  void RingWaitEnded() noexcept;
  // Stops a pending ring repaint; true if one was owed.
  bool StopRingWait() noexcept;
  void PaintDownloadProgress(Gdiplus::GpGraphics* graphics, const PaintContext& paint) const;
  void PaintHotLine(Gdiplus::GpGraphics* graphics, Gdiplus::GpPath* outline, const PaintContext& paint) const;

  bool drawDownloadRing_ = false;  // PictureFromURL's DrawProgress
  // The transfer whose counts the ring shows, held from its first progress until it ends.
  Microsoft::WRL::ComPtr<UrlDownload> ringTransfer_;
  // The transfer under way, the one named "URL", held from its start until it ends or is cancelled.
  Microsoft::WRL::ComPtr<UrlDownload> urlTransfer_;
  int32_t spinnerAngle_ = 0;
  ProgressPace ringPace_;
  input::PollTimer ringWait_{[this] { RingWaitEnded(); }};
};

#undef CARDEL_SCALAR

}  // namespace cardel
