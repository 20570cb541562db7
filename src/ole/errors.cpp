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

Failure FailureOf(std::exception_ptr exception) noexcept {
  if (!exception) return Failure::Unexpected;
  try {
    std::rethrow_exception(exception);
  } catch (const std::overflow_error&) {
    return Failure::Overflow;
  } catch (const std::bad_alloc&) {
    return Failure::OutOfMemory;
  } catch (const std::length_error&) {
    return Failure::OutOfMemory;
  } catch (const std::invalid_argument&) {
    return Failure::InvalidArgument;
  } catch (...) {
    return Failure::Unexpected;
  }
}

HRESULT RaiseFailure(Failure failure, REFGUID interfaceId) noexcept {
  switch (failure) {
    case Failure::Overflow: return RaiseError(RuntimeError::Overflow, interfaceId);
    case Failure::OutOfMemory: return RaiseError(RuntimeError::OutOfMemory, interfaceId);
    case Failure::InvalidArgument: return RaiseError(RuntimeError::InvalidProcedureCall, interfaceId);
    case Failure::Unexpected: break;
  }
  return RaiseError(E_UNEXPECTED, L"Unexpected failure inside the control", interfaceId);
}

HRESULT OleFailure(Failure failure, HRESULT couldNotDo) noexcept {
  switch (failure) {
    case Failure::OutOfMemory: return E_OUTOFMEMORY;
    case Failure::InvalidArgument: return E_INVALIDARG;
    case Failure::Unexpected: return E_UNEXPECTED;
    case Failure::Overflow: break;
  }
  return couldNotDo;
}

HRESULT ErrorFromCurrentException(REFGUID interfaceId) noexcept {
  return RaiseFailure(FailureOf(std::current_exception()), interfaceId);
}

HRESULT OleErrorFromCurrentException(HRESULT couldNotDo) noexcept {
  return OleFailure(FailureOf(std::current_exception()), couldNotDo);
}

void ClearError() noexcept { SetErrorInfo(0, nullptr); }

}  // namespace ole
