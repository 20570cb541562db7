#pragma once
// Late-bound access to a control by its published names, the way scripts and form designers reach it,
// and the font attributes that a font property copies.
#include <oaidl.h>
#include <olectl.h>
#include <windows.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "com_object.h"
#include "variant.h"

namespace cardel::controltest {

using host::ComPtr;
using host::Variant;

// An integer-like variant of the automation type vt (VT_BOOL, VT_I2, VT_I4 or VT_UI4 for OLE colours).
Variant Typed(VARTYPE vt, int32_t value);
// The 32 bits an integer-like variant holds; OLE colours above 0x7FFFFFFF come back negative.
int32_t Bits(const Variant& value);

class ByName {
 public:
  explicit ByName(IUnknown* control);

  DISPID Id(std::wstring_view name) const;
  // Throw HostError when the getter fails.
  Variant Get(std::wstring_view name) const;
  int32_t Int(std::wstring_view name) const { return Bits(Get(name)); }
  std::wstring Text(std::wstring_view name) const { return Get(name).ToString(); }

  // A failing call's automation error is returned as itself, not as DISP_E_EXCEPTION.
  HRESULT Put(std::wstring_view name, const Variant& value) const;
  HRESULT PutRef(std::wstring_view name, const Variant& value) const;
  // The value in the automation type the property's getter reports, as a typed client passes it.
  HRESULT PutInt(std::wstring_view name, int32_t value) const { return Put(name, Typed(Get(name).vt(), value)); }
  HRESULT Call(std::wstring_view name, const std::vector<Variant>& args, Variant& result) const;

  IDispatch& Dispatch() const { return *dispatch_.Get(); }

 private:
  HRESULT Invoke(std::wstring_view name, WORD flags, const std::vector<Variant>& args, Variant* result) const;
  ComPtr<IDispatch> dispatch_;
};

struct FontAttributes {
  std::wstring name;
  LONGLONG size = 0;  // points × 10000
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikethrough = false;
  short weight = 0;
  short charset = 0;
  friend bool operator==(const FontAttributes&, const FontAttributes&) = default;
};
void PrintTo(const FontAttributes& font, std::ostream* out);

FontAttributes AttributesOf(IUnknown* font);
ComPtr<IFontDisp> MakeFont(const FontAttributes& attributes);
// A font property's value, by name.
inline FontAttributes FontOf(const ByName& control, std::wstring_view name) {
  return AttributesOf(control.Get(name)->pdispVal);
}

// Same COM identity.
bool SameObject(IUnknown* a, IUnknown* b);

}  // namespace cardel::controltest
