#pragma once
// A property frame reduced to what the page needs: a parent window, a page site that records status
// changes and answers the file choice, and the page's child windows looked up by identifier.
#include <windows.h>
#include <ocidl.h>

#include <optional>
#include <string>
#include <vector>

#include "com_object.h"
#include "common/cardel_interfaces.h"
#include "hosted_control.h"
#include "library.h"
#include "proppage/file_choice.h"

namespace cardel::host {

class TestPageSite final : public ComObject<IPropertyPageSite, proppage::IPictureFileChooser> {
 public:
  std::vector<DWORD> statusChanges;
  // What the next file choice answers; nothing means the designer cancelled.
  std::optional<std::wstring> choice;

  HRESULT STDMETHODCALLTYPE OnStatusChange(DWORD flags) noexcept override {
    statusChanges.push_back(flags);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetLocaleID(LCID*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetPageContainer(IUnknown**) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*) noexcept override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE ChooseFile(HWND owner, BSTR* path) noexcept override;

 private:
  void* Find(REFIID riid) noexcept override;
};

class PageDriver {
 public:
  explicit PageDriver(const Library& library);
  PageDriver(const PageDriver&) = delete;
  PageDriver& operator=(const PageDriver&) = delete;
  ~PageDriver();

  IPropertyPage2* page() const { return page_.Get(); }
  TestPageSite& site() const { return *site_.Get(); }
  HRESULT Select(std::initializer_list<_ucCardel*> controls);
  HWND Child(int id) const;
  HWND CaptionEdit() const;
  std::wstring Text(HWND window) const;
  void Press(int id) const;

 private:
  UniqueWindow frame_;
  ComPtr<TestPageSite> site_;
  ComPtr<IPropertyPage2> page_;
};

// A new ucCardel as a designer would place it, with no container window.
ComPtr<_ucCardel> NewControl(const Library& library);
std::wstring CaptionOf(_ucCardel* control);
std::vector<uint8_t> PictureOf(_ucCardel* control);
void SetPicture(_ucCardel* control, const std::vector<uint8_t>& bytes);

}  // namespace cardel::host
