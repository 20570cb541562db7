#include "ole/module.h"

namespace ole {
namespace {
HINSTANCE g_instance = nullptr;
LONG g_locks = 0;

// Code linked into a program rather than the library still finds the module that holds it.
HINSTANCE ModuleOfThisCode() noexcept {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ModuleOfThisCode), &module);
  return module;
}
}  // namespace

void SetModuleInstance(HINSTANCE instance) noexcept { g_instance = instance; }

HINSTANCE ModuleInstance() noexcept {
  if (!g_instance) g_instance = ModuleOfThisCode();
  return g_instance;
}

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(ModuleInstance(), path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

void LockModule() noexcept { InterlockedIncrement(&g_locks); }
void UnlockModule() noexcept { InterlockedDecrement(&g_locks); }
bool ModuleInUse() noexcept { return g_locks != 0; }

}  // namespace ole
