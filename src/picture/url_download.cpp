#include "picture/url_download.h"

#include <cstring>
#include <exception>
#include <new>
#include <utility>

using Microsoft::WRL::ComPtr;

namespace cardel {
namespace {

// Read in large pieces: a picture of a few megabytes then costs a few dozen reads, not thousands.
constexpr size_t kReadPiece = 64 * 1024;
constexpr DWORD kFirstFailingHttpStatus = 400;

}  // namespace

DWORD DownloadBindFlags(bool freshCopy) noexcept {
  return BINDF_ASYNCHRONOUS | BINDF_ASYNCSTORAGE | BINDF_PULLDATA | (freshCopy ? DWORD{BINDF_GETNEWESTVERSION} : 0u);
}

ComPtr<UrlDownload> UrlDownload::Make(DownloadCallbacks callbacks) noexcept {
  return ole::MakeComObject<UrlDownload>(std::move(callbacks));
}

void* UrlDownload::Find(REFIID riid) noexcept {
  if (riid == IID_IBindStatusCallback) return static_cast<IBindStatusCallback*>(this);
  if (riid == IID_IHttpNegotiate) return static_cast<IHttpNegotiate*>(this);
  return nullptr;
}

HRESULT UrlDownload::Start(const wchar_t* url, bool freshCopy) noexcept {
  const ComPtr<UrlDownload> self(this);
  bindFlags_ = DownloadBindFlags(freshCopy);
  ComPtr<IMoniker> moniker;
  HRESULT hr = CreateURLMonikerEx(nullptr, url, &moniker, URL_MK_UNIFORM);
  ComPtr<IBindCtx> context;
  if (SUCCEEDED(hr)) hr = CreateAsyncBindCtx(0, this, nullptr, &context);
  if (SUCCEEDED(hr)) {
    ComPtr<IStream> stream;
    starting_ = true;
    hr = moniker->BindToStorage(context.Get(), nullptr, IID_PPV_ARGS(&stream));
    starting_ = false;
  }
  if (FAILED(hr)) {
    Detach();
    return hr;
  }
  // Reported only now, so the owner never hears of the end while it is still starting.
  if (stopped_) Finish();
  return S_OK;
}

void UrlDownload::Detach() noexcept {
  callbacks_ = {};
  // Aborting may stop the binding at once, which lets go of binding_.
  if (const ComPtr<IBinding> binding = binding_) binding->Abort();
}

void UrlDownload::Finish() noexcept {
  const auto done = std::exchange(callbacks_, {}).done;
  if (done) done(*this, SUCCEEDED(result_) && httpStatus_ < kFirstFailingHttpStatus);
}

STDMETHODIMP UrlDownload::OnStartBinding(DWORD, IBinding* binding) noexcept {
  binding_ = binding;
  return S_OK;
}

STDMETHODIMP UrlDownload::GetPriority(LONG*) noexcept { return E_NOTIMPL; }

STDMETHODIMP UrlDownload::OnLowResource(DWORD) noexcept { return S_OK; }

STDMETHODIMP UrlDownload::OnProgress(ULONG progress, ULONG progressMax, ULONG status, LPCWSTR) noexcept {
  if (status != BINDSTATUS_BEGINDOWNLOADDATA && status != BINDSTATUS_DOWNLOADINGDATA &&
      status != BINDSTATUS_ENDDOWNLOADDATA)
    return S_OK;
  counts_ = {progress, progressMax};
  // A copy: the owner may detach from inside its own callback.
  if (const auto notify = callbacks_.progress) notify(*this);
  return S_OK;
}

STDMETHODIMP UrlDownload::OnStopBinding(HRESULT result, LPCWSTR) noexcept {
  const ComPtr<UrlDownload> self(this);
  binding_.Reset();
  if (SUCCEEDED(result_)) result_ = result;
  stopped_ = true;
  if (!starting_) Finish();
  return S_OK;
}

STDMETHODIMP UrlDownload::GetBindInfo(DWORD* flags, BINDINFO* info) noexcept {
  if (!flags || !info) return E_INVALIDARG;
  *flags = bindFlags_;
  const ULONG size = info->cbSize;
  ZeroMemory(info, size);
  info->cbSize = size;
  info->dwBindVerb = BINDVERB_GET;
  return S_OK;
}

STDMETHODIMP UrlDownload::OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM* medium) noexcept {
  if (medium && medium->tymed == TYMED_ISTREAM && medium->pstm) ReadAvailable(medium->pstm);
  return S_OK;
}

// Pulled data must be read until the stream has no more for now, or no further notification comes.
void UrlDownload::ReadAvailable(IStream* stream) noexcept {
  ReserveAnnounced();
  try {
    for (;;) {
      const size_t used = bytes_.size();
      bytes_.resize(used + kReadPiece);
      ULONG got = 0;
      const HRESULT hr = stream->Read(bytes_.data() + used, kReadPiece, &got);
      bytes_.resize(used + got);
      if (hr != S_OK || got == 0) return;
    }
  } catch (const std::bad_alloc&) {
    result_ = E_OUTOFMEMORY;
    if (const ComPtr<IBinding> binding = binding_) binding->Abort();
  }
}

// Room for the announced length and the last read's piece saves copying the bytes each time they
// outgrow their buffer. An announcement too big to reserve is not believed: the bytes then grow as
// they arrive, and only running out of memory for them ends the transfer.
void UrlDownload::ReserveAnnounced() noexcept {
  const uint64_t wanted = uint64_t{counts_.bytesMax} + kReadPiece;
  if (counts_.bytesMax == 0 || wanted <= bytes_.capacity() || wanted > bytes_.max_size()) return;
  try {
    bytes_.reserve(static_cast<size_t>(wanted));
  } catch (const std::exception&) {
    // Left to grow as the bytes arrive.
  }
}

STDMETHODIMP UrlDownload::OnObjectAvailable(REFIID, IUnknown*) noexcept { return S_OK; }

// The flag alone reaches only the local cache; the headers ask every cache on the way as well.
STDMETHODIMP UrlDownload::BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additional) noexcept {
  if (!additional) return S_OK;
  *additional = nullptr;
  if (!(bindFlags_ & BINDF_GETNEWESTVERSION)) return S_OK;
  static constexpr wchar_t kFresh[] = L"Cache-Control: no-cache\r\nPragma: no-cache\r\n";
  *additional = static_cast<LPWSTR>(CoTaskMemAlloc(sizeof(kFresh)));
  if (*additional) memcpy(*additional, kFresh, sizeof(kFresh));
  return S_OK;
}

STDMETHODIMP UrlDownload::OnResponse(DWORD status, LPCWSTR, LPCWSTR, LPWSTR* additional) noexcept {
  if (additional) *additional = nullptr;
  httpStatus_ = status;
  return S_OK;
}

}  // namespace cardel
