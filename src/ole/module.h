#pragma once
// Module-wide state of the in-process server: its instance handle and the count of live objects
// and server locks that DllCanUnloadNow reports.
#include <windows.h>

#include <string>

namespace ole {

void SetModuleInstance(HINSTANCE instance) noexcept;
HINSTANCE ModuleInstance() noexcept;
std::wstring ModulePath();

void LockModule() noexcept;
void UnlockModule() noexcept;
bool ModuleInUse() noexcept;

// Counts one live object for as long as it exists.
class ModuleReference {
 public:
  ModuleReference() noexcept { LockModule(); }
  ModuleReference(const ModuleReference&) noexcept { LockModule(); }
  ModuleReference& operator=(const ModuleReference&) noexcept { return *this; }
  ~ModuleReference() { UnlockModule(); }
};

}  // namespace ole
