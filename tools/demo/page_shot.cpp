#include "page_shot.h"

#include <olectl.h>
#include <wrl/client.h>

#include <vector>

#include "common/automation_handles.h"
#include "common/cardel_interfaces.h"
#include "common/win_handles.h"
#include "png_file.h"
#include "sample_picture.h"

using Microsoft::WRL::ComPtr;

namespace cardel::demo {
namespace {

HWND FindDescendant(HWND parent, const wchar_t* kind) {
  HWND found = FindWindowExW(parent, nullptr, kind, nullptr);
  for (HWND child = GetWindow(parent, GW_CHILD); !found && child; child = GetWindow(child, GW_HWNDNEXT))
    found = FindDescendant(child, kind);
  return found;
}

host::Image CaptureWindow(HWND window) {
  // The client area only: without a window manager the frame draws no border of its own.
  RECT r{};
  GetClientRect(window, &r);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
  host::Image image{r.right - r.left, r.bottom - r.top, {}};
  image.pixels.resize(static_cast<size_t>(image.width) * image.height);
  WindowDc screen(nullptr);
  UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  BITMAPINFO info{{sizeof(BITMAPINFOHEADER), image.width, -image.height, 1, 32, BI_RGB}};
  void* bits = nullptr;
  UniqueBitmap dib(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory || !dib) return {};
  SelectedObject selected(memory.get(), dib.get());
  BitBlt(memory.get(), 0, 0, image.width, image.height, screen.get(), r.left, r.top, SRCCOPY);
  const auto* source = static_cast<const uint32_t*>(bits);
  for (size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = source[i] & 0xFFFFFF;
  return image;
}

std::wstring g_path;
bool g_saved = false;

// Runs inside the frame's modal loop: once the page is up, it is captured and the frame closed.
void CALLBACK CaptureWhenShown(HWND, UINT, UINT_PTR timer, DWORD) {
  const HWND frame = GetActiveWindow();
  if (!frame || !FindDescendant(frame, L"VelmarCardelPicturePage")) return;
  KillTimer(nullptr, timer);
  UpdateWindow(frame);
  g_saved = SavePng(CaptureWindow(frame), g_path);
  PostMessageW(frame, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

bool SavePropertyPageShot(const host::Library& library, const std::wstring& path) {
  ComPtr<IClassFactory> pages;
  if (FAILED(library.DllGetClassObject(CLSID_ppCardel, IID_PPV_ARGS(&pages)))) return false;
  // The frame creates the page by class id; registering it for this process keeps the registry clean.
  DWORD cookie = 0;
  if (FAILED(CoRegisterClassObject(CLSID_ppCardel, pages.Get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie)))
    return false;
  ComPtr<_ucCardel> control;
  ComPtr<IPersistStreamInit> init;
  bool ok = SUCCEEDED(library.CreateControl(nullptr, IID_PPV_ARGS(&control))) && SUCCEEDED(control.As(&init)) &&
            SUCCEEDED(init->InitNew());
  if (ok) {
    const UniqueBstr owned(SysAllocString(L"A caption\r\non two lines"));
    BSTR caption = owned.get();
    control->put_Caption(&caption);
    const std::vector<uint8_t> png = SampleLandscapePng();
    SAFEARRAY* bytes = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(png.size()));
    if (bytes) {
      memcpy(bytes->pvData, png.data(), png.size());
      VARIANT_BOOL loaded = VARIANT_FALSE;
      control->PictureFromStream(&bytes, &loaded);
      SafeArrayDestroy(bytes);
    }
    g_path = path;
    g_saved = false;
    IUnknown* objects[] = {control.Get()};
    CLSID pageIds[] = {CLSID_ppCardel};
    SetTimer(nullptr, 0, 200, CaptureWhenShown);
    ok = SUCCEEDED(OleCreatePropertyFrame(nullptr, 40, 40, L"ucCardel1", 1, objects, 1, pageIds,
                                          LOCALE_USER_DEFAULT, 0, nullptr)) &&
         g_saved;
  }
  CoRevokeClassObject(cookie);
  return ok;
}

}  // namespace cardel::demo
