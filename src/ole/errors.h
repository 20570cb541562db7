#pragma once
// Automation errors: run-time error numbers in the control facility, with a description that
// reaches the caller through IErrorInfo (and so EXCEPINFO for late-bound calls).
#include <windows.h>

namespace ole {

enum class RuntimeError : int {
  InvalidProcedureCall = 5,
  Overflow = 6,
  OutOfMemory = 7,
  SubscriptOutOfRange = 9,
  TypeMismatch = 13,
  FileNotFound = 53,
  PathFileAccessError = 75,
  PathNotFound = 76,
  InvalidPropertyValue = 380,
  InvalidPicture = 481,
};

constexpr HRESULT AutomationHresult(RuntimeError e) noexcept {
  return static_cast<HRESULT>(0x800A0000u | static_cast<unsigned>(e));
}

const wchar_t* RuntimeErrorText(RuntimeError e) noexcept;

// Publishes the error's description for the calling thread and returns its HRESULT.
HRESULT RaiseError(RuntimeError e, REFGUID interfaceId) noexcept;

// Publishes an error with free text (for failures of platform calls) and returns hr.
HRESULT RaiseError(HRESULT hr, const wchar_t* description, REFGUID interfaceId) noexcept;

// The one answer of an entry point to an exception from the work beneath it, whatever that work was:
// arithmetic overflow is run-time error 6, exhausted memory error 7, anything else E_UNEXPECTED. Call it
// only from inside a catch handler.
HRESULT ErrorFromCurrentException(REFGUID interfaceId) noexcept;

// Runs body, an HRESULT-returning callable, so that no exception leaves the entry point.
template <class Body>
HRESULT Guarded(REFGUID interfaceId, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return ErrorFromCurrentException(interfaceId);
  }
}

// Clears any stale error object so a later success is not mistaken for a failure's aftermath.
void ClearError() noexcept;

}  // namespace ole
