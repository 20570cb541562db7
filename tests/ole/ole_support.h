#pragma once
// Helpers shared by the programs that check the library from the outside, as the system and other
// programs see it: its file, its registry entries, child processes that use it, and late-bound calls.
#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "common/unique_handle.h"
#include "variant.h"

namespace cardel::oletest {

namespace detail {
inline void CloseKernelHandle(HANDLE h) { CloseHandle(h); }
inline void FreeBstr(BSTR s) { SysFreeString(s); }
}  // namespace detail

using UniqueKernelHandle = UniqueHandle<HANDLE, detail::CloseKernelHandle>;
using UniqueBstr = UniqueHandle<BSTR, detail::FreeBstr>;

// Takes over the one reference a new object (or an out-parameter) was given. mingw-w64's ComPtr::Attach
// adds a reference of its own, which would keep such an object alive for ever.
template <class T>
Microsoft::WRL::ComPtr<T> Adopt(T* object) {
  Microsoft::WRL::ComPtr<T> owner;
  *owner.GetAddressOf() = object;
  return owner;
}

// The full path of VelmarCardel.ocx beside the running test program.
std::wstring OcxPath();

std::wstring GuidText(const GUID& guid);
std::string Narrow(std::wstring_view text);

// Keys and string values under HKEY_CLASSES_ROOT.
bool ClassesKeyExists(const std::wstring& subKey);
std::optional<std::wstring> ClassesValue(const std::wstring& subKey, const wchar_t* name = nullptr);

struct ProcessResult {
  DWORD exitCode = 0;
  std::string output;  // standard output
  std::string errors;  // standard error
};

// Runs a command line to its end with its standard output and error captured. Throws HostError if the
// process cannot start or outlives the timeout (it is then terminated).
ProcessResult RunProcess(const std::wstring& commandLine,
                         std::chrono::milliseconds timeout = std::chrono::seconds(60));

// An EXCEPINFO that frees its strings.
struct ExcepInfo : EXCEPINFO {
  ExcepInfo() : EXCEPINFO{} {}
  ExcepInfo(const ExcepInfo&) = delete;
  ExcepInfo& operator=(const ExcepInfo&) = delete;
  ~ExcepInfo();
  std::wstring Description() const { return bstrDescription ? bstrDescription : L""; }
};

// IDispatch::Invoke with the arguments in their published order (DISPPARAMS holds them reversed); a
// property put passes its value as the named DISPID_PROPERTYPUT argument.
HRESULT Invoke(IDispatch& dispatch, DISPID id, WORD flags, const std::vector<testhost::Variant>& args,
               testhost::Variant* result = nullptr, ExcepInfo* excepInfo = nullptr);
HRESULT GetProperty(IDispatch& dispatch, DISPID id, testhost::Variant& result);
HRESULT PutProperty(IDispatch& dispatch, DISPID id, const testhost::Variant& value, ExcepInfo* excepInfo = nullptr);

}  // namespace cardel::oletest
