// A container the control was not written against: the system's ATL host window creates the registered
// control from its ProgID, activates and paints it, and releases it when the window goes away.
#include <gtest/gtest.h>

#include <wrl/client.h>

#include <chrono>

#include "common/cardel_interfaces.h"
#include "common/win_handles.h"
#include "library.h"
#include "ole_support.h"

namespace cardel::oletest {
namespace {

using Microsoft::WRL::ComPtr;
using host::Variant;

constexpr wchar_t kFrameClass[] = L"CardelAtlHostFrame";

// Posted to the thread behind whatever is queued; its arrival says the queue before it has been handled.
constexpr UINT kQueueMarker = WM_APP + 0x52;
bool g_markerSeen = false;

void DispatchQueued() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == kQueueMarker && !msg.hwnd)
      g_markerSeen = true;
    else
      DispatchMessageW(&msg);
  }
}

// Dispatches messages until done() holds; false if it still does not long after any passing run would.
template <class Condition>
bool PumpUntil(Condition done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  for (;;) {
    DispatchQueued();
    if (done()) return true;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()), QS_ALLINPUT);
  }
}

// Dispatches everything queued for the thread before a message posted to it now.
bool PumpPosted() {
  g_markerSeen = false;
  if (!PostThreadMessageW(GetCurrentThreadId(), kQueueMarker, 0, 0)) return false;
  return PumpUntil([] { return g_markerSeen; });
}

HMODULE ModuleAt(const void* address) {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     static_cast<LPCWSTR>(address), &module);
  return module;
}

class AtlHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library_.DllUnregisterServer();
    ASSERT_EQ(library_.DllRegisterServer(), S_OK);

    // The oldest ATL names its host window class plainly; later versions add their version number.
    atl_.reset(LoadLibraryW(L"atl.dll"));
    ASSERT_TRUE(atl_) << "atl.dll is missing";
    init_ = reinterpret_cast<BOOL(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(atl_.get(), "AtlAxWinInit")));
    getControl_ = reinterpret_cast<HRESULT(WINAPI*)(HWND, IUnknown**)>(
        reinterpret_cast<void*>(GetProcAddress(atl_.get(), "AtlAxGetControl")));
    ASSERT_TRUE(init_ && getControl_);
    ASSERT_TRUE(init_());

    WNDCLASSEXW frameClass{sizeof(frameClass)};
    frameClass.lpfnWndProc = DefWindowProcW;
    frameClass.hInstance = GetModuleHandleW(nullptr);
    frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    frameClass.lpszClassName = kFrameClass;
    RegisterClassExW(&frameClass);
  }

  void TearDown() override { library_.DllUnregisterServer(); }

  host::Library library_;
  UniqueModule atl_;
  BOOL(WINAPI* init_)() = nullptr;
  HRESULT(WINAPI* getControl_)(HWND, IUnknown**) = nullptr;
};

TEST_F(AtlHostTest, HostWindowCreatesPaintsAndReleasesTheControl) {
  // A popup never activated: Wine hands other top-level windows to the window manager, and then waits for
  // one on every destroy.
  UniqueWindow frame(CreateWindowExW(WS_EX_NOACTIVATE, kFrameClass, L"ATL host", WS_POPUP, 40, 40, 320, 200, nullptr,
                                     nullptr, GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(frame);
  UniqueWindow host(CreateWindowExW(0, L"AtlAxWin", L"VelmarCardel.ucCardel", WS_CHILD | WS_VISIBLE, 10, 10, 200,
                                    80, frame.get(), nullptr, GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(host) << "error " << GetLastError();
  ShowWindow(frame.get(), SW_SHOWNOACTIVATE);
  UpdateWindow(frame.get());
  ASSERT_TRUE(PumpPosted());
  InvalidateRect(host.get(), nullptr, TRUE);
  UpdateWindow(host.get());
  ASSERT_TRUE(PumpPosted());

  {
    ComPtr<IUnknown> control;
    ASSERT_EQ(getControl_(host.get(), &control), S_OK);
    ASSERT_TRUE(control);
    // The host loaded the control from its registered path, which is the module this test loaded: one
    // copy of the code and of its module state.
    const HMODULE ours = ModuleAt(reinterpret_cast<const void*>(library_.DllGetClassObject));
    EXPECT_EQ(ModuleAt(*reinterpret_cast<void* const*>(control.Get())), ours);
    EXPECT_EQ(GetModuleHandleW(OcxPath().c_str()), ours);

    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(control.As(&dispatch), S_OK);
    constexpr DISPID kBackColorOpacity = 0x68030039;
    Variant value;
    ASSERT_EQ(GetProperty(*dispatch.Get(), kBackColorOpacity, value), S_OK);
    EXPECT_EQ(value.ToLong(), 100) << "the host initialises a new control";
    ASSERT_EQ(PutProperty(*dispatch.Get(), kBackColorOpacity, Variant::Long(33)), S_OK);
    ASSERT_EQ(GetProperty(*dispatch.Get(), kBackColorOpacity, value), S_OK);
    EXPECT_EQ(value.ToLong(), 33);

    ComPtr<IOleClientSite> site;
    ComPtr<IOleObject> object;
    ASSERT_EQ(control.As(&object), S_OK);
    EXPECT_EQ(object->GetClientSite(&site), S_OK);
    EXPECT_TRUE(site) << "the host gave the control no site";
  }
  EXPECT_EQ(library_.DllCanUnloadNow(), S_FALSE) << "the host holds the control";

  host.reset();
  ASSERT_TRUE(PumpPosted());
  frame.reset();
  EXPECT_TRUE(PumpUntil([&] { return library_.DllCanUnloadNow() == S_OK; }))
      << "the control outlived its host window";
}

}  // namespace
}  // namespace cardel::oletest
