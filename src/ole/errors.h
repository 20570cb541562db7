#pragma once
// The control's one error policy. Work beneath an entry point throws (or returns) what went wrong in
// its own terms; each entry point says it once, in its caller's convention:
// - automation members: run-time error numbers in the control facility (0x800A0000 | n), with a
//   description that reaches the caller through IErrorInfo (and so EXCEPINFO for late-bound calls);
// - OLE interfaces: their documented HRESULTs;
// - window procedures and callbacks: nothing leaves them at all.
#include <windows.h>

#include <exception>

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

// What an exception from the work beneath an entry point stands for, whatever threw it:
// std::overflow_error (ArithmeticOverflow) is arithmetic overflow; std::bad_alloc and std::length_error
// (a container asked for more than it can ever hold) exhausted memory; std::invalid_argument an argument
// the work cannot use; anything else a failure nobody foresaw.
enum class Failure { Overflow, OutOfMemory, InvalidArgument, Unexpected };
Failure FailureOf(std::exception_ptr exception) noexcept;

// The failure for an automation caller: run-time error 6, 7 or 5, or E_UNEXPECTED, each with its description.
HRESULT RaiseFailure(Failure failure, REFGUID interfaceId) noexcept;

// The failure for an OLE caller: E_OUTOFMEMORY, E_INVALIDARG, E_UNEXPECTED, or the interface's own code
// for work that could not be done (E_FAIL where it documents none).
HRESULT OleFailure(Failure failure, HRESULT couldNotDo = E_FAIL) noexcept;

// The two answers to the exception being handled. Call them only from inside a catch handler.
HRESULT ErrorFromCurrentException(REFGUID interfaceId) noexcept;
HRESULT OleErrorFromCurrentException(HRESULT couldNotDo = E_FAIL) noexcept;

// Runs body, an HRESULT-returning callable, for an automation member: no exception leaves it.
template <class Body>
HRESULT Guarded(REFGUID interfaceId, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return ErrorFromCurrentException(interfaceId);
  }
}

// Runs body, an HRESULT-returning callable, for an OLE interface method: no exception leaves it.
template <class Body>
HRESULT GuardedOle(Body&& body, HRESULT couldNotDo = E_FAIL) noexcept {
  try {
    return body();
  } catch (...) {
    return OleErrorFromCurrentException(couldNotDo);
  }
}

// Runs body for a window procedure or a callback, which has nobody to report to: work that fails is
// left undone. Returns whether it completed.
template <class Body>
bool Contained(Body&& body) noexcept {
  try {
    body();
    return true;
  } catch (...) {
    return false;
  }
}

// Clears any stale error object so a later success is not mistaken for a failure's aftermath.
void ClearError() noexcept;

}  // namespace ole
