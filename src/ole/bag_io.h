#pragma once
// The two property-bag operations a form runtime offers its controls: read with a default for an
// absent key, and write that stores nothing when the value equals its default.
#include <ocidl.h>

namespace ole {

// S_OK with *value set (the stored value, or a copy of fallback when the key is absent; VT_EMPTY
// when there is no fallback and the key is absent, then S_FALSE). Other bag errors pass through.
HRESULT BagRead(IPropertyBag* bag, const wchar_t* key, const VARIANT* fallback, VARIANT* value) noexcept;

// fallback == nullptr: always stored.
HRESULT BagWrite(IPropertyBag* bag, const wchar_t* key, VARIANT& value, const VARIANT* fallback) noexcept;

// Equal in the sense a saved default is equal: same value after conversion to the value's kind;
// objects compare as the same object or, for fonts, as equal fonts.
bool SameAsDefault(const VARIANT& value, const VARIANT& fallback) noexcept;

}  // namespace ole
