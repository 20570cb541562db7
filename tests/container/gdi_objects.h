#pragma once
// How many GDI objects the process holds, for tests that prove a control leaks none.
#include <cstddef>

namespace cardel::host {

size_t LiveGdiObjects();

}  // namespace cardel::host
