#include "ole/accessible.h"

#include "ole/child_id.h"
#include "ole/dispatch.h"
#include "ole/errors.h"

namespace ole {
namespace {

void SetSelf(VARIANT* out) noexcept {
  V_VT(out) = VT_I4;
  V_I4(out) = CHILDID_SELF;
}

// Facts with no text are absent, which MSAA reports as S_FALSE and no string.
HRESULT OutText(const std::wstring& text, BSTR* out) noexcept {
  if (text.empty()) return S_FALSE;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT NoText(VARIANT& child, BSTR* out, HRESULT absent) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  return NamesSelf(child) ? absent : E_INVALIDARG;
}

}  // namespace

HRESULT Accessible::Read(AccessibleFacts& facts) noexcept {
  return GuardedOle([&] {
    source_.DescribeAccessible(facts);
    return S_OK;
  });
}

HRESULT Accessible::ReadText(VARIANT child, BSTR* out, std::wstring AccessibleFacts::*field) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!NamesSelf(child)) return E_INVALIDARG;
  AccessibleFacts facts;
  HRESULT hr = Read(facts);
  return FAILED(hr) ? hr : OutText(facts.*field, out);
}

HRESULT Accessible::ReadNumber(VARIANT child, VARIANT* out, LONG AccessibleFacts::*field) noexcept {
  if (!out) return E_POINTER;
  VariantInit(out);
  if (!NamesSelf(child)) return E_INVALIDARG;
  AccessibleFacts facts;
  HRESULT hr = Read(facts);
  if (FAILED(hr)) return hr;
  V_VT(out) = VT_I4;
  V_I4(out) = facts.*field;
  return S_OK;
}

HRESULT Accessible::EnsureTypeInfo() noexcept {
  if (typeInfo_) return S_OK;
  Microsoft::WRL::ComPtr<ITypeLib> library;
  HRESULT hr = LoadTypeLib(L"oleacc.dll", &library);
  if (FAILED(hr)) return hr;
  return library->GetTypeInfoOfGuid(IID_IAccessible, &typeInfo_);
}

STDMETHODIMP Accessible::GetTypeInfoCount(UINT* count) noexcept {
  if (!count) return E_POINTER;
  *count = SUCCEEDED(EnsureTypeInfo()) ? 1 : 0;
  return S_OK;
}

STDMETHODIMP Accessible::GetTypeInfo(UINT index, LCID, ITypeInfo** info) noexcept {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  HRESULT hr = EnsureTypeInfo();
  return FAILED(hr) ? hr : typeInfo_.CopyTo(info);
}

STDMETHODIMP Accessible::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) noexcept {
  HRESULT hr = EnsureTypeInfo();
  return FAILED(hr) ? hr : DispatchGetIDsOfNames(typeInfo_.Get(), riid, names, count, ids);
}

STDMETHODIMP Accessible::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                EXCEPINFO* excepInfo, UINT* argErr) noexcept {
  HRESULT hr = EnsureTypeInfo();
  if (FAILED(hr)) return hr;
  return DispatchInvoke(typeInfo_.Get(), static_cast<IAccessible*>(this), id, riid, flags, params, result, excepInfo,
                        argErr);
}

STDMETHODIMP Accessible::get_accParent(IDispatch** parent) noexcept {
  if (!parent) return E_POINTER;
  *parent = nullptr;
  return source_.AccessibleParent(parent);
}

STDMETHODIMP Accessible::get_accChildCount(LONG* count) noexcept {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP Accessible::get_accChild(VARIANT, IDispatch** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  return E_INVALIDARG;
}

STDMETHODIMP Accessible::get_accName(VARIANT child, BSTR* name) noexcept {
  return ReadText(child, name, &AccessibleFacts::name);
}

STDMETHODIMP Accessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) noexcept {
  return ReadText(child, shortcut, &AccessibleFacts::shortcut);
}

STDMETHODIMP Accessible::get_accRole(VARIANT child, VARIANT* role) noexcept {
  return ReadNumber(child, role, &AccessibleFacts::role);
}

STDMETHODIMP Accessible::get_accState(VARIANT child, VARIANT* state) noexcept {
  return ReadNumber(child, state, &AccessibleFacts::state);
}

// A label shows text and does nothing: no value, description, help or action of its own.
STDMETHODIMP Accessible::get_accValue(VARIANT child, BSTR* value) noexcept {
  return NoText(child, value, DISP_E_MEMBERNOTFOUND);
}

STDMETHODIMP Accessible::get_accDescription(VARIANT child, BSTR* description) noexcept {
  return NoText(child, description, S_FALSE);
}

STDMETHODIMP Accessible::get_accHelp(VARIANT child, BSTR* help) noexcept { return NoText(child, help, S_FALSE); }

STDMETHODIMP Accessible::get_accHelpTopic(BSTR* helpFile, VARIANT child, LONG* topic) noexcept {
  if (!helpFile || !topic) return E_POINTER;
  *topic = 0;
  return NoText(child, helpFile, S_FALSE);
}

STDMETHODIMP Accessible::get_accDefaultAction(VARIANT child, BSTR* action) noexcept {
  return NoText(child, action, S_FALSE);
}

STDMETHODIMP Accessible::accDoDefaultAction(VARIANT child) noexcept {
  return NamesSelf(child) ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
}

STDMETHODIMP Accessible::accSelect(LONG flags, VARIANT child) noexcept {
  if ((flags & ~SELFLAG_VALID) != 0 || !NamesSelf(child)) return E_INVALIDARG;
  return DISP_E_MEMBERNOTFOUND;
}

STDMETHODIMP Accessible::get_accFocus(VARIANT* focused) noexcept {
  if (!focused) return E_POINTER;
  VariantInit(focused);
  return S_FALSE;
}

STDMETHODIMP Accessible::get_accSelection(VARIANT* selected) noexcept {
  if (!selected) return E_POINTER;
  VariantInit(selected);
  return S_FALSE;
}

STDMETHODIMP Accessible::accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) noexcept {
  if (!left || !top || !width || !height) return E_POINTER;
  *left = *top = *width = *height = 0;
  if (!NamesSelf(child)) return E_INVALIDARG;
  AccessibleFacts facts;
  HRESULT hr = Read(facts);
  if (FAILED(hr)) return hr;
  *left = facts.screen.left;
  *top = facts.screen.top;
  *width = facts.screen.right - facts.screen.left;
  *height = facts.screen.bottom - facts.screen.top;
  return S_OK;
}

// Siblings belong to the container's object; a leaf has nothing to lead to itself.
STDMETHODIMP Accessible::accNavigate(LONG direction, VARIANT start, VARIANT* end) noexcept {
  if (!end) return E_POINTER;
  VariantInit(end);
  if (direction < NAVDIR_UP || direction > NAVDIR_LASTCHILD || !NamesSelf(start)) return E_INVALIDARG;
  return S_FALSE;
}

STDMETHODIMP Accessible::accHitTest(LONG x, LONG y, VARIANT* child) noexcept {
  if (!child) return E_POINTER;
  VariantInit(child);
  AccessibleFacts facts;
  HRESULT hr = Read(facts);
  if (FAILED(hr)) return hr;
  if (!PtInRect(&facts.screen, POINT{x, y})) return S_FALSE;
  SetSelf(child);
  return S_OK;
}

STDMETHODIMP Accessible::put_accName(VARIANT, BSTR) noexcept { return E_NOTIMPL; }
STDMETHODIMP Accessible::put_accValue(VARIANT, BSTR) noexcept { return E_NOTIMPL; }

}  // namespace ole
