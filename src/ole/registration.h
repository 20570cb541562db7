#pragma once
// Self-registration of an in-process server: the class keys a designer needs and the type library.
#include <windows.h>

#include <span>

namespace ole {

struct ClassRegistration {
  const CLSID* clsid;
  const wchar_t* description;
  const wchar_t* progId;       // nullptr: the class has no programmatic identifier
  bool isControl;              // adds Control, MiscStatus, ToolboxBitmap32 and the control category
  DWORD miscStatus;
  int toolboxBitmapId;
  const wchar_t* version;      // the class's own version, e.g. L"1.0"
};

struct TypeLibRegistration {
  const GUID* libId;
  WORD major;
  WORD minor;
  LCID lcid;
};

// Both build registry paths as strings: they throw std::bad_alloc for the export to report.
HRESULT RegisterServer(std::span<const ClassRegistration> classes, const TypeLibRegistration& typeLib);
HRESULT UnregisterServer(std::span<const ClassRegistration> classes, const TypeLibRegistration& typeLib);

}  // namespace ole
