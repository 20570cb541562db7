#include "picture/file_bytes.h"

#include <windows.h>

#include <algorithm>
#include <new>
#include <string>

#include "common/unique_handle.h"

using ole::RuntimeError;

namespace cardel {
namespace {

void CloseFile(HANDLE file) { CloseHandle(file); }
using UniqueFile = UniqueHandle<HANDLE, CloseFile>;

// Others may go on reading, writing or renaming the file: it is read once, as it is now.
UniqueFile OpenForReading(const std::wstring& name) noexcept {
  HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  return UniqueFile(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

// ReadFile takes at most a DWORD at a time, and smaller pieces keep the system's buffers small.
constexpr DWORD kPiece = 1 << 24;

RuntimeError OpenError(DWORD code) noexcept {
  switch (code) {
    case ERROR_FILE_NOT_FOUND: return RuntimeError::FileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return RuntimeError::PathNotFound;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return RuntimeError::OutOfMemory;
    default: return RuntimeError::PathFileAccessError;
  }
}

FileBytes Failure(RuntimeError e) { return FileBytes{{}, e}; }

}  // namespace

FileBytes ReadFileBytes(std::wstring_view path) noexcept {
  try {
    if (path.empty() || path.find(L'\0') != std::wstring_view::npos) return Failure(RuntimeError::PathFileAccessError);
    UniqueFile file = OpenForReading(std::wstring(path));
    if (!file) return Failure(OpenError(GetLastError()));
    if (GetFileType(file.get()) != FILE_TYPE_DISK) return Failure(RuntimeError::PathFileAccessError);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return Failure(RuntimeError::PathFileAccessError);
    if (size.QuadPart == 0) return Failure(RuntimeError::SubscriptOutOfRange);
    if (static_cast<uint64_t>(size.QuadPart) > std::vector<uint8_t>().max_size())
      return Failure(RuntimeError::OutOfMemory);

    FileBytes result;
    result.bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < result.bytes.size()) {
      const DWORD wanted = static_cast<DWORD>(std::min<size_t>(result.bytes.size() - done, kPiece));
      DWORD got = 0;
      if (!ReadFile(file.get(), result.bytes.data() + done, wanted, &got, nullptr))
        return Failure(RuntimeError::PathFileAccessError);
      if (got == 0) break;
      done += got;
    }
    // A file that shrank while it was read gives what it still had.
    result.bytes.resize(done);
    if (done == 0) return Failure(RuntimeError::SubscriptOutOfRange);
    return result;
  } catch (const std::bad_alloc&) {
    return Failure(RuntimeError::OutOfMemory);
  }
}

}  // namespace cardel
