#pragma once
// Finding the GDI+ font family for a font the user picked: installed fonts first, then the font
// collection the host published through the shared thread slots, then, for the caption only, the
// platform's generic sans-serif family.
#include <windows.h>
#include <ocidl.h>

#include <string>
#include <string_view>

#include "common/gdiplus_handles.h"

namespace cardel {

// The face name an OLE font carries; empty for no font.
std::wstring FontName(IFont* font);

enum class FontFallback { None, GenericSansSerif };

// The font collection a host published on this thread (common/published_font_collection.h), or null when
// there is none or what the slot holds cannot be one: a small number, an address this process cannot
// read, or one not aligned as GDI+ aligns its objects.
Gdiplus::GpFontCollection* PublishedFontCollection() noexcept;

// collection may be null. Empty when the name is found nowhere and no fallback applies.
gdip::UniqueFontFamily FindFontFamily(std::wstring_view name, Gdiplus::GpFontCollection* collection,
                                      FontFallback fallback);

}  // namespace cardel
