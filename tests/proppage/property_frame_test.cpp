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

namespace cardel::host {
namespace {

HWND g_pageSeen = nullptr;
std::wstring g_captionShown;
UINT_PTR g_safetyTimer = 0;
// Posted to the thread once the page window is created; the frame's loop takes it after the page has
// filled itself in, which happens in the same call.
constexpr UINT kPageCreated = WM_APP + 0x53;

// Sees every window the frame creates, inside the frame's modal loop.
LRESULT CALLBACK WatchForThePage(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_CREATEWND && !g_pageSeen) {
    wchar_t kind[64] = L"";
    GetClassNameW(reinterpret_cast<HWND>(wparam), kind, ARRAYSIZE(kind));
    if (std::wstring(kind) == L"VelmarCardelPicturePage") {
      g_pageSeen = reinterpret_cast<HWND>(wparam);
      PostThreadMessageW(GetCurrentThreadId(), kPageCreated, 0, 0);
    }
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

// Reads what the page shows and closes the frame, which ends its modal loop.
LRESULT CALLBACK CloseWhenShown(int code, WPARAM wparam, LPARAM lparam) {
  const auto* message = reinterpret_cast<const MSG*>(lparam);
  if (code == HC_ACTION && wparam == PM_REMOVE && !message->hwnd && message->message == kPageCreated) {
    wchar_t text[64] = L"";
    GetWindowTextW(GetWindow(GetDlgItem(g_pageSeen, proppage::kCaptionBoxId), GW_CHILD), text, ARRAYSIZE(text));
    g_captionShown = text;
    PostMessageW(GetAncestor(g_pageSeen, GA_ROOT), WM_COMMAND, IDCANCEL, 0);
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

// Only a frame that never shows its page gets here: it is closed so that the test ends and fails.
void CALLBACK CloseAfterAll(HWND, UINT, UINT_PTR, DWORD) {
  KillTimer(nullptr, g_safetyTimer);
  if (const HWND frame = GetActiveWindow()) PostMessageW(frame, WM_COMMAND, IDCANCEL, 0);
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
  HHOOK creations = SetWindowsHookExW(WH_CBT, WatchForThePage, nullptr, GetCurrentThreadId());
  HHOOK messages = SetWindowsHookExW(WH_GETMESSAGE, CloseWhenShown, nullptr, GetCurrentThreadId());
  ASSERT_TRUE(creations && messages);
  g_safetyTimer = SetTimer(nullptr, 0, 20000, CloseAfterAll);
  const HRESULT hr =
      OleCreatePropertyFrame(nullptr, 0, 0, L"ucCardel1", 1, objects, 1, pages, LOCALE_USER_DEFAULT, 0, nullptr);
  KillTimer(nullptr, g_safetyTimer);
  UnhookWindowsHookEx(messages);
  UnhookWindowsHookEx(creations);
  CoRevokeClassObject(cookie);
  ASSERT_HRESULT_SUCCEEDED(hr);
  EXPECT_NE(g_pageSeen, nullptr);
  EXPECT_EQ(g_captionShown, L"Selected before the page exists");
}

}  // namespace
}  // namespace cardel::host
