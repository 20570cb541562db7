#include "control/pp_cardel.h"

#include <new>

#include "common/ole_units.h"
#include "control/cardel_classes.h"
#include "ole/errors.h"
#include "proppage/page_layout.h"

namespace cardel {
namespace {

wchar_t* TaskString(const wchar_t* text) noexcept {
  const size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
  auto* copy = static_cast<wchar_t*>(CoTaskMemAlloc(bytes));
  if (copy) memcpy(copy, text, bytes);
  return copy;
}

}  // namespace

HRESULT CreatePpCardel(IUnknown* outer, REFIID riid, void** object) noexcept {
  if (outer) return CLASS_E_NOAGGREGATION;
  auto page = ole::MakeComObject<PpCardel>();
  if (!page) return E_OUTOFMEMORY;
  return page->QueryInterface(riid, object);
}

void* PpCardel::Find(REFIID riid) noexcept {
  if (riid == IID_IDispatch || riid == IID__ppCardel) return static_cast<_ppCardel*>(this);
  if (riid == IID_IPropertyPage || riid == IID_IPropertyPage2) return static_cast<IPropertyPage2*>(this);
  return nullptr;
}

STDMETHODIMP PpCardel::SetPageSite(IPropertyPageSite* site) noexcept {
  if (site && site_) return E_UNEXPECTED;
  site_ = site;
  return S_OK;
}

// The frame may hand over the selection before or after the page exists; whichever comes second loads it.
STDMETHODIMP PpCardel::Activate(HWND parent, LPCRECT rect, BOOL) noexcept {
  if (!rect) return E_POINTER;
  if (page_) return E_UNEXPECTED;
  return ole::GuardedOle([&] {
    auto page = std::make_unique<proppage::PicturePage>(CreateUcCardel, proppage::ChooserFor(site_.Get()),
                                                         [this] { MarkDirty(); });
    HRESULT hr = page->Create(parent, *rect);
    if (FAILED(hr)) return hr;
    page_ = std::move(page);
    return selected_ ? page_->Load(selected_.Get()) : S_OK;
  });
}

STDMETHODIMP PpCardel::Deactivate() noexcept {
  page_.reset();
  return S_OK;
}

STDMETHODIMP PpCardel::GetPageInfo(PROPPAGEINFO* info) noexcept {
  if (!info) return E_POINTER;
  WindowDc screen(nullptr);
  const int dpiX = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
  const int dpiY = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
  info->cb = sizeof(*info);
  info->pszTitle = TaskString(L"Picture");
  info->size = {TwipsToPixels(proppage::kPageTwips.cx, dpiX), TwipsToPixels(proppage::kPageTwips.cy, dpiY)};
  info->pszDocString = nullptr;
  info->pszHelpFile = nullptr;
  info->dwHelpContext = 0;
  return info->pszTitle ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP PpCardel::SetObjects(ULONG count, IUnknown** objects) noexcept {
  if (count == 0) {
    selected_.Reset();
    return S_OK;
  }
  if (!objects || !objects[0]) return E_POINTER;
  Microsoft::WRL::ComPtr<_ucCardel> first;
  HRESULT hr = objects[0]->QueryInterface(IID__ucCardel, reinterpret_cast<void**>(first.GetAddressOf()));
  if (FAILED(hr)) return hr;
  selected_ = first;
  return page_ ? ole::GuardedOle([&] { return page_->Load(selected_.Get()); }) : S_OK;
}

STDMETHODIMP PpCardel::Show(UINT command) noexcept {
  if (!page_) return E_UNEXPECTED;
  ShowWindow(page_->window(), command);
  return S_OK;
}

STDMETHODIMP PpCardel::Move(LPCRECT rect) noexcept {
  if (!rect) return E_POINTER;
  if (!page_) return E_UNEXPECTED;
  MoveWindow(page_->window(), rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
  return S_OK;
}

STDMETHODIMP PpCardel::IsPageDirty() noexcept { return dirty_ ? S_OK : S_FALSE; }

STDMETHODIMP PpCardel::Apply() noexcept {
  if (!page_ || !selected_) return S_OK;
  HRESULT hr = ole::GuardedOle([&] { return page_->Apply(selected_.Get()); });
  if (FAILED(hr)) return hr;
  dirty_ = false;
  return S_OK;
}

STDMETHODIMP PpCardel::Help(LPCOLESTR) noexcept { return E_NOTIMPL; }

STDMETHODIMP PpCardel::TranslateAccelerator(MSG* msg) noexcept {
  if (!msg) return E_POINTER;
  if (!page_) return S_FALSE;
  // Tab and the arrow keys move between the page's own controls; the frame handles everything else.
  const HWND window = page_->window();
  if (msg->hwnd != window && !IsChild(window, msg->hwnd)) return S_FALSE;
  return IsDialogMessageW(window, msg) ? S_OK : S_FALSE;
}

STDMETHODIMP PpCardel::EditProperty(DISPID) noexcept { return E_NOTIMPL; }

void PpCardel::MarkDirty() noexcept {
  dirty_ = true;
  if (site_) site_->OnStatusChange(PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE);
}

}  // namespace cardel
