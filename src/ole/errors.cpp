#include "ole/errors.h"

#include <oleauto.h>

#include <new>
#include <stdexcept>
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
    case RuntimeError::InvalidPicture: return L"Invalid picture";
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

HRESULT ErrorFromCurrentException(REFGUID interfaceId) noexcept {
  try {
    throw;
  } catch (const std::overflow_error&) {
    return RaiseError(RuntimeError::Overflow, interfaceId);
  } catch (const std::bad_alloc&) {
    return RaiseError(RuntimeError::OutOfMemory, interfaceId);
  } catch (const std::length_error&) {
    // A container asked for more elements than it can ever hold: memory by another name.
    return RaiseError(RuntimeError::OutOfMemory, interfaceId);
  } catch (...) {
    return RaiseError(E_UNEXPECTED, L"Unexpected failure inside the control", interfaceId);
  }
}

void ClearError() noexcept { SetErrorInfo(0, nullptr); }

}  // namespace ole
