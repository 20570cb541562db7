#include "page_driver.h"

#include <oleauto.h>

#include <gtest/gtest.h>

#include "common/automation_handles.h"
#include "proppage/page_layout.h"

namespace cardel::host {

HRESULT TestPageSite::ChooseFile(HWND, BSTR* path) noexcept {
  *path = choice ? SysAllocString(choice->c_str()) : nullptr;
  return choice ? S_OK : S_FALSE;
}
void* TestPageSite::Find(REFIID riid) noexcept {
  if (riid == IID_IPropertyPageSite) return static_cast<IPropertyPageSite*>(this);
  if (riid == proppage::kIID_IPictureFileChooser) return static_cast<proppage::IPictureFileChooser*>(this);
  return nullptr;
}

PageDriver::PageDriver(const Library& library)
    : frame_(CreateWindowExW(0, L"Static", L"frame", WS_POPUP, 0, 0, 400, 400, nullptr, nullptr, nullptr, nullptr)),
      site_(MakeCom<TestPageSite>()) {
  ComPtr<IClassFactory> factory;
  EXPECT_HRESULT_SUCCEEDED(library.DllGetClassObject(CLSID_ppCardel, IID_IClassFactory, &factory));
  EXPECT_HRESULT_SUCCEEDED(factory->CreateInstance(nullptr, IID_IPropertyPage2, &page_));
  EXPECT_HRESULT_SUCCEEDED(page_->SetPageSite(site_.Get()));
  RECT rect{0, 0, 360, 350};
  EXPECT_HRESULT_SUCCEEDED(page_->Activate(frame_.get(), &rect, TRUE));
  EXPECT_HRESULT_SUCCEEDED(page_->Show(SW_SHOW));
}

PageDriver::~PageDriver() {
  page_->Deactivate();
  page_->SetObjects(0, nullptr);
  page_->SetPageSite(nullptr);
}

HRESULT PageDriver::Select(std::initializer_list<_ucCardel*> controls) {
  std::vector<IUnknown*> objects(controls.begin(), controls.end());
  return page_->SetObjects(static_cast<ULONG>(objects.size()), objects.data());
}

HWND PageDriver::Child(int id) const {
  return GetDlgItem(FindWindowExW(frame_.get(), nullptr, L"VelmarCardelPicturePage", nullptr), id);
}

HWND PageDriver::CaptionEdit() const { return GetWindow(Child(proppage::kCaptionBoxId), GW_CHILD); }

std::wstring PageDriver::Text(HWND window) const {
  wchar_t text[512] = L"";
  GetWindowTextW(window, text, ARRAYSIZE(text));
  return text;
}

void PageDriver::Press(int id) const {
  SendMessageW(GetParent(Child(id)), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Child(id)));
}

ComPtr<_ucCardel> NewControl(const Library& library) {
  ComPtr<_ucCardel> control;
  EXPECT_HRESULT_SUCCEEDED(library.CreateControl(nullptr, IID__ucCardel, &control));
  ComPtr<IPersistStreamInit> persist;
  EXPECT_HRESULT_SUCCEEDED(control.As(&persist));
  EXPECT_HRESULT_SUCCEEDED(persist->InitNew());
  return control;
}

std::wstring CaptionOf(_ucCardel* control) {
  UniqueBstr caption;
  EXPECT_HRESULT_SUCCEEDED(control->get_Caption(caption.put()));
  return std::wstring(caption ? caption.get() : L"", SysStringLen(caption.get()));
}

std::vector<uint8_t> PictureOf(_ucCardel* control) {
  UniqueSafeArray owned;
  EXPECT_HRESULT_SUCCEEDED(control->PictureGetStream(owned.put()));
  const SAFEARRAY* array = owned.get();
  std::vector<uint8_t> bytes(static_cast<uint8_t*>(array->pvData),
                             static_cast<uint8_t*>(array->pvData) + array->rgsabound[0].cElements);
  return bytes;
}

void SetPicture(_ucCardel* control, const std::vector<uint8_t>& bytes) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  memcpy(array->pvData, bytes.data(), bytes.size());
  VARIANT_BOOL loaded = VARIANT_FALSE;
  EXPECT_HRESULT_SUCCEEDED(control->PictureFromStream(&array, &loaded));
  EXPECT_EQ(loaded, VARIANT_TRUE);
  SafeArrayDestroy(array);
}

}  // namespace cardel::host
