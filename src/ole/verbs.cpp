#include "ole/verbs.h"

#include <olectl.h>

#include <cwchar>

#include "ole/enumerator.h"

namespace ole {

namespace {

constexpr VerbInfo kVerbs[] = {
    {OLEIVERB_PROPERTIES, L"&Properties...", MF_STRING, OLEVERBATTRIB_ONCONTAINERMENU},
};

}  // namespace

// The caller frees each name with CoTaskMemFree; without memory for it the verb comes unnamed.
void CopyOut(const VerbInfo& item, OLEVERB* out) noexcept {
  const size_t bytes = (wcslen(item.name) + 1) * sizeof(wchar_t);
  out->lVerb = item.verb;
  out->lpszVerbName = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
  if (out->lpszVerbName) memcpy(out->lpszVerbName, item.name, bytes);
  out->fuFlags = item.menuFlags;
  out->grfAttribs = item.attributes;
}

std::span<const VerbInfo> ControlVerbs() noexcept { return kVerbs; }

std::wstring VerbRegistryValue(const VerbInfo& verb) {
  return std::wstring(verb.name) + L"," + std::to_wstring(verb.menuFlags) + L"," + std::to_wstring(verb.attributes);
}

HRESULT CreateVerbEnumerator(IUnknown* owner, IEnumOLEVERB** verbs) noexcept {
  if (!verbs) return E_POINTER;
  *verbs = nullptr;
  try {
    return ComEnumerator<IEnumOLEVERB, OLEVERB, VerbInfo>::Create(
        owner, std::vector<VerbInfo>(kVerbs, kVerbs + std::size(kVerbs)), verbs);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace ole
