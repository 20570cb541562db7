#pragma once
// The window of the "Picture" page: the preview, the info line, the picture buttons and the caption
// editor, and what each of them does to the preview and to the selected control.
#include <windows.h>

#include <functional>

#include "common/cardel_interfaces.h"
#include "common/win_handles.h"
#include "ole/class_factory.h"
#include "proppage/caption_edit.h"
#include "proppage/file_choice.h"
#include "proppage/preview_site.h"

namespace cardel::proppage {

class PicturePage {
 public:
  PicturePage(ole::CreateFunction create_preview, FileChooser choose, std::function<void()> mark_dirty) noexcept;
  PicturePage(const PicturePage&) = delete;
  PicturePage& operator=(const PicturePage&) = delete;

  HRESULT Create(HWND parent, const RECT& rect) noexcept;
  HWND window() const noexcept { return window_.get(); }

  // These three throw std::bad_alloc for the page's entry points to report.
  HRESULT Load(_ucCardel* selected);
  HRESULT Apply(_ucCardel* selected);
  HRESULT Browse();
  HRESULT Delete() noexcept;
  void ChangeCaption() noexcept;

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  HRESULT CreateChildren() noexcept;
  HRESULT ConfigurePreview() noexcept;
  HWND AddChild(const wchar_t* kind, const wchar_t* text, DWORD style, const RECT& rect, int id, HFONT font) noexcept;
  void PaintRules(HDC dc) const noexcept;

  FileChooser choose_;
  std::function<void()> markDirty_;
  int dpi_ = 96;
  // The fonts outlive every window that draws with them.
  UniqueFont font_;
  UniqueFont buttonFont_;
  UniqueWindow window_;
  HWND info_ = nullptr;
  HWND delete_ = nullptr;
  CaptionEditor caption_;
  // Torn down first: its window is a child of the page window.
  PreviewHost preview_;
};

}  // namespace cardel::proppage
