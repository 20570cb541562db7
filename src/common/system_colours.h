#pragma once
// The system colours the library uses as defaults, as OLE_COLOR values: the high bit marks a system
// colour and the low byte is its GetSysColor index, so they follow the user's scheme.
#include <windows.h>
#include <olectl.h>

#include <cstdint>

namespace cardel {

constexpr OLE_COLOR SystemColour(int index) noexcept { return 0x80000000u | static_cast<OLE_COLOR>(index); }

constexpr OLE_COLOR kActiveBorderColour = SystemColour(COLOR_ACTIVEBORDER);
constexpr OLE_COLOR kHighlightColour = SystemColour(COLOR_HIGHLIGHT);
constexpr OLE_COLOR kHighlightTextColour = SystemColour(COLOR_HIGHLIGHTTEXT);
constexpr OLE_COLOR kButtonFaceColour = SystemColour(COLOR_BTNFACE);
constexpr OLE_COLOR kButtonTextColour = SystemColour(COLOR_BTNTEXT);
constexpr OLE_COLOR kButtonLightColour = SystemColour(COLOR_3DLIGHT);

// A fingerprint of the user's colour scheme, which changes whenever any system colour does.
inline uint64_t SystemColourScheme() noexcept {
  uint64_t hash = 14695981039346656037ull;
  for (int index = 0; index <= COLOR_MENUBAR; ++index) hash = (hash ^ GetSysColor(index)) * 1099511628211ull;
  return hash;
}

}  // namespace cardel
