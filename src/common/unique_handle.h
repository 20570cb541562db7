#pragma once
// One owner per handle: a move-only wrapper that closes its handle with the function given once per type.
#include <utility>

namespace cardel {

template <typename Handle, auto Close, Handle Invalid = Handle{}>
class UniqueHandle {
 public:
  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Handle h) noexcept : handle_(h) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  Handle get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != Invalid; }
  Handle release() noexcept { return std::exchange(handle_, Invalid); }
  void reset(Handle h = Invalid) noexcept {
    Handle old = std::exchange(handle_, h);
    if (old != Invalid) Close(old);
  }
  // For out-parameters of creating calls; drops what was held first.
  Handle* put() noexcept {
    reset();
    return &handle_;
  }

 private:
  Handle handle_ = Invalid;
};

}  // namespace cardel
