#include "ole_support.h"

#include <objbase.h>

#include <algorithm>

#include "common/win_handles.h"
#include "host_error.h"

namespace cardel::oletest {

using host::ThrowLastError;
using host::Variant;

std::wstring OcxPath() {
  wchar_t path[MAX_PATH * 4] = {};
  if (!GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)))) ThrowLastError("GetModuleFileNameW");
  const std::wstring self = path;
  return self.substr(0, self.find_last_of(L"\\/") + 1) + L"VelmarCardel.ocx";
}

std::wstring GuidText(const GUID& guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

std::string Narrow(std::wstring_view text) {
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr, nullptr);
  return result;
}

namespace {

void CloseKernelHandle(HANDLE h) { CloseHandle(h); }
using UniqueKernelHandle = UniqueHandle<HANDLE, CloseKernelHandle>;

// A pipe whose write end a child process inherits; the parent keeps the read end.
struct ChildPipe {
  UniqueKernelHandle read, write;
  ChildPipe() {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    if (!CreatePipe(read.put(), write.put(), &inheritable, 0)) ThrowLastError("CreatePipe");
    // Only the child's end may be inherited, or the pipe never reports its end.
    SetHandleInformation(read.get(), HANDLE_FLAG_INHERIT, 0);
  }
  void DrainInto(std::string& text) const {
    char chunk[4096];
    DWORD available = 0, count = 0;
    while (PeekNamedPipe(read.get(), nullptr, 0, nullptr, &available, nullptr) && available > 0 &&
           ReadFile(read.get(), chunk, std::min<DWORD>(available, sizeof chunk), &count, nullptr) && count > 0)
      text.append(chunk, count);
  }
};

}  // namespace

ProcessResult RunProcess(const std::wstring& commandLine, std::chrono::milliseconds timeout) {
  ChildPipe out, err;
  STARTUPINFOW startup{sizeof(STARTUPINFOW)};
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out.write.get();
  startup.hStdError = err.write.get();
  PROCESS_INFORMATION info{};
  std::wstring mutableLine = commandLine;
  if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                      &info))
    ThrowLastError("CreateProcessW");
  UniqueKernelHandle process(info.hProcess), thread(info.hThread);
  out.write.reset();
  err.write.reset();

  ProcessResult result;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (bool ended = false; !ended;) {
    ended = WaitForSingleObject(process.get(), 20) == WAIT_OBJECT_0;
    out.DrainInto(result.output);
    err.DrainInto(result.errors);
    if (!ended && std::chrono::steady_clock::now() > deadline) {
      TerminateProcess(process.get(), 1);
      throw host::HostError(Narrow(L"Timed out: " + commandLine), HRESULT_FROM_WIN32(ERROR_TIMEOUT));
    }
  }
  GetExitCodeProcess(process.get(), &result.exitCode);
  return result;
}

HRESULT Invoke(IDispatch& dispatch, DISPID id, WORD flags, const std::vector<Variant>& args, Variant* result,
               ExcepInfo* excepInfo) {
  std::vector<VARIANTARG> reversed;
  for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(**it);
  DISPID putId = DISPID_PROPERTYPUT;
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), put ? &putId : nullptr,
                    static_cast<UINT>(reversed.size()), put ? 1u : 0u};
  return dispatch.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result ? result->put() : nullptr, excepInfo,
                         nullptr);
}

}  // namespace cardel::oletest
