#include "picture/span_stream.h"

#include <algorithm>
#include <new>

#include "ole/com_object.h"

namespace cardel {
namespace {

class SpanStream final : public ole::ComObject<IStream> {
 public:
  SpanStream(std::span<const uint8_t> bytes, uint64_t position) noexcept : bytes_(bytes), position_(position) {}

  STDMETHODIMP Read(void* buffer, ULONG wanted, ULONG* read) noexcept override {
    if (!buffer && wanted) return STG_E_INVALIDPOINTER;
    const uint64_t available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
    const ULONG count = static_cast<ULONG>(std::min<uint64_t>(wanted, available));
    if (count) std::copy_n(bytes_.data() + position_, count, static_cast<uint8_t*>(buffer));
    position_ += count;
    if (read) *read = count;
    // Like the system's memory streams: a short read is still a success.
    return count == wanted ? S_OK : S_FALSE;
  }
  STDMETHODIMP Write(const void*, ULONG, ULONG* written) noexcept override {
    if (written) *written = 0;
    return STG_E_ACCESSDENIED;
  }

  STDMETHODIMP Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) noexcept override {
    int64_t base = 0;
    switch (origin) {
      case STREAM_SEEK_SET: base = 0; break;
      case STREAM_SEEK_CUR: base = static_cast<int64_t>(position_); break;
      case STREAM_SEEK_END: base = static_cast<int64_t>(bytes_.size()); break;
      default: return STG_E_INVALIDFUNCTION;
    }
    const int64_t target = base + move.QuadPart;
    if (target < 0) return STG_E_INVALIDFUNCTION;
    position_ = static_cast<uint64_t>(target);
    if (newPosition) newPosition->QuadPart = position_;
    return S_OK;
  }
  STDMETHODIMP SetSize(ULARGE_INTEGER) noexcept override { return STG_E_ACCESSDENIED; }
  STDMETHODIMP CopyTo(IStream* target, ULARGE_INTEGER count, ULARGE_INTEGER* read,
                      ULARGE_INTEGER* written) noexcept override {
    if (!target) return STG_E_INVALIDPOINTER;
    const uint64_t available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
    const uint64_t wanted = std::min<uint64_t>(count.QuadPart, available);
    uint64_t done = 0;
    HRESULT hr = S_OK;
    while (done < wanted && SUCCEEDED(hr)) {
      const ULONG chunk = static_cast<ULONG>(std::min<uint64_t>(wanted - done, 0x10000000));
      ULONG put = 0;
      hr = target->Write(bytes_.data() + position_ + done, chunk, &put);
      done += put;
      if (put < chunk && SUCCEEDED(hr)) hr = STG_E_MEDIUMFULL;
    }
    position_ += done;
    if (read) read->QuadPart = done;
    if (written) written->QuadPart = done;
    return hr;
  }
  STDMETHODIMP Commit(DWORD) noexcept override { return S_OK; }
  STDMETHODIMP Revert() noexcept override { return S_OK; }
  STDMETHODIMP LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) noexcept override { return STG_E_INVALIDFUNCTION; }
  STDMETHODIMP UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) noexcept override {
    return STG_E_INVALIDFUNCTION;
  }
  STDMETHODIMP Stat(STATSTG* stat, DWORD) noexcept override {
    if (!stat) return STG_E_INVALIDPOINTER;
    *stat = STATSTG{};
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = bytes_.size();
    stat->grfMode = STGM_READ;
    return S_OK;
  }
  STDMETHODIMP Clone(IStream** copy) noexcept override {
    if (!copy) return STG_E_INVALIDPOINTER;
    *copy = new (std::nothrow) SpanStream(bytes_, position_);
    return *copy ? S_OK : E_OUTOFMEMORY;
  }

 private:
  void* Find(REFIID riid) noexcept override {
    return riid == IID_ISequentialStream || riid == IID_IStream ? static_cast<IStream*>(this) : nullptr;
  }

  std::span<const uint8_t> bytes_;
  uint64_t position_;
};

}  // namespace

Microsoft::WRL::ComPtr<IStream> MakeSpanStream(std::span<const uint8_t> bytes) noexcept {
  return ole::MakeComObject<SpanStream>(bytes, 0);
}

}  // namespace cardel
