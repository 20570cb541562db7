#pragma once
// Owning aliases for GDI+ flat-API objects, one per kind, each with its delete call.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "common/unique_handle.h"

namespace cardel::gdip {

using namespace Gdiplus;

namespace detail {
inline void Delete(GpBrush* b) { DllExports::GdipDeleteBrush(b); }
inline void Delete(GpImage* i) { DllExports::GdipDisposeImage(i); }
inline void Delete(GpPath* p) { DllExports::GdipDeletePath(p); }
inline void Delete(GpPen* p) { DllExports::GdipDeletePen(p); }
inline void Delete(GpFont* f) { DllExports::GdipDeleteFont(f); }
inline void Delete(GpFontFamily* f) { DllExports::GdipDeleteFontFamily(f); }
inline void Delete(GpStringFormat* f) { DllExports::GdipDeleteStringFormat(f); }
inline void Delete(GpImageAttributes* a) { DllExports::GdipDisposeImageAttributes(a); }
inline void Delete(GpGraphics* g) { DllExports::GdipDeleteGraphics(g); }
inline void Delete(GpRegion* r) { DllExports::GdipDeleteRegion(r); }
inline void Delete(GpFontCollection* c) { DllExports::GdipDeletePrivateFontCollection(&c); }
inline void Delete(GpMatrix* m) { DllExports::GdipDeleteMatrix(m); }
template <class T>
void Close(T* object) {
  Delete(object);
}
}  // namespace detail

template <class T>
using Unique = UniqueHandle<T*, detail::Close<T>, nullptr>;

using UniqueBrush = Unique<GpBrush>;
using UniqueImage = Unique<GpImage>;
using UniqueBitmap = Unique<GpBitmap>;
using UniquePath = Unique<GpPath>;
using UniquePen = Unique<GpPen>;
using UniqueFont = Unique<GpFont>;
using UniqueFontFamily = Unique<GpFontFamily>;
using UniqueStringFormat = Unique<GpStringFormat>;
using UniqueImageAttributes = Unique<GpImageAttributes>;
using UniqueGraphics = Unique<GpGraphics>;
using UniqueRegion = Unique<GpRegion>;
using UniqueMatrix = Unique<GpMatrix>;
// Only for collections from GdipNewPrivateFontCollection; the installed one is never deleted.
using UniquePrivateFontCollection = Unique<GpFontCollection>;

// A brush or pen of one colour; empty when GDI+ cannot make one, which the caller takes as nothing to draw.
inline UniqueBrush SolidFill(ARGB argb) noexcept {
  GpSolidFill* solid = nullptr;
  DllExports::GdipCreateSolidFill(argb, &solid);
  return UniqueBrush(solid);
}
inline UniquePen SolidPen(ARGB argb, REAL width) noexcept {
  UniquePen pen;
  DllExports::GdipCreatePen1(argb, width, UnitPixel, pen.put());
  return pen;
}

}  // namespace cardel::gdip
