#pragma once
// The control's face to assistive technology (Microsoft Active Accessibility). It holds nothing of
// its own: every answer is read afresh from its source, so it never goes stale, and it shares the
// control's identity and lifetime, being reached both by QueryInterface and through WM_GETOBJECT.
#include <windows.h>
#include <oleacc.h>
#include <wrl/client.h>

#include <string>

namespace ole {

struct AccessibleFacts {
  std::wstring name;
  std::wstring shortcut;
  LONG role = ROLE_SYSTEM_STATICTEXT;
  LONG state = 0;
  RECT screen{};  // empty while the object is not placed
};

class AccessibleSource {
 public:
  // May throw std::bad_alloc.
  virtual void DescribeAccessible(AccessibleFacts& facts) = 0;
  // The accessible object of whatever holds the control, or S_FALSE with none.
  virtual HRESULT AccessibleParent(IDispatch** parent) noexcept = 0;

 protected:
  ~AccessibleSource() = default;
};

class Accessible final : public IAccessible {
 public:
  // identity answers IUnknown for this object and must outlive it; so must source.
  Accessible(IUnknown* identity, AccessibleSource& source) noexcept : identity_(identity), source_(source) {}
  Accessible(const Accessible&) = delete;
  Accessible& operator=(const Accessible&) = delete;

  STDMETHODIMP QueryInterface(REFIID riid, void** object) noexcept override {
    return identity_->QueryInterface(riid, object);
  }
  STDMETHODIMP_(ULONG) AddRef() noexcept override { return identity_->AddRef(); }
  STDMETHODIMP_(ULONG) Release() noexcept override { return identity_->Release(); }

  // IDispatch, from the type library oleacc carries.
  STDMETHODIMP GetTypeInfoCount(UINT* count) noexcept override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) noexcept override;
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) noexcept override;
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* excepInfo, UINT* argErr) noexcept override;

  // IAccessible
  STDMETHODIMP get_accParent(IDispatch** parent) noexcept override;
  STDMETHODIMP get_accChildCount(LONG* count) noexcept override;
  STDMETHODIMP get_accChild(VARIANT child, IDispatch** object) noexcept override;
  STDMETHODIMP get_accName(VARIANT child, BSTR* name) noexcept override;
  STDMETHODIMP get_accValue(VARIANT child, BSTR* value) noexcept override;
  STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) noexcept override;
  STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) noexcept override;
  STDMETHODIMP get_accState(VARIANT child, VARIANT* state) noexcept override;
  STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) noexcept override;
  STDMETHODIMP get_accHelpTopic(BSTR* helpFile, VARIANT child, LONG* topic) noexcept override;
  STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) noexcept override;
  STDMETHODIMP get_accFocus(VARIANT* focused) noexcept override;
  STDMETHODIMP get_accSelection(VARIANT* selected) noexcept override;
  STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) noexcept override;
  STDMETHODIMP accSelect(LONG flags, VARIANT child) noexcept override;
  STDMETHODIMP accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) noexcept override;
  STDMETHODIMP accNavigate(LONG direction, VARIANT start, VARIANT* end) noexcept override;
  STDMETHODIMP accHitTest(LONG x, LONG y, VARIANT* child) noexcept override;
  STDMETHODIMP accDoDefaultAction(VARIANT child) noexcept override;
  STDMETHODIMP put_accName(VARIANT child, BSTR name) noexcept override;
  STDMETHODIMP put_accValue(VARIANT child, BSTR value) noexcept override;

 private:
  HRESULT Read(AccessibleFacts& facts) noexcept;
  // A text fact for CHILDID_SELF; an empty one is reported as absent.
  HRESULT ReadText(VARIANT child, BSTR* out, std::wstring AccessibleFacts::*field) noexcept;
  HRESULT ReadNumber(VARIANT child, VARIANT* out, LONG AccessibleFacts::*field) noexcept;
  HRESULT EnsureTypeInfo() noexcept;

  IUnknown* identity_;
  AccessibleSource& source_;
  Microsoft::WRL::ComPtr<ITypeInfo> typeInfo_;
};

}  // namespace ole
