#include "control_access.h"

#include "host_error.h"
#include "ole_support.h"

namespace cardel::controltest {

using host::HostError;
using host::ThrowIfFailed;

Variant Typed(VARTYPE vt, int32_t value) {
  Variant v;
  switch (vt) {
    case VT_BOOL:
      v.get()->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case VT_I2:
      v.get()->iVal = static_cast<SHORT>(value);
      break;
    case VT_I4:
      v.get()->lVal = value;
      break;
    case VT_UI4:
      v.get()->ulVal = static_cast<ULONG>(value);
      break;
    default:
      throw HostError("Typed: not an integer type", DISP_E_BADVARTYPE);
  }
  v.get()->vt = vt;
  return v;
}

int32_t Bits(const Variant& value) {
  switch (value.vt()) {
    case VT_BOOL:
      return value->boolVal;
    case VT_I2:
      return value->iVal;
    case VT_UI4:
      return static_cast<int32_t>(value->ulVal);
    default:
      return static_cast<int32_t>(value.ToLong());
  }
}

ByName::ByName(IUnknown* control) {
  if (!control) throw HostError("ByName: no control", E_POINTER);
  ThrowIfFailed(control->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch_.GetAddressOf())),
                "QueryInterface IDispatch");
}

DISPID ByName::Id(std::wstring_view name) const {
  std::wstring text(name);
  LPOLESTR names[] = {text.data()};
  DISPID id = DISPID_UNKNOWN;
  ThrowIfFailed(dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id),
                oletest::Narrow(L"GetIDsOfNames " + text).c_str());
  return id;
}

HRESULT ByName::Invoke(std::wstring_view name, WORD flags, const std::vector<Variant>& args, Variant* result) const {
  oletest::ExcepInfo excep;
  const HRESULT hr = oletest::Invoke(*dispatch_.Get(), Id(name), flags, args, result, &excep);
  return hr == DISP_E_EXCEPTION && excep.scode ? excep.scode : hr;
}

Variant ByName::Get(std::wstring_view name) const {
  Variant value;
  ThrowIfFailed(Invoke(name, DISPATCH_PROPERTYGET, {}, &value), oletest::Narrow(L"get " + std::wstring(name)).c_str());
  return value;
}

HRESULT ByName::Put(std::wstring_view name, const Variant& value) const {
  return Invoke(name, DISPATCH_PROPERTYPUT, {value}, nullptr);
}

HRESULT ByName::PutRef(std::wstring_view name, const Variant& value) const {
  return Invoke(name, DISPATCH_PROPERTYPUTREF, {value}, nullptr);
}

HRESULT ByName::Call(std::wstring_view name, const std::vector<Variant>& args, Variant& result) const {
  return Invoke(name, DISPATCH_METHOD, args, &result);
}

FontAttributes AttributesOf(IUnknown* object) {
  ComPtr<IFont> font;
  if (!object) throw HostError("AttributesOf: no font", E_POINTER);
  ThrowIfFailed(object->QueryInterface(IID_IFont, reinterpret_cast<void**>(font.GetAddressOf())), "QI IFont");
  BSTR name = nullptr;
  CY size{};
  BOOL bold = FALSE, italic = FALSE, underline = FALSE, strike = FALSE;
  FontAttributes a;
  if (FAILED(font->get_Name(&name)) || FAILED(font->get_Size(&size)) || FAILED(font->get_Bold(&bold)) ||
      FAILED(font->get_Italic(&italic)) || FAILED(font->get_Underline(&underline)) ||
      FAILED(font->get_Strikethrough(&strike)) || FAILED(font->get_Weight(&a.weight)) ||
      FAILED(font->get_Charset(&a.charset)))
    throw HostError("reading a font's attributes", E_FAIL);
  oletest::UniqueBstr owned(name);
  a.name.assign(name, SysStringLen(name));
  a.size = size.int64;
  a.bold = bold;
  a.italic = italic;
  a.underline = underline;
  a.strikethrough = strike;
  return a;
}

void PrintTo(const FontAttributes& font, std::ostream* out) {
  *out << '"' << oletest::Narrow(font.name) << "\" " << font.size / 10000.0 << "pt weight " << font.weight
       << (font.bold ? " bold" : "") << (font.italic ? " italic" : "") << (font.underline ? " underline" : "")
       << (font.strikethrough ? " strikethrough" : "") << " charset " << font.charset;
}

ComPtr<IFontDisp> MakeFont(const FontAttributes& a) {
  std::wstring name = a.name;
  FONTDESC desc{sizeof(FONTDESC), name.data(), {}, a.weight, a.charset, a.italic, a.underline, a.strikethrough};
  desc.cySize.int64 = a.size;
  ComPtr<IFontDisp> font;
  ThrowIfFailed(OleCreateFontIndirect(&desc, IID_IFontDisp, reinterpret_cast<void**>(font.GetAddressOf())),
                "OleCreateFontIndirect");
  return font;
}

bool SameObject(IUnknown* a, IUnknown* b) {
  if (!a || !b) return a == b;
  ComPtr<IUnknown> x, y;
  a->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(x.GetAddressOf()));
  b->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(y.GetAddressOf()));
  return x && x.Get() == y.Get();
}

}  // namespace cardel::controltest
