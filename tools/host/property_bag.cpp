#include "property_bag.h"

#include <new>

namespace cardel::host {

bool CaseInsensitiveLess::operator()(const std::wstring& a, const std::wstring& b) const noexcept {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_LESS_THAN;
}

ComPtr<PropertyBag> PropertyBag::Make() { return MakeCom<PropertyBag>(); }

void* PropertyBag::Find(REFIID riid) noexcept {
  return riid == IID_IPropertyBag ? static_cast<IPropertyBag*>(this) : nullptr;
}

HRESULT PropertyBag::InjectedError(const std::map<std::wstring, HRESULT, CaseInsensitiveLess>& errors,
                                   const std::wstring& name) {
  const auto found = errors.find(name);
  return found == errors.end() ? S_OK : found->second;
}

HRESULT STDMETHODCALLTYPE PropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) noexcept try {
  if (!name || !value) return E_POINTER;
  const std::wstring key(name);
  reads_.push_back(key);
  if (const HRESULT injected = InjectedError(read_errors_, key); FAILED(injected)) return injected;
  const auto found = values_.find(key);
  if (found == values_.end()) return E_INVALIDARG;
  // The caller only sets vt on entry; what else the VARIANT holds is not ours to clear.
  const VARTYPE wanted = value->vt;
  Variant result;
  const HRESULT hr = wanted == VT_EMPTY ? VariantCopy(result.get(), found->second.in())
                                        : VariantChangeType(result.get(), found->second.in(), 0, wanted);
  if (FAILED(hr)) return hr;
  *value = result.Detach();
  return S_OK;
} catch (const std::bad_alloc&) {
  return E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE PropertyBag::Write(LPCOLESTR name, VARIANT* value) noexcept try {
  if (!name || !value) return E_POINTER;
  const std::wstring key(name);
  writes_.push_back(key);
  if (const HRESULT injected = InjectedError(write_errors_, key); FAILED(injected)) return injected;
  Variant copy;
  if (const HRESULT hr = VariantCopyInd(copy.get(), value); FAILED(hr)) return hr;
  values_.insert_or_assign(key, std::move(copy));
  return S_OK;
} catch (const std::bad_alloc&) {
  return E_OUTOFMEMORY;
}

void PropertyBag::Set(std::wstring_view name, Variant value) {
  values_.insert_or_assign(std::wstring(name), std::move(value));
}

std::optional<Variant> PropertyBag::Get(std::wstring_view name) const {
  const auto found = values_.find(std::wstring(name));
  if (found == values_.end()) return std::nullopt;
  return found->second;
}

bool PropertyBag::Has(std::wstring_view name) const { return values_.contains(std::wstring(name)); }

void PropertyBag::Erase(std::wstring_view name) { values_.erase(std::wstring(name)); }

void PropertyBag::Clear() { values_.clear(); }

void PropertyBag::FailRead(std::wstring_view name, HRESULT error) {
  if (SUCCEEDED(error))
    read_errors_.erase(std::wstring(name));
  else
    read_errors_.insert_or_assign(std::wstring(name), error);
}

void PropertyBag::FailWrite(std::wstring_view name, HRESULT error) {
  if (SUCCEEDED(error))
    write_errors_.erase(std::wstring(name));
  else
    write_errors_.insert_or_assign(std::wstring(name), error);
}

void PropertyBag::ClearLogs() {
  reads_.clear();
  writes_.clear();
}

}  // namespace cardel::host
