#pragma once
// The caller's byte array as picture bytes: only an allocated one-dimensional array of single bytes
// that contains index 0 qualifies, and its bytes are those from index 0 to the end. The array stays
// locked while this view exists, so it cannot be freed or resized under the reader.
#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <span>

namespace cardel {

class ByteArrayView {
 public:
  explicit ByteArrayView(SAFEARRAY* array) noexcept;
  ByteArrayView(const ByteArrayView&) = delete;
  ByteArrayView& operator=(const ByteArrayView&) = delete;
  ~ByteArrayView();

  // False for an unallocated array, more than one dimension, elements wider than a byte, or no index 0.
  bool usable() const noexcept { return locked_ != nullptr; }
  std::span<const uint8_t> bytes() const noexcept { return bytes_; }

 private:
  SAFEARRAY* locked_ = nullptr;
  std::span<const uint8_t> bytes_;
};

}  // namespace cardel
