#pragma once
// Saves pixels as a PNG file with the platform's own encoder.
#include <string>

#include "container.h"

namespace cardel::demo {

bool SavePng(const testhost::Image& image, const std::wstring& path);

}  // namespace cardel::demo
