#include "content/font_lookup.h"

#include "common/automation_handles.h"
#include "common/published_font_collection.h"
#include "content/caller_memory.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace cardel {

std::wstring FontName(IFont* font) {
  UniqueBstr name;
  if (!font || FAILED(font->get_Name(name.put())) || !name) return {};
  return std::wstring(name.get(), SysStringLen(name.get()));
}

GpFontCollection* PublishedFontCollection() noexcept {
  const uintptr_t value = FindPublishedFontCollection();
  // The lowest 64 KiB of an address space are never mapped: a value there is a number, not an object.
  constexpr uintptr_t kLowestAddress = 64 * 1024;
  if (value < kLowestAddress || value % alignof(void*) != 0) return nullptr;
  auto* collection = reinterpret_cast<GpFontCollection*>(value);
  if (!IsReadableRange(collection, 4 * sizeof(void*))) return nullptr;
  INT families = 0;
  if (GdipGetFontCollectionFamilyCount(collection, &families) != Ok || families < 0) return nullptr;
  return collection;
}

gdip::UniqueFontFamily FindFontFamily(std::wstring_view name, GpFontCollection* collection, FontFallback fallback) {
  const std::wstring terminated(name.substr(0, name.find(L'\0')));
  gdip::UniqueFontFamily family;
  if (GdipCreateFontFamilyFromName(terminated.c_str(), nullptr, family.put()) == Ok && family) return family;
  if (collection && GdipCreateFontFamilyFromName(terminated.c_str(), collection, family.put()) == Ok && family)
    return family;
  if (fallback == FontFallback::GenericSansSerif && GdipGetGenericFontFamilySansSerif(family.put()) == Ok)
    return family;
  return {};
}

}  // namespace cardel
