#pragma once
// Helpers shared by the programs that check the library from the outside: its file, child processes
// that use it, and late-bound calls.
#include <oaidl.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "common/automation_handles.h"
#include "excep_info.h"
#include "variant.h"

namespace cardel::oletest {

using cardel::UniqueBstr;

// The full path of VelmarCardel.ocx beside the running test program.
std::wstring OcxPath();
std::wstring GuidText(const GUID& guid);
std::string Narrow(std::wstring_view text);

struct ProcessResult {
  DWORD exitCode = 0;
  std::string output;  // standard output
  std::string errors;  // standard error
};

// Runs a command line to its end with its standard output and error captured. Throws HostError if the
// process cannot start or outlives the timeout (it is then terminated).
ProcessResult RunProcess(const std::wstring& commandLine, std::chrono::milliseconds timeout = std::chrono::seconds(60));

using host::ExcepInfo;

// IDispatch::Invoke with the arguments in their published order (DISPPARAMS holds them reversed); a
// property put passes its value as the named DISPID_PROPERTYPUT argument.
HRESULT Invoke(IDispatch& dispatch, DISPID id, WORD flags, const std::vector<host::Variant>& args,
               host::Variant* result = nullptr, ExcepInfo* excepInfo = nullptr);
inline HRESULT GetProperty(IDispatch& dispatch, DISPID id, host::Variant& result) {
  return Invoke(dispatch, id, DISPATCH_PROPERTYGET, {}, &result);
}
inline HRESULT PutProperty(IDispatch& dispatch, DISPID id, const host::Variant& value,
                           ExcepInfo* excepInfo = nullptr) {
  return Invoke(dispatch, id, DISPATCH_PROPERTYPUT, {value}, nullptr, excepInfo);
}

}  // namespace cardel::oletest
