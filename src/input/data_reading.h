#pragma once
// Reading what a dragged IDataObject offers: the raw bytes of a format kept in global memory, text,
// and the names of dropped files. A source that fails or offers nothing yields nothing.
#include <windows.h>
#include <objidl.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cardel::input {

bool OffersFormat(IDataObject* data, CLIPFORMAT format) noexcept;
std::optional<std::vector<uint8_t>> ReadFormatBytes(IDataObject* data, CLIPFORMAT format);
// Unicode text where the source offers it, else its ANSI text; up to the first zero.
std::optional<std::wstring> ReadText(IDataObject* data);
std::vector<std::wstring> ReadFileNames(IDataObject* data);

}  // namespace cardel::input
