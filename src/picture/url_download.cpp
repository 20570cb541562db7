#include "picture/url_download.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

using Microsoft::WRL::ComPtr;

namespace cardel {
namespace {

// Read in large pieces: a picture of a few megabytes then costs a few dozen reads, not thousands.
constexpr size_t kReadPiece = 64 * 1024;
// The first room, and the least any growth adds: a small picture takes one block, a big one a few.
constexpr size_t kLeastGrowth = 1024 * 1024;
constexpr DWORD kFirstFailingHttpStatus = 400;

}  // namespace

DWORD DownloadBindFlags(bool freshCopy) noexcept {
  return BINDF_ASYNCHRONOUS | BINDF_ASYNCSTORAGE | BINDF_PULLDATA | (freshCopy ? DWORD{BINDF_GETNEWESTVERSION} : 0u);
}

size_t DownloadRoom(size_t used, size_t piece, uint64_t announced, size_t limit) noexcept {
  const uint64_t needed = uint64_t{used} + piece;
  uint64_t room = uint64_t{used} + std::max(used, kLeastGrowth);
  if (announced != 0 && announced + piece >= needed && announced + piece < room) room = announced + piece;
  room = std::min({std::max(room, needed), uint64_t{limit} + piece});
  return static_cast<size_t>(room);
}

ComPtr<UrlDownload> UrlDownload::Make(DownloadCallbacks callbacks, size_t limit) noexcept {
  return ole::MakeComObject<UrlDownload>(std::move(callbacks), limit);
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
  detached_ = true;
  // Aborting may stop the binding at once, which lets go of binding_.
  if (const ComPtr<IBinding> binding = binding_) binding->Abort();
  // The system may hold this object long after its owner has gone; the bytes go now. A read in
  // progress lets them go when it returns.
  if (!reading_) bytes_ = {};
}

void UrlDownload::Fail(HRESULT why) noexcept {
  if (SUCCEEDED(result_)) result_ = why;
  if (const ComPtr<IBinding> binding = binding_) binding->Abort();
}

void UrlDownload::Finish() noexcept {
  const bool succeeded = SUCCEEDED(result_) && httpStatus_ < kFirstFailingHttpStatus;
  if (!succeeded) bytes_ = {};
  const auto done = std::exchange(callbacks_, {}).done;
  if (done) done(*this, succeeded);
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
  // A picture announced bigger than any picture is not waited for.
  if (progressMax > limit_) Fail(E_OUTOFMEMORY);
  if (FAILED(result_)) return S_OK;
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
// Once the transfer has failed or its owner has gone, what still arrives is read and dropped.
void UrlDownload::ReadAvailable(IStream* stream) noexcept {
  if (detached_ || FAILED(result_)) {
    uint8_t discard[4096];
    for (ULONG got = 0; stream->Read(discard, sizeof discard, &got) == S_OK && got;) {
    }
    return;
  }
  reading_ = true;
  try {
    for (;;) {
      const size_t used = bytes_.size();
      MakeRoom();
      bytes_.resize(used + kReadPiece);
      ULONG got = 0;
      const HRESULT hr = stream->Read(bytes_.data() + used, kReadPiece, &got);
      bytes_.resize(used + got);
      if (bytes_.size() > limit_) {
        Fail(E_OUTOFMEMORY);
        break;
      }
      if (detached_ || hr != S_OK || got == 0) break;
    }
  } catch (const std::bad_alloc&) {
    Fail(E_OUTOFMEMORY);
  }
  reading_ = false;
  if (detached_ || FAILED(result_)) bytes_ = {};
}

void UrlDownload::MakeRoom() {
  const size_t used = bytes_.size();
  if (bytes_.capacity() - used >= kReadPiece) return;
  bytes_.reserve(DownloadRoom(used, kReadPiece, counts_.bytesMax, limit_));
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
