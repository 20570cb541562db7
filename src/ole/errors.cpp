#include "ole/errors.h"

#include <oleauto.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace ole {

const wchar_t* RuntimeErrorText(RuntimeError e) noexcept {
  switch (e) {
    case RuntimeError::InvalidProcedureCall: return L"Invalid procedure call or argument";
    case RuntimeError::Overflow: return L"Overflow";
    case RuntimeError::OutOfMemory: return L"Out of memory";
    case RuntimeError::SubscriptOutOfRange: return L"Subscript out of range";
    case RuntimeError::TypeMismatch: return L"Type mismatch";
    case RuntimeError::FileNotFound: return L"File not found";
    case RuntimeError::PathFileAccessError: return L"Path/File access error";
    case RuntimeError::PathNotFound: return L"Path not found";
    case RuntimeError::InvalidPropertyValue: return L"Invalid property value";
  }
  return L"Application-defined or object-defined error";
}

HRESULT RaiseError(RuntimeError e, REFGUID interfaceId) noexcept {
  return RaiseError(AutomationHresult(e), RuntimeErrorText(e), interfaceId);
}

HRESULT RaiseError(HRESULT hr, const wchar_t* description, REFGUID interfaceId) noexcept {
  ComPtr<ICreateErrorInfo> create;
  if (SUCCEEDED(CreateErrorInfo(&create))) {
    create->SetGUID(interfaceId);
    create->SetSource(const_cast<LPOLESTR>(L"VelmarCardel"));
    create->SetDescription(const_cast<LPOLESTR>(description));
    ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create.As(&info))) SetErrorInfo(0, info.Get());
  }
  return hr;
}

void ClearError() noexcept { SetErrorInfo(0, nullptr); }

}  // namespace ole
