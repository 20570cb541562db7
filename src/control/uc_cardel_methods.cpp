// The public drawing methods and the Image snapshot. The control's part is reading the
// arguments and raising the errors; the drawing itself lives in content/.
#include <new>

#include "content/drawing_methods.h"
#include "content/image_export.h"
#include "content/polygon_points.h"
#include "control/uc_cardel.h"

using Microsoft::WRL::ComPtr;
using ole::RuntimeError;

namespace cardel {
namespace {

HDC DcFromHandle(LONG handle) noexcept { return reinterpret_cast<HDC>(static_cast<intptr_t>(handle)); }

}  // namespace

STDMETHODIMP UcCardel::DrawText(LONG hDC, BSTR Text, LONG X, LONG Y, LONG Width, LONG Height, IFontDisp* oFont,
                                OLE_COLOR ForeColor, short ColorOpacity, ::CaptionAlignmentH* HAlign,
                                ::CaptionAlignmentV* VAlign, VARIANT_BOOL* bWordWrap, LONG* Result) noexcept {
  if (!Result) return E_POINTER;
  *Result = 0;
  ComPtr<IFont> font;
  if (!oFont || FAILED(oFont->QueryInterface(IID_PPV_ARGS(&font)))) return Error(RuntimeError::InvalidProcedureCall);
  TextRequest request;
  request.text = std::wstring_view(Text ? Text : L"", SysStringLen(Text));
  request.x = X;
  request.y = Y;
  request.width = Width;
  request.height = Height;
  request.font = font.Get();
  request.foreColor = ForeColor;
  request.colorOpacity = ColorOpacity;
  // Early-bound callers may leave the optional by-reference arguments out as null pointers.
  request.hAlign = HAlign ? *HAlign : cLeft;
  request.vAlign = VAlign ? *VAlign : cTop;
  request.wordWrap = bWordWrap && *bWordWrap;
  const HDC dc = DcFromHandle(hDC);
  return Guard([&] {
    const MethodResult<int32_t> drawn = DrawTextOn(dc, request, dpiScale_, GetDeviceCaps(dc, LOGPIXELSY));
    if (drawn.error) return Error(*drawn.error);
    *Result = drawn.value;
    return S_OK;
  });
}

STDMETHODIMP UcCardel::DrawLine(LONG hDC, LONG x1, LONG y1, LONG x2, LONG y2, LONG oColor, short Opacity,
                                short PenWidth, VARIANT_BOOL* Result) noexcept {
  if (!Result) return E_POINTER;
  *Result = VARIANT_FALSE;
  return Guard([&] {
    const MethodResult<bool> drawn =
        DrawLineOn(DcFromHandle(hDC), {x1, y1, x2, y2, static_cast<OLE_COLOR>(oColor), Opacity, PenWidth}, dpiScale_);
    if (drawn.error) return Error(*drawn.error);
    *Result = drawn.value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  });
}

STDMETHODIMP UcCardel::Polygon(LONG hDC, LONG PenWidth, OLE_COLOR oColor, short Opacity, SAFEARRAY** vPoints,
                               VARIANT_BOOL* Result) noexcept {
  if (!Result) return E_POINTER;
  *Result = VARIANT_FALSE;
  return Guard([&] {
    const MethodResult<std::vector<int32_t>> integers = PolygonIntegers(vPoints ? *vPoints : nullptr, dpiScale_);
    if (integers.error) return Error(*integers.error);
    const MethodResult<bool> drawn = DrawPolygonOn(DcFromHandle(hDC), PenWidth, oColor, Opacity, integers.value);
    if (drawn.error) return Error(*drawn.error);
    *Result = drawn.value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  });
}

// The paint events belong to the host's paint notification, so the snapshot raises none.
STDMETHODIMP UcCardel::get_Image(IPicture** value) noexcept {
  if (!value) return E_POINTER;
  *value = nullptr;
  const SIZE client = ClientSize();
  SnapshotCanvas canvas(client, state_.FrontColor);
  HRESULT hr = Guard([&] {
    RenderBox(canvas.Dc(), nullptr, client, 0, 0);
    return S_OK;
  });
  if (FAILED(hr)) return hr;
  ComPtr<IPicture> picture;
  hr = canvas.TakePicture(picture);
  if (hr == E_OUTOFMEMORY) return Error(RuntimeError::OutOfMemory);
  if (FAILED(hr)) return ole::RaiseError(hr, L"The picture object could not be created", IID__ucCardel);
  *value = picture.Detach();
  return S_OK;
}

}  // namespace cardel
