#pragma once
// One transfer of a URL's bytes over the platform's asynchronous URL monikers. Every notification
// arrives on the thread that started it while that thread pumps messages. The transfer knows its
// owner only through callbacks that Detach clears, so nothing reaches an owner that has gone.
#include <windows.h>
#include <urlmon.h>
#include <wrl/client.h>

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

class UrlDownload final : public ole::ComObject<IBindStatusCallback, IHttpNegotiate> {
 public:
  static Microsoft::WRL::ComPtr<UrlDownload> Make(DownloadCallbacks callbacks) noexcept;

  // Starts the binding. On failure no callback follows. A source that completes inside the
  // binding call (a file) has its completion reported after that call, before Start returns.
  HRESULT Start(const wchar_t* url, bool freshCopy) noexcept;
  // No callback after this; a binding still running is aborted.
  void Detach() noexcept;

  DownloadCounts Counts() const noexcept { return counts_; }
  // The body received, for the completion callback to take.
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
  explicit UrlDownload(DownloadCallbacks callbacks) noexcept : callbacks_(std::move(callbacks)) {}
  void* Find(REFIID riid) noexcept override;
  void ReadAvailable(IStream* stream) noexcept;
  void ReserveAnnounced() noexcept;
  void Finish() noexcept;

  DownloadCallbacks callbacks_;
  Microsoft::WRL::ComPtr<IBinding> binding_;
  DownloadCounts counts_;
  std::vector<uint8_t> bytes_;
  DWORD bindFlags_ = 0;
  DWORD httpStatus_ = 0;
  HRESULT result_ = S_OK;
  bool starting_ = false;
  bool stopped_ = false;

  template <class T, class... Args>
  friend Microsoft::WRL::ComPtr<T> ole::MakeComObject(Args&&... args) noexcept;
};

}  // namespace cardel
