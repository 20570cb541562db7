#pragma once
// The file names of a CF_HDROP block, read from the bytes themselves so that a malformed block
// from another process can only yield fewer names, never a read outside the block.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace cardel::input {

std::vector<std::wstring> ParseDropFiles(std::span<const uint8_t> block);

}  // namespace cardel::input
