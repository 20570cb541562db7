// The control as an application deployed with it uses it: created by name, driven late-bound, hosted in a
// window, its page shown, called from another apartment, its type library loaded. The deployment tests run
// this program in fresh prefixes where the control is found through the application's manifest, through an
// activation context the program makes itself (--activation-context=MANIFEST), or through registration.
#include <gtest/gtest.h>

#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include <cstring>
#include <string>

#include "com_object.h"
#include "common/automation_handles.h"
#include "common/unique_handle.h"
#include "common/win_handles.h"
#include "common/cardel_interfaces.h"
#include "container.h"
#include "library.h"
#include "ole_support.h"
#include "proppage/page_layout.h"

namespace cardel::oletest {
namespace {

using Microsoft::WRL::ComPtr;
using host::Container;

void CloseKernelHandle(HANDLE handle) { CloseHandle(handle); }
using UniqueKernelHandle = UniqueHandle<HANDLE, CloseKernelHandle>;

constexpr DISPID kCaptionId = 0x6803002C;
constexpr wchar_t kProgId[] = L"VelmarCardel.ucCardel";

std::wstring ModuleOf(const void* address) {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     static_cast<LPCWSTR>(address), &module);
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(module, path, MAX_PATH);
  return path;
}

// The code behind an interface pointer: its first slot lies in the module that made the object.
std::wstring ModuleOf(IUnknown* object) { return ModuleOf(*reinterpret_cast<void**>(object)); }

template <class Interface>
HRESULT Create(const CLSID& clsid, ComPtr<Interface>& out) {
  return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(Interface),
                          reinterpret_cast<void**>(out.ReleaseAndGetAddressOf()));
}

std::wstring CaptionOf(IDispatch& control) {
  host::Variant value;
  if (FAILED(GetProperty(control, kCaptionId, value)) || value.get()->vt != VT_BSTR) return L"(none)";
  return value.get()->bstrVal ? value.get()->bstrVal : L"";
}

TEST(DeployedControlTest, CreatesByProgIdAndByClsidFromTheFileBesideTheProgram) {
  CLSID byName{};
  ASSERT_EQ(CLSIDFromProgID(kProgId, &byName), S_OK);
  // Inside an activation context Wine answers with an alias of the class id that creates the same class.
  for (const CLSID& clsid : {byName, CLSID_ucCardel}) {
    ComPtr<_ucCardel> control;
    ASSERT_EQ(Create(clsid, control), S_OK) << Narrow(GuidText(clsid));
    EXPECT_EQ(_wcsicmp(ModuleOf(control.Get()).c_str(), OcxPath().c_str()), 0) << Narrow(ModuleOf(control.Get()));
  }
}

TEST(DeployedControlTest, TakesAndReportsPropertiesThroughIDispatch) {
  ComPtr<IDispatch> control;
  ASSERT_EQ(Create(CLSID_ucCardel, control), S_OK);
  ASSERT_EQ(PutProperty(*control.Get(), kCaptionId, host::Variant::String(L"Deployed")), S_OK);
  EXPECT_EQ(CaptionOf(*control.Get()), L"Deployed");
  // Names resolve through the type library the deployment makes known.
  LPOLESTR name = const_cast<LPOLESTR>(L"Caption");
  DISPID id = 0;
  ASSERT_EQ(control->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
  EXPECT_EQ(id, kCaptionId);
}

TEST(DeployedControlTest, PaintsWindowlessInAWindow) {
  // The container drives the library that the deployment made COM load.
  ComPtr<IUnknown> created;
  ASSERT_EQ(Create(CLSID_ucCardel, created), S_OK);
  host::Library library;
  Container box(library);
  const RECT rect{60, 50, 220, 130};
  host::HostedControl& control = box.Add(rect);
  ASSERT_HRESULT_SUCCEEDED(control.LoadResult());
  EXPECT_EQ(control.OwnWindow(), nullptr);
  box.Repaint();
  const host::Image image = box.Capture({rect.left - 4, rect.top - 4, rect.left + 4, rect.top + 4});
  EXPECT_EQ(image.At(1, 1), Container::BackgroundAt(rect.left - 3, rect.top - 3));
  EXPECT_EQ(image.At(6, 6), host::ToPixel(GetSysColor(COLOR_BTNFACE)));
  box.Remove(control);
}

class PageSite final : public host::ComObject<IPropertyPageSite> {
 public:
  HRESULT STDMETHODCALLTYPE OnStatusChange(DWORD) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetLocaleID(LCID*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetPageContainer(IUnknown**) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*) noexcept override { return S_FALSE; }

 private:
  void* Find(REFIID riid) noexcept override {
    return riid == IID_IPropertyPageSite ? static_cast<IPropertyPageSite*>(this) : nullptr;
  }
};

TEST(DeployedControlTest, OpensItsPropertyPageOnTheControl) {
  ComPtr<IDispatch> control;
  ASSERT_EQ(Create(CLSID_ucCardel, control), S_OK);
  ASSERT_EQ(PutProperty(*control.Get(), kCaptionId, host::Variant::String(L"On the page")), S_OK);
  // The page is found as a designer finds it: through the control's list of pages.
  ComPtr<ISpecifyPropertyPages> pages;
  ASSERT_EQ(control.As(&pages), S_OK);
  CAUUID ids{};
  ASSERT_EQ(pages->GetPages(&ids), S_OK);
  ASSERT_GE(ids.cElems, 1u);
  const CLSID pageId = ids.pElems[0];
  CoTaskMemFree(ids.pElems);
  EXPECT_EQ(pageId, CLSID_ppCardel);

  ComPtr<IPropertyPage> page;
  ASSERT_EQ(Create(pageId, page), S_OK);
  UniqueWindow frame(
      CreateWindowExW(0, L"Static", L"frame", WS_POPUP, 0, 0, 400, 400, nullptr, nullptr, nullptr, nullptr));
  ComPtr<PageSite> site = host::MakeCom<PageSite>();
  ASSERT_EQ(page->SetPageSite(site.Get()), S_OK);
  IUnknown* objects[] = {control.Get()};
  ASSERT_EQ(page->SetObjects(1, objects), S_OK);
  RECT rect{0, 0, 360, 350};
  ASSERT_EQ(page->Activate(frame.get(), &rect, TRUE), S_OK);
  const HWND pageWindow = GetWindow(frame.get(), GW_CHILD);
  ASSERT_NE(pageWindow, nullptr);
  const HWND captionEdit = GetWindow(GetDlgItem(pageWindow, proppage::kCaptionBoxId), GW_CHILD);
  wchar_t text[64] = {};
  GetWindowTextW(captionEdit, text, 64);
  EXPECT_STREQ(text, L"On the page");
  page->Deactivate();
  page->SetObjects(0, nullptr);
  page->SetPageSite(nullptr);
}

struct ApartmentCall {
  IStream* stream = nullptr;  // the marshalled control, released by the receiving thread
  HRESULT unmarshalled = E_FAIL;
  HRESULT called = E_FAIL;
  std::wstring caption;
};

DWORD WINAPI CallFromOwnApartment(void* parameter) {
  auto& call = *static_cast<ApartmentCall*>(parameter);
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  {
    ComPtr<_ucCardel> proxy;
    call.unmarshalled =
        CoGetInterfaceAndReleaseStream(call.stream, IID__ucCardel, reinterpret_cast<void**>(proxy.GetAddressOf()));
    if (SUCCEEDED(call.unmarshalled)) {
      UniqueBstr caption;
      call.called = proxy->get_Caption(caption.put());
      if (caption.get()) call.caption = caption.get();
    }
  }
  CoUninitialize();
  return 0;
}

TEST(DeployedControlTest, AnswersACallFromAnotherApartment) {
  ComPtr<_ucCardel> control;
  ASSERT_EQ(Create(CLSID_ucCardel, control), S_OK);
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(control.As(&dispatch), S_OK);
  ASSERT_EQ(PutProperty(*dispatch.Get(), kCaptionId, host::Variant::String(L"Across")), S_OK);

  ApartmentCall call;
  ASSERT_EQ(CoMarshalInterThreadInterfaceInStream(IID__ucCardel, control.Get(), &call.stream), S_OK);
  UniqueKernelHandle thread(CreateThread(nullptr, 0, CallFromOwnApartment, &call, 0, nullptr));
  ASSERT_TRUE(thread);
  // The call is served on this thread's apartment: its messages are pumped until the other thread ends.
  const DWORD deadline = GetTickCount() + 60000;
  for (;;) {
    HANDLE handles[] = {thread.get()};
    const DWORD wait = MsgWaitForMultipleObjects(1, handles, FALSE, 1000, QS_ALLINPUT);
    if (wait == WAIT_OBJECT_0) break;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    ASSERT_LT(static_cast<LONG>(GetTickCount() - deadline), 0) << "the other apartment's call never ended";
  }
  EXPECT_EQ(call.unmarshalled, S_OK);
  EXPECT_EQ(call.called, S_OK);
  EXPECT_EQ(call.caption, L"Across");
}

TEST(DeployedControlTest, LoadsItsTypeLibraryAsTheMarshalerDoes) {
  for (LCID lcid : {0x0, 0x409}) {
    ComPtr<ITypeLib> lib;
    ASSERT_EQ(LoadRegTypeLib(LIBID_VelmarCardel, 33, 0, lcid, &lib), S_OK) << "locale " << lcid;
    ComPtr<ITypeInfo> coclass;
    EXPECT_EQ(lib->GetTypeInfoOfGuid(CLSID_ucCardel, &coclass), S_OK);
  }
}

// Makes the manifest's activation context the thread's own for the whole run, as a host that loads the
// control from code does.
class ActivationContext : public ::testing::Environment {
 public:
  explicit ActivationContext(std::wstring manifest) : manifest_(std::move(manifest)) {}
  void SetUp() override {
    ACTCTXW description{sizeof description};
    description.lpSource = manifest_.c_str();
    context_ = CreateActCtxW(&description);
    ASSERT_NE(context_, INVALID_HANDLE_VALUE) << "CreateActCtx failed, error " << GetLastError();
    ASSERT_TRUE(ActivateActCtx(context_, &cookie_)) << "ActivateActCtx failed, error " << GetLastError();
  }
  void TearDown() override {
    if (context_ == INVALID_HANDLE_VALUE) return;
    DeactivateActCtx(0, cookie_);
    ReleaseActCtx(context_);
  }

 private:
  std::wstring manifest_;
  HANDLE context_ = INVALID_HANDLE_VALUE;
  ULONG_PTR cookie_ = 0;
};

}  // namespace
}  // namespace cardel::oletest

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  constexpr char kContextOption[] = "--activation-context=";
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], kContextOption, sizeof kContextOption - 1) != 0) continue;
    const std::string manifest = argv[i] + sizeof kContextOption - 1;
    ::testing::AddGlobalTestEnvironment(
        new cardel::oletest::ActivationContext(std::wstring(manifest.begin(), manifest.end())));
  }
  if (FAILED(OleInitialize(nullptr))) return 1;
  const int result = RUN_ALL_TESTS();
  OleUninitialize();
  return result;
}
