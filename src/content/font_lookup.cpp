#include "content/font_lookup.h"

#include "common/automation_handles.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace cardel {

std::wstring FontName(IFont* font) {
  UniqueBstr name;
  if (!font || FAILED(font->get_Name(name.put())) || !name) return {};
  return std::wstring(name.get(), SysStringLen(name.get()));
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
