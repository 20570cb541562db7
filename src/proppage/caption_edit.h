#pragma once
// The white box on the page that holds the multi-line caption editor. Unicode throughout, so that a
// caption with any characters survives the round trip.
#include <windows.h>

#include <string>

#include "common/win_handles.h"

namespace cardel::proppage {

class CaptionEditor {
 public:
  CaptionEditor() = default;
  CaptionEditor(const CaptionEditor&) = delete;
  CaptionEditor& operator=(const CaptionEditor&) = delete;

  // The box at `rect` of `page` with the editor filling its inside, both in `font`.
  HRESULT Create(HWND page, const RECT& rect, int id, HFONT font) noexcept;
  std::wstring Text() const;
  void SetText(const std::wstring& text) noexcept;
  void SelectAllAndFocus() noexcept;

 private:
  // The editor is the box's child: declared after it, so destroyed before it.
  UniqueWindow box_;
  UniqueWindow edit_;
};

}  // namespace cardel::proppage
