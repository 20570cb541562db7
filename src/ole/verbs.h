#pragma once
// The verbs a control offers its container beyond the standard activation verbs, listed once for
// IOleObject::EnumVerbs and for the registry, where designers read them without a live object.
#include <oleidl.h>

#include <span>
#include <string>

namespace ole {

struct VerbInfo {
  LONG verb;
  const wchar_t* name;  // as a menu shows it
  DWORD menuFlags;      // AppendMenu flags
  DWORD attributes;     // OLEVERBATTRIB_*
};

std::span<const VerbInfo> ControlVerbs() noexcept;

// The registry's form of a verb: "name,menu flags,attributes".
std::wstring VerbRegistryValue(const VerbInfo& verb);

HRESULT CreateVerbEnumerator(IUnknown* owner, IEnumOLEVERB** verbs) noexcept;

}  // namespace ole
