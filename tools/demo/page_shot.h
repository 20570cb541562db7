#pragma once
// The property page shown in the system's property frame, captured as a picture.
#include <string>

#include "library.h"

namespace cardel::demo {

bool SavePropertyPageShot(const host::Library& library, const std::wstring& path);

}  // namespace cardel::demo
