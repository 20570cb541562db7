#pragma once
// How many GDI objects the process holds, for tests that prove a control leaks none.
#include <cstddef>

namespace cardel::testhost {

size_t LiveGdiObjects();

}  // namespace cardel::testhost
