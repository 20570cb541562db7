// Results of the members the dispatch code calls itself (vararg ones here): every declared return type
// arrives whole, however wide, in the caller's result.
#include <windows.h>
#include <oaidl.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace ole
