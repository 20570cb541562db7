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

// Windows refuses more arguments than a member declares; Wine's ITypeInfo::Invoke drops the surplus and
// calls the member. Counting here gives callers the same answer on both.
bool TooManyArguments(ITypeInfo* info, DISPID id, WORD flags, const DISPPARAMS* params) {
  // The members are looked up on the vtable side of a dual interface: on its dispatch side Wine numbers
  // them differently in GetFuncIndexOfMemId and GetFuncDesc.
  ComPtr<ITypeInfo> described(info);
  HREFTYPE vtableSide = 0;
  ComPtr<ITypeInfo> vtableInfo;
  if (SUCCEEDED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtableSide)) &&
      SUCCEEDED(info->GetRefTypeInfo(vtableSide, &vtableInfo)))
    described = vtableInfo;
  ComPtr<ITypeInfo2> info2;
  if (FAILED(described.As(&info2))) return false;
  bool found = false;
  for (INVOKEKIND kind : {INVOKE_FUNC, INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF}) {
    UINT index = 0;
    FUNCDESC* desc = nullptr;
    if (!(flags & kind) || FAILED(info2->GetFuncIndexOfMemId(id, kind, &index)) ||
        FAILED(described->GetFuncDesc(index, &desc)))
      continue;
    UINT accepted = 0;
    for (SHORT i = 0; i < desc->cParams; ++i)
      if (!(desc->lprgelemdescParam[i].paramdesc.wParamFlags & PARAMFLAG_FRETVAL)) ++accepted;
    const bool vararg = desc->cParamsOpt == -1;
    described->ReleaseFuncDesc(desc);
    if (vararg || params->cArgs <= accepted) return false;
    found = true;
  }
  return found;
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

  if (TooManyArguments(info, id, flags, params)) return DISP_E_BADPARAMCOUNT;

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
