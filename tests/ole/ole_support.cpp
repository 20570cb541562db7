#include "ole_support.h"

#include <objbase.h>

#include <vector>

#include "common/win_handles.h"
#include "host_error.h"

namespace cardel::oletest {

using testhost::HostError;
using testhost::ThrowLastError;
using testhost::Variant;

std::wstring OcxPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) ThrowLastError("GetModuleFileNameW");
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L"\\/") + 1) + L"VelmarCardel.ocx";
}

std::wstring GuidText(const GUID& guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

std::string Narrow(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string result(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr,
                      nullptr);
  return result;
}

bool ClassesKeyExists(const std::wstring& subKey) {
  UniqueHkey key;
  return RegOpenKeyExW(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

std::optional<std::wstring> ClassesValue(const std::wstring& subKey, const wchar_t* name) {
  UniqueHkey key;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
    return std::nullopt;
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return std::nullopt;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(value.data()), &bytes) !=
      ERROR_SUCCESS)
    return std::nullopt;
  value.resize(wcsnlen(value.c_str(), value.size()));
  return value;
}

namespace {

// A pipe whose write end a child process inherits; the parent keeps the read end.
struct ChildPipe {
  UniqueKernelHandle read;
  UniqueKernelHandle write;

  ChildPipe() {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    if (!CreatePipe(read.put(), write.put(), &inheritable, 0)) ThrowLastError("CreatePipe");
    // Only the child's end may be inherited, or the pipe never reports its end.
    SetHandleInformation(read.get(), HANDLE_FLAG_INHERIT, 0);
  }

  void DrainInto(std::string& text) const {
    DWORD available = 0;
    while (PeekNamedPipe(read.get(), nullptr, 0, nullptr, &available, nullptr) && available > 0) {
      std::vector<char> chunk(available);
      DWORD count = 0;
      if (!ReadFile(read.get(), chunk.data(), available, &count, nullptr) || count == 0) return;
      text.append(chunk.data(), count);
    }
  }
};

}  // namespace

ProcessResult RunProcess(const std::wstring& commandLine, std::chrono::milliseconds timeout) {
  ChildPipe out;
  ChildPipe err;
  STARTUPINFOW startup{sizeof(STARTUPINFOW)};
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out.write.get();
  startup.hStdError = err.write.get();
  PROCESS_INFORMATION info{};
  std::wstring mutableLine = commandLine;
  if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                      &startup, &info))
    ThrowLastError("CreateProcessW");
  UniqueKernelHandle process(info.hProcess);
  UniqueKernelHandle thread(info.hThread);
  out.write.reset();
  err.write.reset();

  ProcessResult result;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    out.DrainInto(result.output);
    err.DrainInto(result.errors);
    if (WaitForSingleObject(process.get(), 20) == WAIT_OBJECT_0) break;
    if (std::chrono::steady_clock::now() > deadline) {
      TerminateProcess(process.get(), 1);
      throw HostError(Narrow(L"Timed out: " + commandLine), HRESULT_FROM_WIN32(ERROR_TIMEOUT));
    }
  }
  out.DrainInto(result.output);
  err.DrainInto(result.errors);
  GetExitCodeProcess(process.get(), &result.exitCode);
  return result;
}

ExcepInfo::~ExcepInfo() {
  SysFreeString(bstrSource);
  SysFreeString(bstrDescription);
  SysFreeString(bstrHelpFile);
}

HRESULT Invoke(IDispatch& dispatch, DISPID id, WORD flags, const std::vector<Variant>& args, Variant* result,
               ExcepInfo* excepInfo) {
  std::vector<VARIANTARG> reversed;
  for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(**it);
  DISPID putId = DISPID_PROPERTYPUT;
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), put ? &putId : nullptr,
                    static_cast<UINT>(reversed.size()), put ? 1u : 0u};
  return dispatch.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result ? result->put() : nullptr,
                         excepInfo, nullptr);
}

HRESULT GetProperty(IDispatch& dispatch, DISPID id, Variant& result) {
  return Invoke(dispatch, id, DISPATCH_PROPERTYGET, {}, &result);
}

HRESULT PutProperty(IDispatch& dispatch, DISPID id, const Variant& value, ExcepInfo* excepInfo) {
  return Invoke(dispatch, id, DISPATCH_PROPERTYPUT, {value}, nullptr, excepInfo);
}

}  // namespace cardel::oletest
