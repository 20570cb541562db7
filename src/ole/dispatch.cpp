#include "ole/dispatch.h"

#include <oleauto.h>

#include "common/variant.h"
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

  // A parameter the member receives as a pointer to the caller's value; an interface pointer is a value.
  bool IsReference(UINT i) const noexcept {
    const TYPEDESC& type = desc_->lprgelemdescParam[i].tdesc;
    if (type.vt != VT_PTR) return false;
    const VARTYPE pointee = ReferencedType(i);
    return pointee != VT_DISPATCH && pointee != VT_UNKNOWN && pointee != VT_EMPTY;
  }
  // The type a by-reference parameter points to; a SAFEARRAY of T reads as VT_ARRAY | T.
  VARTYPE ReferencedType(UINT i) const noexcept {
    const TYPEDESC& pointee = *desc_->lprgelemdescParam[i].tdesc.lptdesc;
    if (pointee.vt == VT_SAFEARRAY) return VT_ARRAY | Resolve(owner_.Get(), *pointee.lptdesc);
    return Resolve(owner_.Get(), pointee);
  }
  bool TakesReferences() const noexcept {
    for (SHORT i = 0; i < desc_->cParams; ++i)
      if (!(desc_->lprgelemdescParam[i].paramdesc.wParamFlags & PARAMFLAG_FRETVAL) && IsReference(i)) return true;
    return false;
  }

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

// Whether an argument can be read without faulting: a known type, and a pointer behind every reference.
// The system's VariantCopyInd and VariantChangeType trust both.
bool Readable(const VARIANTARG& argument) {
  const VARTYPE vt = V_VT(&argument);
  if (vt & (VT_VECTOR | VT_RESERVED)) return false;
  const bool byRef = (vt & VT_BYREF) != 0;
  if (byRef && !V_BYREF(&argument)) return false;
  if (vt & VT_ARRAY) {
    switch (vt & VT_TYPEMASK) {
      case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_CY: case VT_DATE: case VT_BSTR: case VT_DISPATCH:
      case VT_ERROR: case VT_BOOL: case VT_VARIANT: case VT_UNKNOWN: case VT_DECIMAL: case VT_I1: case VT_UI1:
      case VT_UI2: case VT_UI4: case VT_I8: case VT_UI8: case VT_INT: case VT_UINT:
        return true;
      default:
        return false;
    }
  }
  switch (vt & VT_TYPEMASK) {
    case VT_EMPTY: case VT_NULL:
      return !byRef;
    case VT_VARIANT: {
      if (!byRef) return false;
      // A variant held by reference is read in turn; it may not itself be a reference to a variant.
      const VARIANT& held = *V_VARIANTREF(&argument);
      return V_VT(&held) != (VT_BYREF | VT_VARIANT) && Readable(held);
    }
    case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_CY: case VT_DATE: case VT_BSTR: case VT_DISPATCH:
    case VT_ERROR: case VT_BOOL: case VT_UNKNOWN: case VT_DECIMAL: case VT_I1: case VT_UI1: case VT_UI2: case VT_UI4:
    case VT_I8: case VT_UI8: case VT_INT: case VT_UINT:
      return true;
    default:
      return false;
  }
}

bool IsMissing(const VARIANTARG& argument) {
  return V_VT(&argument) == VT_ERROR && V_ERROR(&argument) == DISP_E_PARAMNOTFOUND;
}

// Room for the arguments of one call made here: the values converted for the member, the references it
// receives, and the types DispCallFunc pushes.
struct CallFrame {
  static constexpr UINT kMax = 16;
  // An array the caller passed by value and the member receives in its place: the caller's, locked for
  // the call, unless the member put another there, which is then the call's to free.
  struct LentArray {
    SAFEARRAY* caller = nullptr;
    SAFEARRAY* passed = nullptr;
  };
  cardel::Variant values[kMax];
  VARIANTARG references[kMax];
  VARIANTARG* pointers[kMax];
  VARTYPE types[kMax];
  LentArray lent[kMax];
  CallFrame() = default;
  CallFrame(const CallFrame&) = delete;
  CallFrame& operator=(const CallFrame&) = delete;
  ~CallFrame() {
    for (LentArray& array : lent) {
      if (!array.caller) continue;
      SafeArrayUnlock(array.caller);
      if (array.passed != array.caller) SafeArrayDestroy(array.passed);
    }
  }
  void PassValue(UINT i, VARTYPE vt) {
    types[i] = vt;
    pointers[i] = values[i].get();
  }
  void PassReference(UINT i, VARTYPE vt, void* target) {
    V_VT(&references[i]) = VT_BYREF | vt;
    V_BYREF(&references[i]) = target;
    types[i] = V_VT(&references[i]);
    pointers[i] = &references[i];
  }
  // False when the array cannot be locked; it is then left as it was.
  bool Lend(UINT i, VARTYPE vt, SAFEARRAY* array) {
    if (FAILED(SafeArrayLock(array))) return false;
    lent[i] = {array, array};
    PassReference(i, vt, &lent[i].passed);
    return true;
  }
};

// A by-reference parameter receives the caller's own storage only where the caller passed a reference to
// exactly the declared type, directly or inside a referenced variant (a script's variable). An array of the
// declared type passed by value is lent, not copied: a picture's bytes run to megabytes, and copying them
// cost as much as decoding them. Locked for the call, it cannot be freed or resized, and what the member
// puts in its place is the call's to free; the members taking arrays read them and write nothing into
// them. Anything else is converted into a copy of the call's own: the caller's argument is never freed or
// replaced, whatever the member does with its parameter.
HRESULT BindReference(CallFrame& frame, UINT i, VARTYPE wanted, VARIANTARG& argument) {
  if (V_VT(&argument) == (VT_BYREF | wanted)) {
    frame.PassReference(i, wanted, V_BYREF(&argument));
    return S_OK;
  }
  if (V_VT(&argument) == (VT_BYREF | VT_VARIANT)) {
    VARIANT& held = *V_VARIANTREF(&argument);
    if (V_VT(&held) == wanted) {
      frame.PassReference(i, wanted, &V_I4(&held));
      return S_OK;
    }
    if (V_VT(&held) == (VT_BYREF | wanted)) {
      frame.PassReference(i, wanted, V_BYREF(&held));
      return S_OK;
    }
  }
  if (V_VT(&argument) == wanted && (wanted & VT_ARRAY) && V_ARRAY(&argument) &&
      frame.Lend(i, wanted, V_ARRAY(&argument)))
    return S_OK;
  if (FAILED(VariantChangeType(frame.values[i].get(), &argument, 0, wanted))) return DISP_E_TYPEMISMATCH;
  frame.PassReference(i, wanted, &V_I4(frame.values[i].get()));
  return S_OK;
}

// The value an optional parameter takes when the caller leaves it out.
HRESULT BindDefault(CallFrame& frame, UINT i, VARTYPE wanted, bool byRef, const ELEMDESC& element) {
  const PARAMDESC& param = element.paramdesc;
  if (param.wParamFlags & PARAMFLAG_FHASDEFAULT) {
    if (FAILED(VariantChangeType(frame.values[i].get(), &param.pparamdescex->varDefaultValue, 0, wanted)))
      return DISP_E_TYPEMISMATCH;
  } else if (wanted == VT_VARIANT) {
    V_VT(frame.values[i].get()) = VT_ERROR;
    V_ERROR(frame.values[i].get()) = DISP_E_PARAMNOTFOUND;
  } else {
    return DISP_E_PARAMNOTOPTIONAL;
  }
  if (byRef)
    frame.PassReference(i, wanted, &V_I4(frame.values[i].get()));
  else
    frame.PassValue(i, wanted);
  return S_OK;
}

// Where a member writes its result. A VARIANT is written whole, and a DECIMAL fills the whole VARIANT it
// is held in, so both get the start of the storage; every other type fits the value part, where the
// storage is marked with the type beforehand.
void* ReturnTarget(cardel::Variant& storage, VARTYPE type) {
  if (type == VT_VARIANT) return storage.get();
  if (type == VT_DECIMAL) return &V_DECIMAL(storage.get());
  V_VT(storage.get()) = type;
  return &V_I4(storage.get());
}

// Members taking by-reference parameters or any number of trailing arguments are called here rather than
// through ITypeInfo::Invoke. Wine's accepts only one exact argument count for the latter, refuses a script's
// referenced variants for the former, and writes a by-reference parameter back into an argument passed by
// value (freeing the caller's string). Each fixed argument is bound to its declared type, the trailing ones
// are packed into the SAFEARRAY of VARIANT the member receives, and the result comes back through its
// retval parameter.
HRESULT InvokeDirect(const MemberDescription& member, void* instance, WORD flags, const DISPPARAMS* params,
                     VARIANT* result, UINT* argErr) {
  const FUNCDESC* desc = member.get();
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  if (put) {
    if (params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
    if (params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) return DISP_E_PARAMNOTFOUND;
  } else if (params->cNamedArgs) {
    return DISP_E_NONAMEDARGS;
  }
  if (desc->cParams > static_cast<SHORT>(CallFrame::kMax)) return DISP_E_BADPARAMCOUNT;
  for (UINT i = 0; i < params->cArgs; ++i) {
    if (!Readable(params->rgvarg[i])) {
      if (argErr) *argErr = i;
      return DISP_E_BADVARTYPE;
    }
  }
  const UINT accepted = member.Accepted();
  const UINT fixed = member.IsVararg() ? accepted - 1 : accepted;

  CallFrame frame;
  for (UINT i = 0; i < fixed; ++i) {
    const ELEMDESC& element = desc->lprgelemdescParam[i];
    const bool byRef = member.IsReference(i);
    const VARTYPE wanted = element.tdesc.vt == VT_PTR ? member.ReferencedType(i) : member.ParamType(i);
    const bool optional = (element.paramdesc.wParamFlags & (PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT)) != 0;
    HRESULT hr;
    if (i >= params->cArgs && !optional) {
      hr = DISP_E_BADPARAMCOUNT;
    } else if (i >= params->cArgs || IsMissing(params->rgvarg[params->cArgs - 1 - i])) {
      hr = BindDefault(frame, i, wanted, byRef, element);
    } else {
      VARIANTARG& argument = params->rgvarg[params->cArgs - 1 - i];
      if (byRef) {
        hr = BindReference(frame, i, wanted, argument);
      } else {
        hr = FAILED(VariantChangeType(frame.values[i].get(), &argument, 0, wanted)) ? DISP_E_TYPEMISMATCH : S_OK;
        frame.PassValue(i, wanted);
      }
    }
    if (FAILED(hr)) {
      if (argErr) *argErr = i < params->cArgs ? params->cArgs - 1 - i : 0;
      return hr;
    }
  }

  UINT count = fixed;
  if (member.IsVararg()) {
    const UINT extra = params->cArgs > fixed ? params->cArgs - fixed : 0;
    SAFEARRAY* rest = SafeArrayCreateVector(VT_VARIANT, 0, extra);
    if (!rest) return E_OUTOFMEMORY;
    V_VT(frame.values[fixed].get()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(frame.values[fixed].get()) = rest;
    auto* items = static_cast<VARIANT*>(rest->pvData);
    for (UINT i = 0; i < extra; ++i) {
      HRESULT hr = VariantCopyInd(&items[i], &params->rgvarg[extra - 1 - i]);
      if (FAILED(hr)) return hr;
    }
    frame.PassReference(fixed, VT_ARRAY | VT_VARIANT, &V_ARRAY(frame.values[fixed].get()));
    ++count;
  }

  cardel::Variant returned;
  VARTYPE returnType = VT_EMPTY;
  if (static_cast<UINT>(desc->cParams) > accepted) {
    const TYPEDESC& retType = desc->lprgelemdescParam[count].tdesc;
    returnType = retType.vt == VT_PTR ? retType.lptdesc->vt : static_cast<VARTYPE>(VT_VARIANT);
    frame.PassReference(count, returnType, ReturnTarget(returned, returnType));
    ++count;
  }

  VARIANT hresult;
  VariantInit(&hresult);
  HRESULT hr = DispCallFunc(instance, desc->oVft, CC_STDCALL, VT_ERROR, count, frame.types, frame.pointers, &hresult);
  if (FAILED(hr)) return hr;
  if (FAILED(V_ERROR(&hresult))) return V_ERROR(&hresult);
  // A DECIMAL's reserved word is where the type goes.
  if (returnType == VT_DECIMAL) V_VT(returned.get()) = VT_DECIMAL;
  if (result) *result = returned.release();
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
  // The member this call reaches, when it is one our own code calls.
  const WORD direct = (flags & DISPATCH_METHOD) ? DISPATCH_METHOD : (flags & DISPATCH_PROPERTYPUT);
  const MemberDescription member(info, id, direct == DISPATCH_METHOD ? INVOKE_FUNC : INVOKE_PROPERTYPUT);
  if (direct && member.get() && ((direct == DISPATCH_METHOD && member.IsVararg()) || member.TakesReferences()))
    hr = InvokeDirect(member, instance, direct, params, result, argErr);
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
