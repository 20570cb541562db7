#include "proppage/file_choice.h"

#include <commdlg.h>
#include <oleauto.h>
#include <wrl/client.h>

#include "common/automation_handles.h"

namespace cardel::proppage {

std::optional<std::wstring> ShowOpenDialog(HWND owner) {
  // The dialog wants NUL-separated pairs ending in two NULs; the literal's own terminator is the second.
  static constexpr wchar_t kFilter[] =
      L"Pictures\0*.bmp;*.gif;*.jpg;*.jpeg;*.png;*.dib;*.rle;*.jpe;*.jfif;*.emf;*.wmf;*.tif;*.tiff;*.ico;*.cur\0";
  wchar_t file[MAX_PATH] = L"";
  wchar_t title[MAX_PATH] = L"";
  OPENFILENAMEW ofn{};
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = kFilter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = ARRAYSIZE(file);
  ofn.lpstrFileTitle = title;
  ofn.nMaxFileTitle = ARRAYSIZE(title);
  ofn.Flags = OFN_FILEMUSTEXIST;
  if (GetOpenFileNameW(&ofn) != 1) return std::nullopt;
  return std::wstring(file);
}

FileChooser ChooserFor(IUnknown* site) {
  Microsoft::WRL::ComPtr<IPictureFileChooser> own;
  if (!site || FAILED(site->QueryInterface(kIID_IPictureFileChooser, reinterpret_cast<void**>(own.GetAddressOf()))))
    return ShowOpenDialog;
  return [own](HWND owner) -> std::optional<std::wstring> {
    UniqueBstr path;
    if (own->ChooseFile(owner, path.put()) != S_OK) return std::nullopt;
    return std::wstring(path.get() ? path.get() : L"", SysStringLen(path.get()));
  };
}

}  // namespace cardel::proppage
