// Members the dispatch code calls itself (vararg ones, and those taking references): every declared
// return type arrives whole, however wide, in the caller's result; an array passed by value reaches the
// member without a copy, and comes back to its caller as it was.
#include <windows.h>
#include <oaidl.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <cstdint>

#include "common/variant.h"
#include "ole/dispatch.h"

namespace ole {
namespace {

using Microsoft::WRL::ComPtr;

// A plain object whose vtable holds the described members only: the call goes by vtable offset.
struct Returner {
  const void* const* vtable;
};

HRESULT STDMETHODCALLTYPE ReturnVariant(Returner*, SAFEARRAY** rest, VARIANT* value) {
  V_VT(value) = VT_I4;
  V_I4(value) = static_cast<LONG>((*rest)->rgsabound[0].cElements) + 40;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ReturnDecimal(Returner*, SAFEARRAY**, DECIMAL* value) {
  *value = DECIMAL{};
  value->scale = 2;
  value->Hi32 = 7;
  value->Lo64 = 12345;
  return S_OK;
}

// One vararg member per id, returning the given type through its retval parameter.
ComPtr<ITypeInfo> DescribeReturners(std::initializer_list<VARTYPE> returned) {
  ComPtr<ICreateTypeLib2> lib;
  const SYSKIND kind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
  if (FAILED(CreateTypeLib2(kind, const_cast<LPOLESTR>(L"returners.tlb"), &lib))) return nullptr;
  ComPtr<ICreateTypeInfo> type;
  if (FAILED(lib->CreateTypeInfo(const_cast<LPOLESTR>(L"IReturners"), TKIND_INTERFACE, &type))) return nullptr;
  TYPEDESC variant{};
  variant.vt = VT_VARIANT;
  TYPEDESC array{};
  array.vt = VT_SAFEARRAY;
  array.lptdesc = &variant;
  UINT index = 0;
  for (VARTYPE vt : returned) {
    TYPEDESC value{};
    value.vt = vt;
    ELEMDESC params[2]{};
    params[0].tdesc.vt = VT_PTR;
    params[0].tdesc.lptdesc = &array;
    params[0].paramdesc.wParamFlags = PARAMFLAG_FIN;
    params[1].tdesc.vt = VT_PTR;
    params[1].tdesc.lptdesc = &value;
    params[1].paramdesc.wParamFlags = PARAMFLAG_FOUT | PARAMFLAG_FRETVAL;
    FUNCDESC desc{};
    desc.memid = static_cast<MEMBERID>(index + 1);
    desc.lprgelemdescParam = params;
    desc.funckind = FUNC_PUREVIRTUAL;
    desc.invkind = INVOKE_FUNC;
    desc.callconv = CC_STDCALL;
    desc.cParams = 2;
    desc.cParamsOpt = -1;
    desc.oVft = static_cast<SHORT>(index * sizeof(void*));
    desc.elemdescFunc.tdesc.vt = VT_HRESULT;
    LPOLESTR names[] = {const_cast<LPOLESTR>(index ? L"Second" : L"First"), const_cast<LPOLESTR>(L"Rest")};
    if (FAILED(type->AddFuncDesc(index, &desc)) || FAILED(type->SetFuncAndParamNames(index, names, 2)))
      return nullptr;
    ++index;
  }
  ComPtr<ITypeInfo> info;
  if (FAILED(type->LayOut()) || FAILED(type.As(&info))) return nullptr;
  return info;
}

TEST(DirectInvoke, ResultsWiderThanTheValuePartOfAVariantArriveWhole) {
  const ComPtr<ITypeInfo> info = DescribeReturners({VT_VARIANT, VT_DECIMAL});
  ASSERT_TRUE(info);
  const void* const vtable[] = {reinterpret_cast<const void*>(&ReturnVariant),
                                reinterpret_cast<const void*>(&ReturnDecimal)};
  Returner returner{vtable};
  VARIANTARG args[3];
  for (VARIANTARG& a : args) {
    VariantInit(&a);
    V_VT(&a) = VT_I2;
    V_I2(&a) = 1;
  }
  DISPPARAMS params{args, nullptr, 3, 0};

  cardel::Variant variant;
  ASSERT_EQ(DispatchInvoke(info.Get(), &returner, 1, IID_NULL, DISPATCH_METHOD, &params, variant.get(), nullptr,
                           nullptr),
            S_OK);
  EXPECT_EQ(variant.type(), VT_I4);
  EXPECT_EQ(V_I4(variant.get()), 43) << "the member's own VARIANT, not one wrapped around it";

  cardel::Variant decimal;
  ASSERT_EQ(DispatchInvoke(info.Get(), &returner, 2, IID_NULL, DISPATCH_METHOD, &params, decimal.get(), nullptr,
                           nullptr),
            S_OK);
  ASSERT_EQ(decimal.type(), VT_DECIMAL);
  EXPECT_EQ(V_DECIMAL(decimal.get()).scale, 2);
  EXPECT_EQ(V_DECIMAL(decimal.get()).Hi32, 7u);
  EXPECT_EQ(V_DECIMAL(decimal.get()).Lo64, 12345u);
}

// What a member taking an array by reference saw of it.
struct ArrayTaker {
  const void* const* vtable;
  SAFEARRAY* received = nullptr;
  USHORT locks = 0;
  HRESULT destroyed = S_OK;
};

HRESULT STDMETHODCALLTYPE ReadArray(ArrayTaker* self, SAFEARRAY** array) {
  self->received = *array;
  self->locks = (*array)->cLocks;
  // Only a locked array is tried: freeing one that is not would leave its owner a dangling pointer.
  if (self->locks) self->destroyed = SafeArrayDestroy(*array);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ReplaceArray(ArrayTaker* self, SAFEARRAY** array) {
  self->received = *array;
  *array = SafeArrayCreateVector(VT_UI1, 0, 3);
  return S_OK;
}

// Members 1 and 2, each taking one [in, out] SAFEARRAY(unsigned char)*.
ComPtr<ITypeInfo> DescribeArrayTakers() {
  ComPtr<ICreateTypeLib2> lib;
  const SYSKIND kind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
  if (FAILED(CreateTypeLib2(kind, const_cast<LPOLESTR>(L"takers.tlb"), &lib))) return nullptr;
  ComPtr<ICreateTypeInfo> type;
  if (FAILED(lib->CreateTypeInfo(const_cast<LPOLESTR>(L"ITakers"), TKIND_INTERFACE, &type))) return nullptr;
  TYPEDESC byte{};
  byte.vt = VT_UI1;
  TYPEDESC array{};
  array.vt = VT_SAFEARRAY;
  array.lptdesc = &byte;
  for (UINT index = 0; index < 2; ++index) {
    ELEMDESC param{};
    param.tdesc.vt = VT_PTR;
    param.tdesc.lptdesc = &array;
    param.paramdesc.wParamFlags = PARAMFLAG_FIN | PARAMFLAG_FOUT;
    FUNCDESC desc{};
    desc.memid = static_cast<MEMBERID>(index + 1);
    desc.lprgelemdescParam = &param;
    desc.funckind = FUNC_PUREVIRTUAL;
    desc.invkind = INVOKE_FUNC;
    desc.callconv = CC_STDCALL;
    desc.cParams = 1;
    desc.oVft = static_cast<SHORT>(index * sizeof(void*));
    desc.elemdescFunc.tdesc.vt = VT_HRESULT;
    LPOLESTR names[] = {const_cast<LPOLESTR>(index ? L"Replace" : L"Read"), const_cast<LPOLESTR>(L"Bytes")};
    if (FAILED(type->AddFuncDesc(index, &desc)) || FAILED(type->SetFuncAndParamNames(index, names, 2)))
      return nullptr;
  }
  ComPtr<ITypeInfo> info;
  if (FAILED(type->LayOut()) || FAILED(type.As(&info))) return nullptr;
  return info;
}

TEST(DirectInvoke, AnArrayPassedByValueIsLentToTheMemberAndComesBackAsItWas) {
  const ComPtr<ITypeInfo> info = DescribeArrayTakers();
  ASSERT_TRUE(info);
  const void* const vtable[] = {reinterpret_cast<const void*>(&ReadArray),
                                reinterpret_cast<const void*>(&ReplaceArray)};
  SAFEARRAY* bytes = SafeArrayCreateVector(VT_UI1, 0, 5);
  ASSERT_TRUE(bytes);
  static_cast<uint8_t*>(bytes->pvData)[4] = 42;
  VARIANTARG argument;
  V_VT(&argument) = VT_ARRAY | VT_UI1;
  V_ARRAY(&argument) = bytes;
  DISPPARAMS params{&argument, nullptr, 1, 0};

  for (const DISPID member : {1, 2}) {
    ArrayTaker taker{vtable};
    ASSERT_EQ(DispatchInvoke(info.Get(), &taker, member, IID_NULL, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
              S_OK)
        << member;
    EXPECT_EQ(taker.received, bytes) << member << ": the caller's own array, not a copy";
    EXPECT_EQ(V_VT(&argument), VT_ARRAY | VT_UI1) << member;
    EXPECT_EQ(V_ARRAY(&argument), bytes) << member;
    EXPECT_EQ(bytes->cLocks, 0u) << member;
    EXPECT_EQ(bytes->rgsabound[0].cElements, 5u) << member;
    EXPECT_EQ(static_cast<uint8_t*>(bytes->pvData)[4], 42) << member;
    if (member == 1) {
      EXPECT_GT(taker.locks, 0u) << "locked while lent";
      EXPECT_EQ(taker.destroyed, DISP_E_ARRAYISLOCKED) << "a lent array cannot be freed";
    }
  }
  EXPECT_EQ(SafeArrayDestroy(bytes), S_OK);
}

}  // namespace
}  // namespace ole
