#pragma once
// One transfer of a URL's bytes over the platform's asynchronous URL monikers. Every notification
// arrives on the thread that started it while that thread pumps messages. The transfer knows its
// owner only through callbacks that Detach clears, so nothing reaches an owner that has gone.
#include <windows.h>
#include <urlmon.h>
#include <wrl/client.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "ole/com_object.h"

namespace cardel {

// What has arrived so far; the record the progress ring is drawn from.
struct DownloadCounts {
  uint32_t bytesRead = 0;
  uint32_t bytesMax = 0;  // 0 while the source has not announced its size
};

class UrlDownload;

struct DownloadCallbacks {
  std::function<void(UrlDownload&)> progress;
  // Once per transfer. Succeeded: every byte arrived, and an HTTP source answered below 400 (an
  // error page comes as data with a successful end, so only the status tells it apart).
  std::function<void(UrlDownload&, bool succeeded)> done;
};

// Option bits as the binding takes them: a fresh copy is asked of the source, not of the cache.
DWORD DownloadBindFlags(bool freshCopy) noexcept;

// The most a picture's transfer may bring. No 32-bit host decodes a larger file: its bytes need one
// block of address space and its decoded pixels another of at least half that size (the densest files
// GDI+ reads, 64 bits a pixel, decode to 32), 768 MiB of blocks in the 2 GiB that the host's own
// modules and heaps already divide. A source that sends more is lying or broken.
inline constexpr size_t kPictureTransferLimit = size_t{512} << 20;

// The room for the bytes of a transfer when used bytes have arrived and a read of piece more follows:
// what arrived and as much again (at least a megabyte), so that each byte is copied a bounded number of
// times on average, however long the transfer. An announced length is believed only within that room,
// where it saves the last copy; a lying announcement reserves nothing the bytes have not earned.
// Never more than limit and one piece.
size_t DownloadRoom(size_t used, size_t piece, uint64_t announced, size_t limit) noexcept;

class UrlDownload final : public ole::ComObject<IBindStatusCallback, IHttpNegotiate> {
 public:
  // A transfer that brings more than limit bytes is aborted and ends as a failure.
  static Microsoft::WRL::ComPtr<UrlDownload> Make(DownloadCallbacks callbacks,
                                                  size_t limit = kPictureTransferLimit) noexcept;

  // Starts the binding. On failure no callback follows. A source that completes inside the
  // binding call (a file) has its completion reported after that call, before Start returns.
  HRESULT Start(const wchar_t* url, bool freshCopy) noexcept;
  // No callback after this; a binding still running is aborted and the bytes received are let go,
  // though the system may hold the transfer a while longer.
  void Detach() noexcept;

  DownloadCounts Counts() const noexcept { return counts_; }
  // The body received, for the completion callback to take; empty after a failure.
  std::vector<uint8_t>& Bytes() noexcept { return bytes_; }

  // IBindStatusCallback
  STDMETHODIMP OnStartBinding(DWORD reserved, IBinding* binding) noexcept override;
  STDMETHODIMP GetPriority(LONG* priority) noexcept override;
  STDMETHODIMP OnLowResource(DWORD reserved) noexcept override;
  STDMETHODIMP OnProgress(ULONG progress, ULONG progressMax, ULONG status, LPCWSTR text) noexcept override;
  STDMETHODIMP OnStopBinding(HRESULT result, LPCWSTR error) noexcept override;
  STDMETHODIMP GetBindInfo(DWORD* flags, BINDINFO* info) noexcept override;
  STDMETHODIMP OnDataAvailable(DWORD flags, DWORD size, FORMATETC* format, STGMEDIUM* medium) noexcept override;
  STDMETHODIMP OnObjectAvailable(REFIID riid, IUnknown* object) noexcept override;
  // IHttpNegotiate
  STDMETHODIMP BeginningTransaction(LPCWSTR url, LPCWSTR headers, DWORD reserved, LPWSTR* additional) noexcept override;
  STDMETHODIMP OnResponse(DWORD status, LPCWSTR responseHeaders, LPCWSTR requestHeaders,
                          LPWSTR* additional) noexcept override;

 private:
  UrlDownload(DownloadCallbacks callbacks, size_t limit) noexcept : callbacks_(std::move(callbacks)), limit_(limit) {}
  void* Find(REFIID riid) noexcept override;
  void ReadAvailable(IStream* stream) noexcept;
  // Room for one more piece; throws std::bad_alloc.
  void MakeRoom();
  void Fail(HRESULT why) noexcept;
  void Finish() noexcept;

  DownloadCallbacks callbacks_;
  Microsoft::WRL::ComPtr<IBinding> binding_;
  DownloadCounts counts_;
  std::vector<uint8_t> bytes_;
  size_t limit_;
  DWORD bindFlags_ = 0;
  DWORD httpStatus_ = 0;
  HRESULT result_ = S_OK;
  bool starting_ = false;
  bool stopped_ = false;
  bool reading_ = false;
  bool detached_ = false;

  template <class T, class... Args>
  friend Microsoft::WRL::ComPtr<T> ole::MakeComObject(Args&&... args) noexcept;
};

}  // namespace cardel
