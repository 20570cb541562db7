#pragma once
// Owners for the automation strings and arrays the library receives or builds.
#include <windows.h>
#include <oleauto.h>

#include "common/unique_handle.h"

namespace cardel {

namespace detail {
inline void FreeBstr(BSTR s) { SysFreeString(s); }
inline void DestroySafeArray(SAFEARRAY* a) { SafeArrayDestroy(a); }
}  // namespace detail

using UniqueBstr = UniqueHandle<BSTR, detail::FreeBstr>;
using UniqueSafeArray = UniqueHandle<SAFEARRAY*, detail::DestroySafeArray>;

}  // namespace cardel
