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

VARTYPE Resolve(ITypeInfo* owner, const TYPEDESC& type) noexcept {
  if (type.vt != VT_USERDEFINED) return type.vt;
  ComPtr<ITypeInfo> referenced;
  TYPEATTR* attr = nullptr;
  if (FAILED(owner->GetRefTypeInfo(type.hreftype, &referenced)) || FAILED(referenced->GetTypeAttr(&attr)))
    return VT_EMPTY;
  VARTYPE vt = VT_EMPTY;
  switch (attr->typekind) {
    case TKIND_ALIAS: vt = Resolve(referenced.Get(), attr->tdescAlias); break;
    case TKIND_ENUM: vt = VT_I4; break;
    case TKIND_DISPATCH: vt = VT_DISPATCH; break;
    case TKIND_INTERFACE: vt = VT_UNKNOWN; break;
    default: break;
  }
  referenced->ReleaseTypeAttr(attr);
  return vt;
}

// A member's description, looked up on the vtable side of a dual interface: on its dispatch side
// Wine numbers the members differently in GetFuncIndexOfMemId and GetFuncDesc.
class MemberDescription {
 public:
  MemberDescription(ITypeInfo* info, DISPID id, INVOKEKIND kind) {
    ComPtr<ITypeInfo> described(info);
    HREFTYPE vtableSide = 0;
    ComPtr<ITypeInfo> vtableInfo;
    if (SUCCEEDED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtableSide)) &&
        SUCCEEDED(info->GetRefTypeInfo(vtableSide, &vtableInfo)))
      described = vtableInfo;
    ComPtr<ITypeInfo2> info2;
    UINT index = 0;
    if (FAILED(described.As(&info2)) || FAILED(info2->GetFuncIndexOfMemId(id, kind, &index)) ||
        FAILED(described->GetFuncDesc(index, &desc_)))
      return;
    owner_ = described;
  }
  MemberDescription(const MemberDescription&) = delete;
  MemberDescription& operator=(const MemberDescription&) = delete;
  ~MemberDescription() {
    if (desc_) owner_->ReleaseFuncDesc(desc_);
  }
  const FUNCDESC* get() const noexcept { return desc_; }

  // Arguments a caller passes: every parameter but the returned one.
  UINT Accepted() const noexcept {
    UINT accepted = 0;
    for (SHORT i = 0; i < desc_->cParams; ++i)
      if (!(desc_->lprgelemdescParam[i].paramdesc.wParamFlags & PARAMFLAG_FRETVAL)) ++accepted;
    return accepted;
  }
  bool IsVararg() const noexcept { return desc_->cParamsOpt == -1; }

  // The automation type of parameter i, with aliases (OLE_COLOR) and enumerations resolved.
  VARTYPE ParamType(UINT i) const noexcept { return Resolve(owner_.Get(), desc_->lprgelemdescParam[i].tdesc); }

 private:
  ComPtr<ITypeInfo> owner_;
  FUNCDESC* desc_ = nullptr;
};

// Windows refuses more arguments than a member declares; Wine's ITypeInfo::Invoke drops the surplus and
// calls the member. Counting here gives callers the same answer on both.
bool TooManyArguments(ITypeInfo* info, DISPID id, WORD flags, const DISPPARAMS* params) {
  bool found = false;
  for (INVOKEKIND kind : {INVOKE_FUNC, INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF}) {
    if (!(flags & kind)) continue;
    MemberDescription member(info, id, kind);
    if (!member.get()) continue;
    if (member.IsVararg() || params->cArgs <= member.Accepted()) return false;
    found = true;
  }
  return found;
}

// Members taking any number of trailing arguments are called here rather than through
// ITypeInfo::Invoke, which in Wine accepts only one exact argument count for them. The fixed
// arguments are coerced to their declared types, the rest are packed into the SAFEARRAY of
// VARIANT the member receives, and the result comes back through its retval parameter.
HRESULT InvokeVararg(const MemberDescription& member, void* instance, const DISPPARAMS* params, VARIANT* result,
                     UINT* argErr) {
  const FUNCDESC* desc = member.get();
  if (params->cNamedArgs) return DISP_E_NONAMEDARGS;
  const UINT fixed = member.Accepted() - 1;
  if (params->cArgs < fixed) return DISP_E_BADPARAMCOUNT;
  const bool hasRetval = static_cast<UINT>(desc->cParams) > member.Accepted();
  if (desc->cParams > 16) return DISP_E_BADPARAMCOUNT;

  VARIANTARG values[16];
  VARIANTARG* pointers[16];
  VARTYPE types[16];
  for (auto& v : values) VariantInit(&v);
  struct Clear {
    VARIANTARG* v;
    ~Clear() {
      for (int i = 0; i < 16; ++i) VariantClear(&v[i]);
    }
  } clearValues{values};

  for (UINT i = 0; i < fixed; ++i) {
    const VARTYPE wanted = member.ParamType(i);
    VARIANTARG& argument = params->rgvarg[params->cArgs - 1 - i];
    if (FAILED(VariantChangeType(&values[i], &argument, 0, wanted))) {
      if (argErr) *argErr = params->cArgs - 1 - i;
      return DISP_E_TYPEMISMATCH;
    }
    types[i] = wanted;
    pointers[i] = &values[i];
  }

  const UINT extra = params->cArgs - fixed;
  SAFEARRAY* rest = SafeArrayCreateVector(VT_VARIANT, 0, extra);
  if (!rest) return E_OUTOFMEMORY;
  V_VT(&values[fixed]) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(&values[fixed]) = rest;
  auto* items = static_cast<VARIANT*>(rest->pvData);
  for (UINT i = 0; i < extra; ++i) {
    HRESULT hr = VariantCopyInd(&items[i], &params->rgvarg[extra - 1 - i]);
    if (FAILED(hr)) return hr;
  }
  SAFEARRAY** restPointer = &V_ARRAY(&values[fixed]);
  VARIANTARG restArgument;
  V_VT(&restArgument) = VT_BYREF | VT_ARRAY | VT_VARIANT;
  V_ARRAYREF(&restArgument) = restPointer;
  types[fixed] = V_VT(&restArgument);
  pointers[fixed] = &restArgument;

  VARIANT returned;
  VariantInit(&returned);
  VARIANTARG retvalArgument;
  UINT count = fixed + 1;
  if (hasRetval) {
    const TYPEDESC& retType = desc->lprgelemdescParam[count].tdesc;
    V_VT(&returned) = retType.vt == VT_PTR ? retType.lptdesc->vt : static_cast<VARTYPE>(VT_VARIANT);
    V_VT(&retvalArgument) = VT_BYREF | V_VT(&returned);
    V_BYREF(&retvalArgument) = &V_I4(&returned);
    types[count] = V_VT(&retvalArgument);
    pointers[count] = &retvalArgument;
    ++count;
  }

  VARIANT hresult;
  VariantInit(&hresult);
  HRESULT hr = DispCallFunc(instance, desc->oVft, CC_STDCALL, VT_ERROR, count, types, pointers, &hresult);
  if (FAILED(hr)) return hr;
  if (FAILED(V_ERROR(&hresult))) {
    VariantClear(&returned);
    return V_ERROR(&hresult);
  }
  if (result)
    *result = returned;
  else
    VariantClear(&returned);
  return S_OK;
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
  HRESULT hr;
  if (MemberDescription method(info, id, INVOKE_FUNC); (flags & DISPATCH_METHOD) && method.get() && method.IsVararg())
    hr = InvokeVararg(method, instance, params, result, argErr);
  else
    hr = info->Invoke(instance, id, flags, params, result, excepInfo, argErr);
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
