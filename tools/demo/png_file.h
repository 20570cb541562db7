#pragma once
// PNG files and bytes with the platform's own encoder.
#include <cstdint>
#include <string>
#include <vector>

#include "common/gdiplus_handles.h"
#include "container.h"

namespace cardel::demo {

bool SavePng(const host::Image& image, const std::wstring& path);

// The bitmap encoded as a PNG file's bytes; empty when encoding fails. Needs GDI+ started.
std::vector<uint8_t> EncodePng(Gdiplus::GpBitmap* bitmap);

}  // namespace cardel::demo
