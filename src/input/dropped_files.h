#pragma once
// The Files collection of a dropped data object: the dropped file names, indexed from 1.
#include <wrl/client.h>

#include <string>
#include <vector>

#include "VelmarCardel_h.h"

namespace cardel::input {

HRESULT NewDroppedFiles(std::vector<std::wstring> names, DataObjectFiles** files) noexcept;

}  // namespace cardel::input
