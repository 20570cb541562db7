#include "content/image_export.h"

using Microsoft::WRL::ComPtr;

namespace cardel {

SnapshotCanvas::SnapshotCanvas(SIZE size, OLE_COLOR background) noexcept {
  {
    const WindowDc screen(nullptr);
    dc_.reset(CreateCompatibleDC(screen.get()));
    bitmap_.reset(CreateCompatibleBitmap(screen.get(), size.cx, size.cy));
  }
  if (!dc_ || !bitmap_) return;
  selected_.emplace(dc_.get(), bitmap_.get());
  COLORREF rgb = 0;
  OleTranslateColor(background, nullptr, &rgb);
  const UniqueBrush brush(CreateSolidBrush(rgb));
  const RECT all{0, 0, size.cx, size.cy};
  FillRect(dc_.get(), &all, brush.get());
}

HRESULT SnapshotCanvas::TakePicture(ComPtr<IPicture>& picture) noexcept {
  selected_.reset();
  dc_.reset();
  if (!bitmap_) return E_OUTOFMEMORY;
  PICTDESC description{};
  description.cbSizeofstruct = sizeof(PICTDESC);
  description.picType = PICTYPE_BITMAP;
  description.bmp.hbitmap = bitmap_.get();
  ComPtr<IDispatch> object;
  const HRESULT hr =
      OleCreatePictureIndirect(&description, IID_IDispatch, TRUE, reinterpret_cast<void**>(object.GetAddressOf()));
  if (FAILED(hr)) return hr;
  bitmap_.release();
  return object.As(&picture);
}

}  // namespace cardel
