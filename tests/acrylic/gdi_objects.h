#pragma once
// How many GDI objects this process holds, for leak checks.
#include <cstddef>

namespace cardel::testing {

// Windows answers GetGuiResources; Wine always answers 0 there, so its handle table in the process
// environment block is counted instead.
size_t LiveGdiObjects();

}  // namespace cardel::testing
