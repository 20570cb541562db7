// The page inside the system's property frame, opened with ppCardel alone (a frame with no usable page
// cannot be closed under Wine). The class is registered for this process only, so the frame creates
// the page without touching the registry. Wine's frame never calls Apply, so only showing and closing
// are checked here; Apply is covered by driving the page directly.
#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <string>

#include "page_driver.h"
#include "proppage/page_layout.h"

namespace cardel::testhost {
namespace {

HWND FindDescendant(HWND parent, const wchar_t* kind) {
  HWND found = FindWindowExW(parent, nullptr, kind, nullptr);
  for (HWND child = GetWindow(parent, GW_CHILD); !found && child; child = GetWindow(child, GW_HWNDNEXT))
    found = FindDescendant(child, kind);
  return found;
}

HWND g_pageSeen = nullptr;
std::wstring g_captionShown;

// Runs inside the frame's modal loop, which it ends once the page is up.
void CALLBACK CloseWhenShown(HWND, UINT, UINT_PTR timer, DWORD) {
  const HWND frame = GetActiveWindow();
  g_pageSeen = FindDescendant(frame, L"VelmarCardelPicturePage");
  if (!g_pageSeen) return;
  KillTimer(nullptr, timer);
  wchar_t text[64] = L"";
  GetWindowTextW(GetWindow(GetDlgItem(g_pageSeen, proppage::kCaptionBoxId), GW_CHILD), text, ARRAYSIZE(text));
  g_captionShown = text;
  PostMessageW(frame, WM_COMMAND, IDCANCEL, 0);
}

TEST(PropertyFrameTest, ShowsThePageWithTheSelectionAndCloses) {
  Library library;
  ComPtr<IClassFactory> factory;
  ASSERT_HRESULT_SUCCEEDED(library.DllGetClassObject(CLSID_ppCardel, IID_IClassFactory, &factory));
  DWORD cookie = 0;
  ASSERT_HRESULT_SUCCEEDED(
      CoRegisterClassObject(CLSID_ppCardel, factory.Get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie));
  ComPtr<_ucCardel> control = NewControl(library);
  EXPECT_HRESULT_SUCCEEDED(SetCaption(control.Get(), L"Selected before the page exists"));
  IUnknown* objects[] = {control.Get()};
  CLSID pages[] = {CLSID_ppCardel};
  g_pageSeen = nullptr;
  SetTimer(nullptr, 0, 100, CloseWhenShown);
  const HRESULT hr =
      OleCreatePropertyFrame(nullptr, 0, 0, L"ucCardel1", 1, objects, 1, pages, LOCALE_USER_DEFAULT, 0, nullptr);
  CoRevokeClassObject(cookie);
  ASSERT_HRESULT_SUCCEEDED(hr);
  EXPECT_NE(g_pageSeen, nullptr);
  EXPECT_EQ(g_captionShown, L"Selected before the page exists");
}

}  // namespace
}  // namespace cardel::testhost
