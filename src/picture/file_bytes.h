#pragma once
// The whole of a picture file, read once through a read-only handle, with the run-time error a file
// statement of a form runtime would raise when that is not possible.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "ole/errors.h"

namespace cardel {

struct FileBytes {
  std::vector<uint8_t> bytes;
  std::optional<ole::RuntimeError> error;
};

// FileNotFound for a missing file, PathNotFound for a missing folder, PathFileAccessError for a folder,
// a locked or unreadable file or a name no file can have, SubscriptOutOfRange for an empty file and
// OutOfMemory for one too large to hold. Never creates or changes a file.
FileBytes ReadFileBytes(std::wstring_view path) noexcept;

}  // namespace cardel
