#pragma once
// The ambient properties a site offers its control through IDispatch. Each one can be changed or removed
// (the control then sees DISP_E_MEMBERNOTFOUND, as from a container that does not know it), and the control
// can be told of a change through its IOleControl.
#include <windows.h>
#include <olectl.h>

#include <functional>
#include <map>
#include <optional>
#include <string_view>

#include "com_object.h"
#include "variant.h"

namespace cardel::host {

class Ambients {
 public:
  // Run mode, a button-face background, Tahoma 8 pt (the one sans-serif face Wine resolves as Windows does),
  // locale 0x0409, no message reflection, mnemonics supported.
  explicit Ambients(std::wstring_view display_name = L"ucCardel1");

  void Set(DISPID id, Variant value);
  void Remove(DISPID id);
  bool Has(DISPID id) const;
  std::optional<Variant> Get(DISPID id) const;

  void SetBackColor(OLE_COLOR color);
  void SetForeColor(OLE_COLOR color);
  void SetDisplayName(std::wstring_view name);
  void SetUserMode(bool run_mode);
  void SetLocaleId(LCID locale);
  void SetMessageReflect(bool reflect);
  void SetSupportsMnemonics(bool supported);
  // A new font object each time, so a control that kept the old one can be told apart.
  void SetFont(std::wstring_view face, double points, bool bold = false, bool italic = false);
  ComPtr<IFontDisp> Font() const;

  // Calls the control's IOleControl::OnAmbientPropertyChange; DISPID_UNKNOWN means several changed.
  HRESULT Changed(DISPID id) const;
  // Installed by the site that owns these ambients while it hosts a control.
  void SetNotifier(std::function<HRESULT(DISPID)> notifier) { notifier_ = std::move(notifier); }

  // The IDispatch side of the site.
  HRESULT Invoke(DISPID id, REFIID riid, WORD flags, const DISPPARAMS* params, VARIANT* result) const;
  static HRESULT IdOfName(const wchar_t* name, DISPID* id);

 private:
  std::map<DISPID, Variant> values_;
  std::function<HRESULT(DISPID)> notifier_;
};

}  // namespace cardel::host
