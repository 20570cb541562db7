#include "ole/dispatch.h"

#include <oleauto.h>

#include "ole/module.h"

using Microsoft::WRL::ComPtr;

namespace ole {

HRESULT LoadModuleTypeInfo(REFGUID guid, ITypeInfo** info) noexcept {
  if (!info) return E_POINTER;
  *info = nullptr;
  ComPtr<ITypeLib> lib;
  HRESULT hr = LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, &lib);
  if (FAILED(hr)) return hr;
  return lib->GetTypeInfoOfGuid(guid, info);
}

HRESULT DispatchGetIDsOfNames(ITypeInfo* info, REFIID riid, LPOLESTR* names, UINT count, DISPID* ids) noexcept {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!names || !ids) return E_POINTER;
  return info->GetIDsOfNames(names, count, ids);
}

namespace {

bool IsObjectArgument(const DISPPARAMS* params) {
  if (params->cArgs == 0) return false;
  VARTYPE vt = V_VT(&params->rgvarg[0]) & ~VT_BYREF;
  return vt == VT_DISPATCH || vt == VT_UNKNOWN;
}

void FillExcepInfo(HRESULT hr, EXCEPINFO* excepInfo) {
  if (!excepInfo) return;
  *excepInfo = EXCEPINFO{};
  excepInfo->scode = hr;
  ComPtr<IErrorInfo> error;
  if (GetErrorInfo(0, &error) == S_OK && error) {
    error->GetSource(&excepInfo->bstrSource);
    error->GetDescription(&excepInfo->bstrDescription);
    error->GetHelpFile(&excepInfo->bstrHelpFile);
    error->GetHelpContext(&excepInfo->dwHelpContext);
  }
}

}  // namespace

HRESULT DispatchInvoke(ITypeInfo* info, void* instance, DISPID id, REFIID riid, WORD flags, DISPPARAMS* params,
                       VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) noexcept {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!params) return E_POINTER;
  if (params->cArgs && !params->rgvarg) return E_POINTER;
  if (params->cNamedArgs > params->cArgs || (params->cNamedArgs && !params->rgdispidNamedArgs)) return E_INVALIDARG;

  SetErrorInfo(0, nullptr);
  HRESULT hr = info->Invoke(instance, id, flags, params, result, excepInfo, argErr);
  // Clients assign object properties with either put or putref; both reach the by-reference setter.
  if (hr == DISP_E_MEMBERNOTFOUND && (flags & DISPATCH_PROPERTYPUT) && IsObjectArgument(params))
    hr = info->Invoke(instance, id, DISPATCH_PROPERTYPUTREF, params, result, excepInfo, argErr);

  if (SUCCEEDED(hr) || hr == DISP_E_EXCEPTION) return hr;
  if (HRESULT_FACILITY(hr) == FACILITY_DISPATCH) return hr;
  // A member that failed: report it as an exception with the member's own error description.
  FillExcepInfo(hr, excepInfo);
  return DISP_E_EXCEPTION;
}

}  // namespace ole
