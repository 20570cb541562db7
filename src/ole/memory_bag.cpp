#include "ole/memory_bag.h"

#include <oleauto.h>
#include <olectl.h>
#include <wrl/client.h>

#include <new>
#include <vector>

#include "common/automation_handles.h"
#include "ole/icon_structure.h"

using Microsoft::WRL::ComPtr;

namespace ole {
namespace {

constexpr DWORD kMagic = 0x42504356;  // "VCPB"
constexpr WORD kVersion = 1;
// Bounds that keep a damaged stream from asking for absurd allocations.
constexpr DWORD kMaxEntries = 4096;
constexpr DWORD kMaxNameLength = 256;
constexpr DWORD kMaxBlob = 256u * 1024 * 1024;

HRESULT WriteBytes(IStream* s, const void* data, ULONG size) {
  ULONG written = 0;
  HRESULT hr = s->Write(data, size, &written);
  if (FAILED(hr)) return hr;
  return written == size ? S_OK : STG_E_MEDIUMFULL;
}

HRESULT ReadBytes(IStream* s, void* data, ULONG size) {
  ULONG read = 0;
  HRESULT hr = s->Read(data, size, &read);
  if (FAILED(hr)) return hr;
  return read == size ? S_OK : STG_E_READFAULT;
}

template <class T>
HRESULT WriteValue(IStream* s, const T& v) {
  return WriteBytes(s, &v, sizeof(T));
}

template <class T>
HRESULT ReadValue(IStream* s, T* v) {
  return ReadBytes(s, v, sizeof(T));
}

// What is left to read, so that a declared length is checked before anything is allocated for it;
// a stream that cannot tell is trusted up to the largest blob.
ULONGLONG Remaining(IStream* s) {
  STATSTG stat{};
  ULARGE_INTEGER at{};
  if (FAILED(s->Stat(&stat, STATFLAG_NONAME)) || FAILED(s->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &at)) ||
      at.QuadPart > stat.cbSize.QuadPart)
    return kMaxBlob;
  return stat.cbSize.QuadPart - at.QuadPart;
}

ULONG ScalarSize(VARTYPE vt) {
  switch (vt) {
    case VT_I1: case VT_UI1: return 1;
    case VT_I2: case VT_UI2: case VT_BOOL: return 2;
    case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_R4: case VT_ERROR: return 4;
    case VT_I8: case VT_UI8: case VT_R8: case VT_CY: case VT_DATE: return 8;
    default: return 0;
  }
}

HRESULT WriteVariant(IStream* s, const VARIANT& v) {
  const VARTYPE vt = V_VT(&v);
  HRESULT hr = WriteValue(s, vt);
  if (FAILED(hr)) return hr;
  if (vt == VT_EMPTY || vt == VT_NULL) return S_OK;
  if (ULONG size = ScalarSize(vt)) return WriteBytes(s, &V_I1(&v), size);
  if (vt == VT_BSTR) {
    DWORD bytes = SysStringByteLen(V_BSTR(&v));
    hr = WriteValue(s, bytes);
    return SUCCEEDED(hr) && bytes ? WriteBytes(s, V_BSTR(&v), bytes) : hr;
  }
  if (vt == (VT_ARRAY | VT_UI1)) {
    SAFEARRAY* a = V_ARRAY(&v);
    DWORD bytes = a && a->cDims == 1 ? a->rgsabound[0].cElements : 0;
    hr = WriteValue(s, bytes);
    return SUCCEEDED(hr) && bytes ? WriteBytes(s, a->pvData, bytes) : hr;
  }
  if (vt == VT_UNKNOWN || vt == VT_DISPATCH) {
    ComPtr<IPersistStream> persist;
    if (V_UNKNOWN(&v)) {
      hr = V_UNKNOWN(&v)->QueryInterface(IID_PPV_ARGS(&persist));
      if (FAILED(hr)) return hr;
    }
    return OleSaveToStream(persist.Get(), s);
  }
  return DISP_E_BADVARTYPE;
}

// A saved picture is read ahead and checked before the system's picture object loads it: its icon loader
// trusts the bytes it is given. The stream is left where it was.
HRESULT CheckSavedPicture(IStream* s) {
  ULARGE_INTEGER start{};
  LARGE_INTEGER none{};
  HRESULT hr = s->Seek(none, STREAM_SEEK_CUR, &start);
  STATSTG stat{};
  if (SUCCEEDED(hr)) hr = s->Stat(&stat, STATFLAG_NONAME);
  if (FAILED(hr)) return hr;
  const ULONGLONG remaining = stat.cbSize.QuadPart > start.QuadPart ? stat.cbSize.QuadPart - start.QuadPart : 0;
  std::vector<uint8_t> saved;
  try {
    saved.resize(static_cast<size_t>(remaining < kMaxBlob ? remaining : kMaxBlob));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  ULONG read = 0;
  hr = s->Read(saved.data(), static_cast<ULONG>(saved.size()), &read);
  LARGE_INTEGER back;
  back.QuadPart = static_cast<LONGLONG>(start.QuadPart);
  if (SUCCEEDED(hr)) hr = s->Seek(back, STREAM_SEEK_SET, nullptr);
  if (FAILED(hr)) return hr;
  return HasBrokenSavedIcon(std::span<const uint8_t>(saved.data(), read)) ? CTL_E_INVALIDPICTURE : S_OK;
}

HRESULT ReadVariant(IStream* s, VARIANT* v) {
  VARTYPE vt;
  HRESULT hr = ReadValue(s, &vt);
  if (FAILED(hr)) return hr;
  if (vt == VT_EMPTY || vt == VT_NULL) {
    V_VT(v) = vt;
    return S_OK;
  }
  if (ULONG size = ScalarSize(vt)) {
    hr = ReadBytes(s, &V_I1(v), size);
    if (SUCCEEDED(hr)) V_VT(v) = vt;
    return hr;
  }
  if (vt == VT_BSTR || vt == (VT_ARRAY | VT_UI1)) {
    DWORD bytes;
    hr = ReadValue(s, &bytes);
    if (FAILED(hr)) return hr;
    if (bytes > kMaxBlob || bytes > Remaining(s)) return STG_E_DOCFILECORRUPT;
    if (vt == VT_BSTR) {
      cardel::UniqueBstr text(SysAllocStringByteLen(nullptr, bytes));
      if (!text) return E_OUTOFMEMORY;
      hr = ReadBytes(s, text.get(), bytes);
      if (FAILED(hr)) return hr;
      V_VT(v) = VT_BSTR;
      V_BSTR(v) = text.release();
      return S_OK;
    }
    cardel::UniqueSafeArray a(SafeArrayCreateVector(VT_UI1, 0, bytes));
    if (!a) return E_OUTOFMEMORY;
    hr = bytes ? ReadBytes(s, a.get()->pvData, bytes) : S_OK;
    if (FAILED(hr)) return hr;
    V_VT(v) = VT_ARRAY | VT_UI1;
    V_ARRAY(v) = a.release();
    return S_OK;
  }
  if (vt == VT_UNKNOWN || vt == VT_DISPATCH) {
    // An object saved as nothing is its null class alone; any other class must load, or the stream is
    // damaged and what follows it cannot be trusted.
    CLSID saved;
    hr = ReadClassStm(s, &saved);
    if (FAILED(hr)) return hr;
    // The control saves fonts and pictures only. Any other class a stream names would be created and
    // handed the stream's bytes, a choice a damaged or hostile stream must not get.
    if (saved != CLSID_NULL && saved != CLSID_StdFont && saved != CLSID_StdPicture) return STG_E_DOCFILECORRUPT;
    ComPtr<IUnknown> object;
    if (saved != CLSID_NULL) {
      LARGE_INTEGER back;
      back.QuadPart = -static_cast<LONGLONG>(sizeof(CLSID));
      if (saved == CLSID_StdPicture) hr = CheckSavedPicture(s);
      if (SUCCEEDED(hr)) hr = s->Seek(back, STREAM_SEEK_CUR, nullptr);
      if (SUCCEEDED(hr))
        hr = OleLoadFromStream(s, vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown,
                               reinterpret_cast<void**>(object.GetAddressOf()));
      if (FAILED(hr)) return hr;
    }
    V_VT(v) = vt;
    V_UNKNOWN(v) = object.Detach();
    return S_OK;
  }
  return STG_E_DOCFILECORRUPT;
}

}  // namespace

STDMETHODIMP MemoryBag::QueryInterface(REFIID riid, void** object) noexcept {
  if (!object) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IPropertyBag) {
    *object = static_cast<IPropertyBag*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP MemoryBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) noexcept {
  if (!name || !value) return E_POINTER;
  for (auto& e : entries_) {
    if (_wcsicmp(e.first.c_str(), name) != 0) continue;
    const VARTYPE wanted = V_VT(value);
    if (wanted == VT_EMPTY) return VariantCopy(value, e.second.get());
    return VariantChangeType(value, e.second.get(), 0, wanted);
  }
  return E_INVALIDARG;
}

STDMETHODIMP MemoryBag::Write(LPCOLESTR name, VARIANT* value) noexcept {
  if (!name || !value) return E_POINTER;
  try {
    for (auto& e : entries_) {
      if (_wcsicmp(e.first.c_str(), name) == 0) return VariantCopy(e.second.get(), value);
    }
    cardel::Variant copy;
    HRESULT hr = VariantCopy(copy.get(), value);
    if (FAILED(hr)) return hr;
    entries_.emplace_back(name, std::move(copy));
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT MemoryBag::SaveTo(IStream* stream) const noexcept {
  HRESULT hr = WriteValue(stream, kMagic);
  if (SUCCEEDED(hr)) hr = WriteValue(stream, kVersion);
  if (SUCCEEDED(hr)) hr = WriteValue(stream, static_cast<DWORD>(entries_.size()));
  for (const auto& e : entries_) {
    if (FAILED(hr)) break;
    hr = WriteValue(stream, static_cast<DWORD>(e.first.size()));
    if (SUCCEEDED(hr)) hr = WriteBytes(stream, e.first.data(), static_cast<ULONG>(e.first.size() * sizeof(wchar_t)));
    if (SUCCEEDED(hr)) hr = WriteVariant(stream, *e.second);
  }
  return hr;
}

HRESULT MemoryBag::LoadFrom(IStream* stream) noexcept {
  DWORD magic = 0, count = 0;
  WORD version = 0;
  HRESULT hr = ReadValue(stream, &magic);
  if (SUCCEEDED(hr)) hr = ReadValue(stream, &version);
  if (SUCCEEDED(hr)) hr = ReadValue(stream, &count);
  if (FAILED(hr)) return hr;
  if (magic != kMagic || version != kVersion || count > kMaxEntries) return STG_E_DOCFILECORRUPT;
  try {
    for (DWORD i = 0; i < count; ++i) {
      DWORD length;
      hr = ReadValue(stream, &length);
      if (FAILED(hr)) return hr;
      if (length > kMaxNameLength) return STG_E_DOCFILECORRUPT;
      std::wstring name(length, L'\0');
      hr = ReadBytes(stream, name.data(), length * sizeof(wchar_t));
      if (FAILED(hr)) return hr;
      cardel::Variant value;
      hr = ReadVariant(stream, value.get());
      if (FAILED(hr)) return hr;
      entries_.emplace_back(std::move(name), std::move(value));
    }
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

}  // namespace ole
