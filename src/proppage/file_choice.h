#pragma once
// The step that asks the designer for a picture file. A page site may answer it itself through
// IPictureFileChooser (tests do); otherwise the system's dialog asks.
#include <windows.h>
#include <unknwn.h>

#include <functional>
#include <optional>
#include <string>

namespace cardel::proppage {

constexpr IID kIID_IPictureFileChooser{0xa4e00b76, 0xaf06, 0x4669, {0x99, 0x14, 0xfe, 0xaf, 0x50, 0x7c, 0x3a, 0xbd}};

struct IPictureFileChooser : IUnknown {
  // S_OK with the chosen path (the caller frees it), S_FALSE when the choice was cancelled.
  virtual HRESULT STDMETHODCALLTYPE ChooseFile(HWND owner, BSTR* path) = 0;
};

// The chosen path, or nothing when the designer cancelled.
using FileChooser = std::function<std::optional<std::wstring>(HWND owner)>;

// The system's open-file dialog, in its Unicode form so that any file name can be chosen.
std::optional<std::wstring> ShowOpenDialog(HWND owner);

// The site's own chooser when it offers one, else ShowOpenDialog.
FileChooser ChooserFor(IUnknown* site);

}  // namespace cardel::proppage
