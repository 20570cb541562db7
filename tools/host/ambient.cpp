#include "ambient.h"

#include <cmath>
#include <string>

#include "host_error.h"

namespace cardel::host {

namespace {

struct AmbientName {
  const wchar_t* name;
  DISPID id;
};

constexpr AmbientName kNames[] = {
    {L"BackColor", DISPID_AMBIENT_BACKCOLOR},
    {L"DisplayName", DISPID_AMBIENT_DISPLAYNAME},
    {L"Font", DISPID_AMBIENT_FONT},
    {L"ForeColor", DISPID_AMBIENT_FORECOLOR},
    {L"LocaleID", DISPID_AMBIENT_LOCALEID},
    {L"MessageReflect", DISPID_AMBIENT_MESSAGEREFLECT},
    {L"ScaleUnits", DISPID_AMBIENT_SCALEUNITS},
    {L"UserMode", DISPID_AMBIENT_USERMODE},
    {L"UIDead", DISPID_AMBIENT_UIDEAD},
    {L"ShowGrabHandles", DISPID_AMBIENT_SHOWGRABHANDLES},
    {L"ShowHatching", DISPID_AMBIENT_SHOWHATCHING},
    {L"DisplayAsDefault", DISPID_AMBIENT_DISPLAYASDEFAULT},
    {L"SupportsMnemonics", DISPID_AMBIENT_SUPPORTSMNEMONICS},
    {L"AutoClip", DISPID_AMBIENT_AUTOCLIP},
};

// Colours travel as VT_I4, the type containers hand out and controls expect.
Variant Color(OLE_COLOR color) { return Variant::Long(static_cast<long>(color)); }

}  // namespace

Ambients::Ambients(std::wstring_view display_name) {
  SetBackColor(0x80000000 | COLOR_BTNFACE);
  SetForeColor(0x80000000 | COLOR_BTNTEXT);
  SetDisplayName(display_name);
  SetFont(L"Tahoma", 8);
  SetUserMode(true);
  SetLocaleId(0x0409);
  SetMessageReflect(false);
  SetSupportsMnemonics(true);
  Set(DISPID_AMBIENT_SCALEUNITS, Variant::String(L"Pixel"));
  Set(DISPID_AMBIENT_UIDEAD, Variant::Bool(false));
  Set(DISPID_AMBIENT_SHOWGRABHANDLES, Variant::Bool(false));
  Set(DISPID_AMBIENT_SHOWHATCHING, Variant::Bool(false));
  Set(DISPID_AMBIENT_DISPLAYASDEFAULT, Variant::Bool(false));
  Set(DISPID_AMBIENT_AUTOCLIP, Variant::Bool(true));
}

void Ambients::Set(DISPID id, Variant value) { values_.insert_or_assign(id, std::move(value)); }

void Ambients::Remove(DISPID id) { values_.erase(id); }

bool Ambients::Has(DISPID id) const { return values_.contains(id); }

std::optional<Variant> Ambients::Get(DISPID id) const {
  const auto found = values_.find(id);
  if (found == values_.end()) return std::nullopt;
  return found->second;
}

void Ambients::SetBackColor(OLE_COLOR color) { Set(DISPID_AMBIENT_BACKCOLOR, Color(color)); }

void Ambients::SetForeColor(OLE_COLOR color) { Set(DISPID_AMBIENT_FORECOLOR, Color(color)); }

void Ambients::SetDisplayName(std::wstring_view name) { Set(DISPID_AMBIENT_DISPLAYNAME, Variant::String(name)); }

void Ambients::SetUserMode(bool run_mode) { Set(DISPID_AMBIENT_USERMODE, Variant::Bool(run_mode)); }

void Ambients::SetLocaleId(LCID locale) { Set(DISPID_AMBIENT_LOCALEID, Variant::Long(static_cast<long>(locale))); }

void Ambients::SetMessageReflect(bool reflect) { Set(DISPID_AMBIENT_MESSAGEREFLECT, Variant::Bool(reflect)); }

void Ambients::SetSupportsMnemonics(bool supported) { Set(DISPID_AMBIENT_SUPPORTSMNEMONICS, Variant::Bool(supported)); }

void Ambients::SetFont(std::wstring_view face, double points, bool bold, bool italic) {
  std::wstring name(face);
  FONTDESC desc{};
  desc.cbSizeofstruct = sizeof desc;
  desc.lpstrName = name.data();
  desc.cySize.int64 = std::llround(points * 10000);
  desc.sWeight = bold ? FW_BOLD : FW_NORMAL;
  desc.sCharset = DEFAULT_CHARSET;
  desc.fItalic = italic;
  ComPtr<IFontDisp> font;
  ThrowIfFailed(OleCreateFontIndirect(&desc, IID_IFontDisp, reinterpret_cast<void**>(font.GetAddressOf())),
                "OleCreateFontIndirect");
  Set(DISPID_AMBIENT_FONT, Variant::Object(static_cast<IDispatch*>(font.Get())));
}

ComPtr<IFontDisp> Ambients::Font() const {
  ComPtr<IFontDisp> font;
  const auto found = values_.find(DISPID_AMBIENT_FONT);
  if (found != values_.end() && found->second.vt() == VT_DISPATCH && found->second->pdispVal)
    found->second->pdispVal->QueryInterface(IID_IFontDisp, reinterpret_cast<void**>(font.GetAddressOf()));
  return font;
}

HRESULT Ambients::Changed(DISPID id) const { return notifier_ ? notifier_(id) : E_UNEXPECTED; }

HRESULT Ambients::Invoke(DISPID id, REFIID riid, WORD flags, const DISPPARAMS* params, VARIANT* result) const {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
  if (params && (params->cArgs != 0 || params->cNamedArgs != 0)) return DISP_E_BADPARAMCOUNT;
  const auto found = values_.find(id);
  if (found == values_.end()) return DISP_E_MEMBERNOTFOUND;
  return result ? VariantCopy(result, found->second.in()) : S_OK;
}

HRESULT Ambients::IdOfName(const wchar_t* name, DISPID* id) {
  if (!name || !id) return E_POINTER;
  for (const AmbientName& entry : kNames) {
    if (CompareStringOrdinal(name, -1, entry.name, -1, TRUE) == CSTR_EQUAL) {
      *id = entry.id;
      return S_OK;
    }
  }
  *id = DISPID_UNKNOWN;
  return DISP_E_UNKNOWNNAME;
}

}  // namespace cardel::host
