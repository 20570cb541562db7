#pragma once
// An in-memory property bag standing in for a saved form. Names compare case-insensitively, as in the
// form files of real containers; reads and writes are logged in order so tests can check the sequence.
#include <windows.h>
#include <ocidl.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "com_object.h"
#include "variant.h"

namespace cardel::host {

struct CaseInsensitiveLess {
  bool operator()(const std::wstring& a, const std::wstring& b) const noexcept;
};

class PropertyBag final : public ComObject<IPropertyBag> {
 public:
  static ComPtr<PropertyBag> Make();

  // Read: an absent name gives E_INVALIDARG; the value is converted to the VARTYPE the caller asks for
  // (VT_EMPTY takes it as stored).
  HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) noexcept override;
  // Write: stores a copy, through one level of VT_BYREF.
  HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) noexcept override;

  void Set(std::wstring_view name, Variant value);
  std::optional<Variant> Get(std::wstring_view name) const;
  bool Has(std::wstring_view name) const;
  void Erase(std::wstring_view name);
  void Clear();
  size_t Size() const noexcept { return values_.size(); }

  // Makes every later Read or Write of the name fail with the given error, until cleared with S_OK.
  void FailRead(std::wstring_view name, HRESULT error);
  void FailWrite(std::wstring_view name, HRESULT error);

  // The names asked for by Read and given to Write, in call order, whatever the outcome.
  const std::vector<std::wstring>& Reads() const noexcept { return reads_; }
  const std::vector<std::wstring>& Writes() const noexcept { return writes_; }
  void ClearLogs();

 private:
  PropertyBag() = default;
  void* Find(REFIID riid) noexcept override;
  static HRESULT InjectedError(const std::map<std::wstring, HRESULT, CaseInsensitiveLess>& errors,
                               const std::wstring& name);

  std::map<std::wstring, Variant, CaseInsensitiveLess> values_;
  std::map<std::wstring, HRESULT, CaseInsensitiveLess> read_errors_;
  std::map<std::wstring, HRESULT, CaseInsensitiveLess> write_errors_;
  std::vector<std::wstring> reads_;
  std::vector<std::wstring> writes_;

  template <class T, class... Args>
  friend ComPtr<T> MakeCom(Args&&... args);
};

}  // namespace cardel::host
