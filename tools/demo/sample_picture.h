#pragma once
// A small landscape drawn in code, so the gallery needs no picture files.
#include <cstdint>
#include <vector>

namespace cardel::demo {

std::vector<uint8_t> SampleLandscapePng();

}  // namespace cardel::demo
