#pragma once
// A read-only IStream over bytes someone else owns, so that decoding a picture neither copies it nor
// takes the memory over. The bytes must outlive the stream and every image decoded from it: GDI+ may
// read from the stream until the image is disposed.
#include <windows.h>
#include <objidl.h>
#include <wrl/client.h>

#include <cstdint>
#include <span>

namespace cardel {

Microsoft::WRL::ComPtr<IStream> MakeSpanStream(std::span<const uint8_t> bytes) noexcept;

}  // namespace cardel
