#pragma once
// Owning aliases for the kernel, user and GDI handles the library creates.
#include <windows.h>

#include "common/unique_handle.h"

namespace cardel {

namespace detail {
inline void CloseKey(HKEY k) { RegCloseKey(k); }
inline void DeleteGdiObject(HGDIOBJ o) { DeleteObject(o); }
inline void DeleteMemoryDc(HDC dc) { DeleteDC(dc); }
inline void DestroyWindowHandle(HWND w) { DestroyWindow(w); }
inline void DestroyCursorHandle(HCURSOR c) { DestroyCursor(c); }
inline void UnloadModule(HMODULE m) { FreeLibrary(m); }
inline void DeleteEnhancedMetafile(HENHMETAFILE m) { DeleteEnhMetaFile(m); }
inline void DeleteWindowsMetafile(HMETAFILE m) { DeleteMetaFile(m); }
inline void FreeGlobal(HGLOBAL g) { GlobalFree(g); }
}  // namespace detail

using UniqueHkey = UniqueHandle<HKEY, detail::CloseKey>;
using UniqueBitmap = UniqueHandle<HBITMAP, detail::DeleteGdiObject>;
using UniqueBrush = UniqueHandle<HBRUSH, detail::DeleteGdiObject>;
using UniqueRegion = UniqueHandle<HRGN, detail::DeleteGdiObject>;
using UniqueFont = UniqueHandle<HFONT, detail::DeleteGdiObject>;
using UniqueMemoryDc = UniqueHandle<HDC, detail::DeleteMemoryDc>;
using UniqueWindow = UniqueHandle<HWND, detail::DestroyWindowHandle>;
using UniqueCursor = UniqueHandle<HCURSOR, detail::DestroyCursorHandle>;
using UniqueModule = UniqueHandle<HMODULE, detail::UnloadModule>;
using UniqueEnhMetaFile = UniqueHandle<HENHMETAFILE, detail::DeleteEnhancedMetafile>;
using UniqueMetaFile = UniqueHandle<HMETAFILE, detail::DeleteWindowsMetafile>;
using UniqueGlobal = UniqueHandle<HGLOBAL, detail::FreeGlobal>;

// A DC borrowed from a window with GetDC: it goes back with ReleaseDC and that window.
class WindowDc {
 public:
  explicit WindowDc(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const noexcept { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Restores the object that SelectObject replaced.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(SelectObject(dc, object)) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (old_) SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace cardel
