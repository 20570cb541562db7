// The type library inside VelmarCardel.ocx, read the way designers and compilers read it. Early-bound
// clients compile against the order and shape of the interface and late-bound ones against its DISPIDs,
// so the tables below are the published contract, entry for entry.
#include <gtest/gtest.h>

#include <wrl/client.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/cardel_interfaces.h"
#include "ole_support.h"

namespace cardel::oletest {
namespace {

using Microsoft::WRL::ComPtr;

// How a row of the member table appears in the interface: a method, or the accessors of a property in
// the order the table of functions holds them.
enum class Kind { Method, Get, GetPut, PutGet, GetPutByRef, GetPutRef, PutRefGet };

struct Member {
  const wchar_t* name;
  Kind kind;
  DISPID id;
  // A property's value type, or a method's result type ("" for none), as TypeName spells it.
  const char* type;
  // Methods: one letter per argument: v by value, r by reference, o optional by value, p optional by
  // reference; a trailing '*' marks the last argument as an array taking any number of further arguments.
  const char* params = "";
  // Default values of the optional arguments, in order.
  std::vector<long> defaults = {};
};

const Member kMembers[] = {
    {L"Draw", Kind::Method, 0x60030058, "", "vvvr"},
    {L"DrawText", Kind::Method, 0x6003005B, "long", "vvvvvvvvoppp", {100, 0, 0, 0}},
    {L"GetWindowsDPI", Kind::Method, 0x6003005C, "double"},
    {L"AutoSize", Kind::PutGet, 0x68030057, "Boolean"},
    {L"PictureColorize", Kind::GetPut, 0x68030056, "Boolean"},
    {L"PictureShadow", Kind::GetPut, 0x68030055, "Boolean"},
    {L"PictureColor", Kind::GetPut, 0x68030054, "OLE_COLOR"},
    {L"PictureSetHeight", Kind::GetPut, 0x68030053, "long"},
    {L"PictureGetHeight", Kind::Get, 0x68030052, "long"},
    {L"PictureSetWidth", Kind::GetPut, 0x68030051, "long"},
    {L"PictureGetWidth", Kind::Get, 0x68030050, "long"},
    {L"PictureContrast", Kind::GetPut, 0x6803004F, "long"},
    {L"PictureBrightness", Kind::GetPut, 0x6803004E, "long"},
    {L"PictureGrayScale", Kind::GetPut, 0x6803004D, "Boolean"},
    {L"CallOutCustomPosition", Kind::GetPut, 0x6803004C, "long"},
    {L"CallOutRightTriangle", Kind::GetPut, 0x6803004B, "Boolean"},
    {L"CallOut", Kind::GetPut, 0x6803004A, "Boolean"},
    {L"CallOutWidth", Kind::GetPut, 0x68030049, "short"},
    {L"CallOutLen", Kind::GetPut, 0x68030048, "short"},
    {L"CallOutPosicion", Kind::GetPut, 0x68030047, "eCallOutPosition"},
    {L"CallOutAlign", Kind::GetPut, 0x68030046, "eCallOutAlign"},
    {L"CaptionTriming", Kind::GetPut, 0x68030045, "StringTrimming"},
    {L"ShadowOffsetX", Kind::GetPut, 0x68030044, "short"},
    {L"ShadowOffsetY", Kind::GetPut, 0x68030043, "short"},
    {L"ShadowColor", Kind::GetPut, 0x68030042, "OLE_COLOR"},
    {L"ShadowColorOpacity", Kind::GetPut, 0x68030041, "short"},
    {L"ShadowSize", Kind::GetPut, 0x68030040, "short"},
    {L"BorderCornerLeftTop", Kind::GetPut, 0x6803003F, "short"},
    {L"BorderCornerRightTop", Kind::GetPut, 0x6803003E, "short"},
    {L"BorderCornerBottomLeft", Kind::GetPut, 0x6803003D, "short"},
    {L"BorderCornerBottomRight", Kind::GetPut, 0x6803003C, "short"},
    {L"FrontColor", Kind::GetPut, 0x6803003B, "OLE_COLOR"},
    {L"BackColor", Kind::GetPut, 0x6803003A, "OLE_COLOR"},
    {L"BackColorOpacity", Kind::GetPut, 0x68030039, "short"},
    {L"BackAcrylicBlur", Kind::GetPut, 0x68030038, "Boolean"},
    {L"BackShadow", Kind::GetPut, 0x68030037, "Boolean"},
    {L"Border", Kind::GetPut, 0x68030036, "Boolean"},
    {L"BorderColor", Kind::GetPut, 0x68030035, "OLE_COLOR"},
    {L"BorderColorOpacity", Kind::GetPut, 0x68030034, "short"},
    {L"BorderPosition", Kind::GetPut, 0x68030033, "eBorderPosition"},
    {L"BorderWidth", Kind::GetPut, 0x68030032, "short"},
    {L"CaptionShadow", Kind::GetPut, 0x68030031, "Boolean"},
    {L"CaptionShowPrefix", Kind::GetPut, 0x68030030, "Boolean"},
    {L"CaptionAngle", Kind::GetPut, 0x6803002F, "short"},
    {L"CaptionBorderColor", Kind::GetPut, 0x6803002E, "OLE_COLOR"},
    {L"CaptionBorderWidth", Kind::GetPut, 0x6803002D, "short"},
    {L"Caption", Kind::GetPutByRef, 0x6803002C, "string"},
    {L"CaptionAlignmentH", Kind::GetPut, 0x6803002B, "CaptionAlignmentH"},
    {L"CaptionAlignmentV", Kind::GetPut, 0x6803002A, "CaptionAlignmentV"},
    {L"CaptionPaddingX", Kind::GetPut, 0x68030029, "short"},
    {L"CaptionPaddingY", Kind::GetPut, 0x68030028, "short"},
    {L"Enabled", Kind::GetPut, 0x68030027, "Boolean"},
    {L"Font", Kind::GetPutRef, 0x68030026, "IFontDisp*"},
    {L"ForeColor", Kind::GetPut, 0x68030025, "OLE_COLOR"},
    {L"ForeColorOpacity", Kind::GetPut, 0x68030024, "short"},
    {L"Gradient", Kind::GetPut, 0x68030023, "Boolean"},
    {L"GradientAngle", Kind::GetPut, 0x68030022, "short"},
    {L"GradientColor1", Kind::GetPut, 0x68030021, "OLE_COLOR"},
    {L"GradientColor1Opacity", Kind::GetPut, 0x68030020, "short"},
    {L"GradientColor2", Kind::GetPut, 0x6803001F, "OLE_COLOR"},
    {L"GradientColor2Opacity", Kind::GetPut, 0x6803001E, "short"},
    {L"PictureAngle", Kind::GetPut, 0x6803001D, "short"},
    {L"PictureAlignmentH", Kind::GetPut, 0x6803001C, "PictureAlignmentH"},
    {L"PictureAlignmentV", Kind::GetPut, 0x6803001B, "PictureAlignmentV"},
    {L"PictureOpacity", Kind::GetPut, 0x6803001A, "short"},
    {L"PicturePaddingY", Kind::GetPut, 0x68030019, "short"},
    {L"PicturePaddingX", Kind::GetPut, 0x68030018, "short"},
    {L"WordWrap", Kind::GetPut, 0x68030017, "Boolean"},
    {L"PictureGetStream", Kind::Method, 0x60030065, "byte()"},
    {L"PictureDelete", Kind::Method, 0x60030066, "variant"},
    {L"PictureExist", Kind::Get, 0x68030016, "Boolean"},
    {L"MouseToParent", Kind::GetPut, 0x68030015, "Boolean"},
    {L"OLEDropMode", Kind::PutGet, 0x68030014, "eOLEDropMode"},
    {L"HotLine", Kind::GetPut, 0x68030013, "Boolean"},
    {L"HotLineColor", Kind::GetPut, 0x68030012, "OLE_COLOR"},
    {L"HotLineColorOpacity", Kind::GetPut, 0x68030011, "short"},
    {L"HotLineWidth", Kind::GetPut, 0x68030010, "short"},
    {L"HotLinePosition", Kind::GetPut, 0x6803000F, "HotLinePosition"},
    {L"Redraw", Kind::GetPut, 0x6803000E, "Boolean"},
    {L"Refresh", Kind::Method, 0x60030070, ""},
    {L"PictureFromURL", Kind::Method, 0x6003007C, "Boolean", "voo", {0, -1}},
    {L"PictureFromStream", Kind::Method, 0x6003007F, "Boolean", "r"},
    {L"PictureFromPath", Kind::Method, 0x60030080, "Boolean", "r"},
    {L"tmrMOUSEOVER_Timer", Kind::Method, 0x60030081, ""},
    {L"DrawLine", Kind::Method, 0x60030083, "Boolean", "vvvvvooo", {0, 100, 1}},
    {L"Polygon", Kind::Method, 0x60030084, "Boolean", "vvvvv*"},
    {L"IsMouseOver", Kind::Get, 0x6803000D, "Boolean"},
    {L"IsMouseEnter", Kind::Get, 0x6803000C, "Boolean"},
    {L"MousePointer", Kind::PutGet, 0x6803000B, "eMousePointer"},
    {L"MouseIcon", Kind::PutRefGet, 0x6803000A, "IPictureDisp*"},
    {L"MousePointerHands", Kind::PutGet, 0x68030009, "Boolean"},
    {L"Image", Kind::Get, 0x68030008, "IPicture*"},
    {L"GetSystemHandCursor", Kind::Method, 0x6003008A, "IPictureDisp*"},
    {L"IconCharCode", Kind::GetPut, 0x68030007, "string"},
    {L"IconForeColor", Kind::GetPut, 0x68030006, "OLE_COLOR"},
    {L"IconAlignmentH", Kind::GetPut, 0x68030005, "CaptionAlignmentH"},
    {L"IconAlignmentV", Kind::GetPut, 0x68030004, "CaptionAlignmentV"},
    {L"IconOpacity", Kind::GetPut, 0x68030003, "short"},
    {L"IconPaddingY", Kind::GetPut, 0x68030002, "short"},
    {L"IconPaddingX", Kind::GetPut, 0x68030001, "short"},
    {L"IconFont", Kind::GetPutRef, 0x68030000, "IFontDisp*"},
    {L"ChrW2", Kind::Method, 0x6003008F, "string", "v"},
};

struct Event {
  const wchar_t* name;
  std::vector<const char*> args;  // types; a trailing '*' is an argument passed by reference
};

// DISPIDs are the position in this list, from 1.
const Event kEvents[] = {
    {L"Click", {}},
    {L"DblClick", {}},
    {L"MouseDown", {"short*", "short*", "single*", "single*"}},
    {L"MouseMove", {"short*", "short*", "single*", "single*"}},
    {L"MouseUp", {"short*", "short*", "single*", "single*"}},
    {L"MouseEnter", {}},
    {L"MouseLeave", {}},
    {L"MouseOver", {}},
    {L"MouseOut", {}},
    {L"PrePaint", {"long*", "long*", "long*"}},
    {L"PostPaint", {"long"}},
    {L"KeyPress", {"short*"}},
    {L"KeyUp", {"short*", "short*"}},
    {L"KeyDown", {"short*", "short*"}},
    {L"OLEDragDrop", {"DataObject**", "long*", "short*", "short*", "single*", "single*"}},
    {L"OLEDragOver", {"DataObject**", "long*", "short*", "short*", "single*", "single*", "short*"}},
    {L"PictureDownloadProgress", {"long*", "long*"}},
    {L"PictureDownloadComplete", {}},
    {L"PictureDownloadError", {}},
};

struct Enumeration {
  const wchar_t* name;
  std::vector<std::pair<const wchar_t*, long>> members;
};

const Enumeration kEnumerations[] = {
    {L"eCallOutPosition", {{L"coLeft", 0}, {L"coTop", 1}, {L"coRight", 2}, {L"coBottom", 3}}},
    {L"eCallOutAlign", {{L"coFirstCorner", 0}, {L"coMidle", 1}, {L"coSecondCorner", 2}, {L"coCustomPosition", 3}}},
    {L"eBorderPosition", {{L"bpInside", 0}, {L"bpCenter", 1}, {L"bpOutside", 2}}},
    {L"CaptionAlignmentH", {{L"cLeft", 0}, {L"cCenter", 1}, {L"cRight", 2}}},
    {L"CaptionAlignmentV", {{L"cTop", 0}, {L"cMiddle", 1}, {L"cBottom", 2}}},
    {L"PictureAlignmentH", {{L"pLeft", 0}, {L"pCenter", 1}, {L"pRight", 2}}},
    {L"PictureAlignmentV", {{L"pTop", 0}, {L"pMiddle", 1}, {L"pBottom", 2}}},
    {L"HotLinePosition", {{L"hlLeft", 0}, {L"hlTop", 1}, {L"hlRight", 2}, {L"hlBottom", 3}}},
    {L"StringAlignment", {{L"StringAlignmentNear", 0}, {L"StringAlignmentCenter", 1}, {L"StringAlignmentFar", 2}}},
    {L"StringTrimming",
     {{L"StringTrimmingNone", 0},
      {L"StringTrimmingCharacter", 1},
      {L"StringTrimmingWord", 2},
      {L"StringTrimmingEllipsisCharacter", 3},
      {L"StringTrimmingEllipsisWord", 4},
      {L"StringTrimmingEllipsisPath", 5}}},
    {L"StringFormatFlags",
     {{L"StringFormatFlagsNone", 0},
      {L"StringFormatFlagsDirectionRightToLeft", 1},
      {L"StringFormatFlagsDirectionVertical", 2},
      {L"StringFormatFlagsNoFitBlackBox", 4},
      {L"StringFormatFlagsDisplayFormatControl", 32},
      {L"StringFormatFlagsNoFontFallback", 1024},
      {L"StringFormatFlagsMeasureTrailingSpaces", 2048},
      {L"StringFormatFlagsNoWrap", 4096},
      {L"StringFormatFlagsLineLimit", 8192},
      {L"StringFormatFlagsNoClip", 16384}}},
};

template <class T>
using Held = std::unique_ptr<T, std::function<void(T*)>>;

Held<TYPEATTR> Attr(ITypeInfo& info) {
  TYPEATTR* attr = nullptr;
  info.GetTypeAttr(&attr);
  return {attr, [&info](TYPEATTR* a) { info.ReleaseTypeAttr(a); }};
}
Held<FUNCDESC> Func(ITypeInfo& info, UINT index) {
  FUNCDESC* desc = nullptr;
  info.GetFuncDesc(index, &desc);
  return {desc, [&info](FUNCDESC* d) { info.ReleaseFuncDesc(d); }};
}

long ToLong(const VARIANT& source) {
  VARIANT value;
  VariantInit(&value);
  VariantChangeType(&value, const_cast<VARIANT*>(&source), 0, VT_I4);
  return V_I4(&value);
}

std::string Name(ITypeInfo& info, MEMBERID id = MEMBERID_NIL) {
  BSTR name = nullptr;
  if (FAILED(info.GetDocumentation(id, &name, nullptr, nullptr, nullptr))) return "?";
  UniqueBstr owned(name);
  return Narrow(name ? name : L"");
}

// A type spelled the way the member table spells it.
std::string TypeName(ITypeInfo& context, const TYPEDESC& type) {
  switch (type.vt) {
    case VT_I2: return "short";
    case VT_I4: return "long";
    case VT_R4: return "single";
    case VT_R8: return "double";
    case VT_BOOL: return "Boolean";
    case VT_BSTR: return "string";
    case VT_VARIANT: return "variant";
    case VT_UI1: return "byte";
    case VT_HRESULT: return "HRESULT";
    case VT_VOID: return "void";
    case VT_PTR: return TypeName(context, *type.lptdesc) + "*";
    case VT_SAFEARRAY: return TypeName(context, *type.lptdesc) + "()";
    case VT_USERDEFINED: {
      ComPtr<ITypeInfo> referenced;
      if (FAILED(context.GetRefTypeInfo(type.hreftype, &referenced))) return "?";
      return Name(*referenced.Get());
    }
    default: return "vt" + std::to_string(type.vt);
  }
}

class TypeLibTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(LoadTypeLibEx(OcxPath().c_str(), REGKIND_NONE, &lib_), S_OK); }
  static void TearDownTestSuite() { lib_.Reset(); }

  static ComPtr<ITypeInfo> Info(const GUID& guid) {
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(lib_->GetTypeInfoOfGuid(guid, &info), S_OK) << Narrow(GuidText(guid));
    return info;
  }

 public:
  // The vtable side of a dual interface.
  static ComPtr<ITypeInfo> VtableSide(ITypeInfo& dispatchSide) {
    HREFTYPE ref = 0;
    ComPtr<ITypeInfo> info;
    if (SUCCEEDED(dispatchSide.GetRefTypeOfImplType(static_cast<UINT>(-1), &ref)))
      dispatchSide.GetRefTypeInfo(ref, &info);
    return info;
  }

 protected:
  // The members of the named enumeration with their values, in order.
  static std::vector<std::pair<std::string, long>> EnumMembers(const wchar_t* name) {
    std::vector<std::pair<std::string, long>> members;
    for (UINT i = 0; i < lib_->GetTypeInfoCount(); ++i) {
      ComPtr<ITypeInfo> info;
      if (FAILED(lib_->GetTypeInfo(i, &info)) || Name(*info.Get()) != Narrow(name)) continue;
      EXPECT_EQ(Attr(*info.Get())->typekind, TKIND_ENUM);
      for (UINT v = 0; v < Attr(*info.Get())->cVars; ++v) {
        VARDESC* desc = nullptr;
        if (FAILED(info->GetVarDesc(v, &desc))) continue;
        members.emplace_back(Name(*info.Get(), desc->memid), desc->varkind == VAR_CONST ? ToLong(*desc->lpvarValue) : -1);
        info->ReleaseVarDesc(desc);
      }
    }
    return members;
  }

  static ComPtr<ITypeLib> lib_;
};

ComPtr<ITypeLib> TypeLibTest::lib_;

std::string Doc(ITypeInfo& info, MEMBERID id) {
  BSTR doc = nullptr;
  if (FAILED(info.GetDocumentation(id, nullptr, &doc, nullptr, nullptr))) return "?";
  UniqueBstr owned(doc);
  return Narrow(doc ? doc : L"");
}

std::string ValueText(const VARIANT& value) {
  VARIANT text;
  VariantInit(&text);
  if (FAILED(VariantChangeType(&text, const_cast<VARIANT*>(&value), 0, VT_BSTR))) return "vt" + std::to_string(value.vt);
  UniqueBstr owned(V_BSTR(&text));
  return "vt" + std::to_string(value.vt) + ':' + Narrow(V_BSTR(&text));
}

// The facts the build writes into the library after widl: what a comparison with widl's own output leaves out.
struct Amended {
  bool eventInterface = false;  // its non-extensible flag and its version
  bool enumMember = false;      // its help string
};

void DescribeType(ITypeInfo& info, std::vector<std::string>& out) {
  const auto attr = Attr(info);
  const std::string name = Name(info);
  const bool amended = name == "__ucCardel";
  const WORD flags = amended ? attr->wTypeFlags & ~TYPEFLAG_FNONEXTENSIBLE : attr->wTypeFlags;
  out.push_back(name + " doc=" + Doc(info, MEMBERID_NIL) + " guid=" + Narrow(GuidText(attr->guid)) +
                " kind=" + std::to_string(attr->typekind) + " flags=" + std::to_string(flags) +
                (amended ? "" : " version=" + std::to_string(attr->wMajorVerNum) + '.' + std::to_string(attr->wMinorVerNum)) +
                " funcs=" + std::to_string(attr->cFuncs) + " vars=" + std::to_string(attr->cVars) +
                " impl=" + std::to_string(attr->cImplTypes) + " vft=" + std::to_string(attr->cbSizeVft) +
                " size=" + std::to_string(attr->cbSizeInstance) + " align=" + std::to_string(attr->cbAlignment) +
                " alias=" + (attr->typekind == TKIND_ALIAS ? TypeName(info, attr->tdescAlias) : ""));
  for (UINT i = 0; i < attr->cImplTypes; ++i) {
    INT implFlags = 0;
    HREFTYPE ref = 0;
    ComPtr<ITypeInfo> implemented;
    info.GetImplTypeFlags(i, &implFlags);
    if (SUCCEEDED(info.GetRefTypeOfImplType(i, &ref))) info.GetRefTypeInfo(ref, &implemented);
    out.push_back("  implements " + (implemented ? Name(*implemented.Get()) : "?") + " flags=" + std::to_string(implFlags));
  }
  for (UINT i = 0; i < attr->cFuncs; ++i) {
    const auto f = Func(info, i);
    if (!f) continue;
    BSTR names[64] = {};
    UINT count = 0;
    info.GetNames(f->memid, names, static_cast<UINT>(std::size(names)), &count);
    std::string line = "  func";
    for (UINT n = 0; n < count; ++n) {
      UniqueBstr owned(names[n]);
      line += ' ' + Narrow(names[n] ? names[n] : L"");
    }
    line += " id=" + std::to_string(f->memid) + " invoke=" + std::to_string(f->invkind) + " kind=" +
            std::to_string(f->funckind) + " cc=" + std::to_string(f->callconv) + " vft=" + std::to_string(f->oVft) +
            " opt=" + std::to_string(f->cParamsOpt) + " flags=" + std::to_string(f->wFuncFlags) +
            " returns=" + TypeName(info, f->elemdescFunc.tdesc) + " doc=" + Doc(info, f->memid);
    for (SHORT p = 0; p < f->cParams; ++p) {
      const ELEMDESC& e = f->lprgelemdescParam[p];
      line += " (" + TypeName(info, e.tdesc) + ' ' + std::to_string(e.paramdesc.wParamFlags);
      if (e.paramdesc.wParamFlags & PARAMFLAG_FHASDEFAULT) line += '=' + ValueText(e.paramdesc.pparamdescex->varDefaultValue);
      line += ')';
    }
    out.push_back(line);
  }
  for (UINT i = 0; i < attr->cVars; ++i) {
    VARDESC* desc = nullptr;
    if (FAILED(info.GetVarDesc(i, &desc))) continue;
    out.push_back("  var " + Name(info, desc->memid) + " id=" + std::to_string(desc->memid) +
                  " kind=" + std::to_string(desc->varkind) + " flags=" + std::to_string(desc->wVarFlags) +
                  " type=" + TypeName(info, desc->elemdescVar.tdesc) +
                  (desc->varkind == VAR_CONST ? " value=" + ValueText(*desc->lpvarValue) : "") +
                  (attr->typekind == TKIND_ENUM ? "" : " doc=" + Doc(info, desc->memid)));
    info.ReleaseVarDesc(desc);
  }
}

// Every type of a library with its attributes and members, a line each, as clients read them.
std::vector<std::string> Describe(ITypeLib& lib) {
  std::vector<std::string> out;
  for (UINT i = 0; i < lib.GetTypeInfoCount(); ++i) {
    ComPtr<ITypeInfo> info;
    if (FAILED(lib.GetTypeInfo(i, &info))) {
      out.push_back("type " + std::to_string(i) + " unreadable");
      continue;
    }
    DescribeType(*info.Get(), out);
    if (Attr(*info.Get())->wTypeFlags & TYPEFLAG_FDUAL) {
      if (ComPtr<ITypeInfo> vtable = TypeLibTest::VtableSide(*info.Get())) DescribeType(*vtable.Get(), out);
    }
  }
  return out;
}

TEST_F(TypeLibTest, LibraryAttributes) {
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(lib_->GetLibAttr(&attr), S_OK);
  EXPECT_EQ(attr->guid, LIBID_VelmarCardel);
  EXPECT_EQ(attr->wMajorVerNum, 33);
  EXPECT_EQ(attr->wMinorVerNum, 0);
  EXPECT_EQ(attr->lcid, 0x0409u);
  EXPECT_EQ(attr->syskind, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
  lib_->ReleaseTLibAttr(attr);

  BSTR name = nullptr, doc = nullptr;
  ASSERT_EQ(lib_->GetDocumentation(-1, &name, &doc, nullptr, nullptr), S_OK);
  UniqueBstr ownedName(name), ownedDoc(doc);
  EXPECT_EQ(Narrow(name ? name : L""), "VelmarCardel");
  EXPECT_EQ(Narrow(doc ? doc : L""), "VelmarCardel");
}

// Both dual interfaces: hidden and non-extensible on both sides, automation-compatible on the vtable side
// (what lets the standard marshaller carry them), derived from IDispatch.
TEST_F(TypeLibTest, DualInterfacesAreHiddenNonExtensibleAndAutomationCompatible) {
  const struct {
    const IID* iid;
    const char* name;
    size_t functions;
  } cases[] = {{&IID__ucCardel, "_ucCardel", 184}, {&IID__ppCardel, "_ppCardel", 0}};
  const WORD shared = TYPEFLAG_FDUAL | TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ComPtr<ITypeInfo> info = Info(*c.iid);
    ASSERT_TRUE(info);
    EXPECT_EQ(Name(*info.Get()), c.name);
    const auto attr = Attr(*info.Get());
    EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
    EXPECT_EQ(attr->wTypeFlags & (shared | TYPEFLAG_FDISPATCHABLE), shared | TYPEFLAG_FDISPATCHABLE);
    EXPECT_EQ(attr->wMajorVerNum, 1);

    ComPtr<ITypeInfo> vtable = VtableSide(*info.Get());
    ASSERT_TRUE(vtable);
    const auto vattr = Attr(*vtable.Get());
    EXPECT_EQ(vattr->typekind, TKIND_INTERFACE);
    EXPECT_EQ(vattr->wTypeFlags & (shared | TYPEFLAG_FOLEAUTOMATION), shared | TYPEFLAG_FOLEAUTOMATION);
    EXPECT_EQ(vattr->cFuncs, c.functions);
    EXPECT_EQ(vattr->cbSizeVft, (7 + c.functions) * sizeof(void*));
    HREFTYPE base = 0;
    ComPtr<ITypeInfo> baseInfo;
    ASSERT_EQ(vtable->GetRefTypeOfImplType(0, &base), S_OK);
    ASSERT_EQ(vtable->GetRefTypeInfo(base, &baseInfo), S_OK);
    EXPECT_EQ(Name(*baseInfo.Get()), "IDispatch");
  }
}

TEST_F(TypeLibTest, ControlInterfaceListsEveryMemberInOrder) {
  ComPtr<ITypeInfo> info = VtableSide(*Info(IID__ucCardel).Get());
  ASSERT_TRUE(info);
  ASSERT_EQ(std::size(kMembers), 102u);

  // One entry of the table of functions per accessor, as each row expands to.
  std::vector<std::pair<const Member*, INVOKEKIND>> expected;
  for (const Member& m : kMembers) {
    const bool putFirst = m.kind == Kind::PutGet || m.kind == Kind::PutRefGet;
    const INVOKEKIND put =
        m.kind == Kind::GetPutRef || m.kind == Kind::PutRefGet ? INVOKE_PROPERTYPUTREF : INVOKE_PROPERTYPUT;
    if (m.kind == Kind::Method) expected.emplace_back(&m, INVOKE_FUNC);
    if (putFirst) expected.emplace_back(&m, put);
    if (m.kind != Kind::Method) expected.emplace_back(&m, INVOKE_PROPERTYGET);
    if (m.kind != Kind::Method && m.kind != Kind::Get && !putFirst) expected.emplace_back(&m, put);
  }
  ASSERT_EQ(static_cast<size_t>(Attr(*info.Get())->cFuncs), expected.size());

  for (size_t i = 0; i < expected.size(); ++i) {
    const auto& [m, invoke] = expected[i];
    const auto f = Func(*info.Get(), static_cast<UINT>(i));
    ASSERT_TRUE(f);
    SCOPED_TRACE("entry " + std::to_string(i) + " (" + Narrow(m->name) + " kind " + std::to_string(invoke) + ')');
    EXPECT_EQ(Name(*info.Get(), f->memid), Narrow(m->name));
    EXPECT_EQ(f->memid, m->id);
    EXPECT_EQ(f->invkind, invoke);
    EXPECT_EQ(f->funckind, FUNC_PUREVIRTUAL);
    EXPECT_EQ(f->callconv, CC_STDCALL);
    // After IUnknown's three and IDispatch's four entries.
    EXPECT_EQ(f->oVft, static_cast<SHORT>((7 + i) * sizeof(void*)));
    EXPECT_EQ(TypeName(*info.Get(), f->elemdescFunc.tdesc), "HRESULT");

    // The declared arguments, then the result as a final [out, retval] argument.
    std::string params, resultType, lastType;
    std::vector<long> defaults;
    for (SHORT p = 0; p < f->cParams; ++p) {
      const ELEMDESC& e = f->lprgelemdescParam[p];
      const USHORT pf = e.paramdesc.wParamFlags;
      if (pf & PARAMFLAG_FRETVAL) {
        EXPECT_EQ(p, f->cParams - 1) << "the result must be the last argument";
        ASSERT_EQ(e.tdesc.vt, VT_PTR);
        resultType = TypeName(*info.Get(), *e.tdesc.lptdesc);
        continue;
      }
      const bool byRef = (pf & PARAMFLAG_FOUT) != 0;
      params += pf & PARAMFLAG_FOPT ? (byRef ? 'p' : 'o') : (byRef ? 'r' : 'v');
      if (pf & PARAMFLAG_FOPT) {
        EXPECT_TRUE(pf & PARAMFLAG_FHASDEFAULT) << "optional argument " << p << " has no default value";
        if (pf & PARAMFLAG_FHASDEFAULT) defaults.push_back(ToLong(e.paramdesc.pparamdescex->varDefaultValue));
      }
      lastType = TypeName(*info.Get(), e.tdesc);
      if (invoke != INVOKE_FUNC) resultType = lastType;
    }
    if (f->cParamsOpt == -1) {
      params += '*';
      EXPECT_EQ(lastType, "variant()*") << "the extra arguments arrive as an array";
    }

    if (invoke == INVOKE_FUNC) {
      EXPECT_EQ(params, m->params);
      EXPECT_EQ(defaults, m->defaults);
      EXPECT_EQ(resultType, m->type);
    } else if (invoke == INVOKE_PROPERTYGET) {
      EXPECT_EQ(params, "");
      EXPECT_EQ(resultType, m->type);
    } else {
      const bool byRef = m->kind == Kind::GetPutByRef;
      EXPECT_EQ(params, byRef ? "r" : "v");
      EXPECT_EQ(resultType, std::string(m->type) + (byRef ? "*" : ""));
    }
  }
}

TEST_F(TypeLibTest, EventInterfaceListsEveryEventInOrder) {
  ComPtr<ITypeInfo> info = Info(DIID___ucCardel);
  ASSERT_TRUE(info);
  const auto attr = Attr(*info.Get());
  EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
  EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FHIDDEN);
  EXPECT_FALSE(attr->wTypeFlags & TYPEFLAG_FDUAL);
  EXPECT_EQ(Name(*info.Get()), "__ucCardel");
  ASSERT_EQ(attr->cFuncs, static_cast<WORD>(std::size(kEvents)));

  for (UINT i = 0; i < std::size(kEvents); ++i) {
    SCOPED_TRACE(Narrow(kEvents[i].name));
    const auto f = Func(*info.Get(), i);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->memid, static_cast<MEMBERID>(i + 1));
    EXPECT_EQ(Name(*info.Get(), f->memid), Narrow(kEvents[i].name));
    EXPECT_EQ(f->invkind, INVOKE_FUNC);
    EXPECT_EQ(f->funckind, FUNC_DISPATCH);
    EXPECT_EQ(TypeName(*info.Get(), f->elemdescFunc.tdesc), "void");
    std::vector<std::string> args;
    for (SHORT p = 0; p < f->cParams; ++p) args.push_back(TypeName(*info.Get(), f->lprgelemdescParam[p].tdesc));
    EXPECT_EQ(args, std::vector<std::string>(kEvents[i].args.begin(), kEvents[i].args.end()));
  }
}

// widl cannot write some of what the IDL states; the build adds it afterwards, and must lose nothing widl wrote.
TEST_F(TypeLibTest, EmbeddedLibraryHoldsEverythingWidlWrote) {
  wchar_t path[MAX_PATH * 4] = {};
  GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  std::wstring widlOutput = path;
  widlOutput = widlOutput.substr(0, widlOutput.find_last_of(L"\\/") + 1) + L"VelmarCardel.widl.tlb";
  ComPtr<ITypeLib> widl;
  ASSERT_EQ(LoadTypeLibEx(widlOutput.c_str(), REGKIND_NONE, &widl), S_OK);
  const auto expected = Describe(*widl.Get());
  const auto embedded = Describe(*lib_.Get());
  ASSERT_GT(expected.size(), 300u);
  EXPECT_EQ(embedded, expected);
}

TEST_F(TypeLibTest, BuildAddsWhatWidlCannotExpress) {
  ComPtr<ITypeInfo> events = Info(DIID___ucCardel);
  ASSERT_TRUE(events);
  const auto attr = Attr(*events.Get());
  EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FNONEXTENSIBLE);
  EXPECT_EQ(attr->wMajorVerNum, 1);
  EXPECT_EQ(attr->wMinorVerNum, 0);

  size_t members = 0;
  for (UINT i = 0; i < lib_->GetTypeInfoCount(); ++i) {
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(lib_->GetTypeInfo(i, &info), S_OK);
    if (Attr(*info.Get())->typekind != TKIND_ENUM) continue;
    for (UINT v = 0; v < Attr(*info.Get())->cVars; ++v, ++members) {
      VARDESC* desc = nullptr;
      ASSERT_EQ(info->GetVarDesc(v, &desc), S_OK);
      EXPECT_EQ(Doc(*info.Get(), desc->memid), Name(*info.Get(), desc->memid));
      info->ReleaseVarDesc(desc);
    }
  }
  EXPECT_GT(members, 50u);

  ComPtr<ITypeInfo> control = VtableSide(*Info(IID__ucCardel).Get());
  ASSERT_TRUE(control);
  const auto drawText = Func(*control.Get(), 1);
  BSTR names[4] = {};
  UINT count = 0;
  ASSERT_EQ(control->GetNames(drawText->memid, names, 4, &count), S_OK);
  std::vector<std::string> read;
  for (UINT n = 0; n < count; ++n) {
    UniqueBstr owned(names[n]);
    read.push_back(Narrow(names[n]));
  }
  EXPECT_EQ(read, (std::vector<std::string>{"DrawText", "hDC", "text", "X"}));
}

TEST_F(TypeLibTest, EnumerationsHaveTheirExactValues) {
  for (const Enumeration& e : kEnumerations) {
    std::vector<std::pair<std::string, long>> expected;
    for (const auto& [name, value] : e.members) expected.emplace_back(Narrow(name), value);
    EXPECT_EQ(EnumMembers(e.name), expected) << Narrow(e.name);
  }
  // The control reads only the default and custom pointers; the rest pass through to the host.
  const auto pointers = EnumMembers(L"eMousePointer");
  for (const auto& member : {std::pair<std::string, long>{"mpDefault", 0}, {"mpCustom", 99}})
    EXPECT_NE(std::find(pointers.begin(), pointers.end(), member), pointers.end()) << member.first;
}

TEST_F(TypeLibTest, ClassesImplementTheirInterfaces) {
  using Implemented = std::vector<std::pair<std::string, INT>>;
  const struct {
    const CLSID* clsid;
    const char* name;
    bool control;
    Implemented implemented;
  } cases[] = {
      {&CLSID_ucCardel, "ucCardel", true,
       {{"_ucCardel", IMPLTYPEFLAG_FDEFAULT}, {"__ucCardel", IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE}}},
      {&CLSID_ppCardel, "ppCardel", false, {{"_ppCardel", IMPLTYPEFLAG_FDEFAULT}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ComPtr<ITypeInfo> info = Info(*c.clsid);
    ASSERT_TRUE(info);
    const auto attr = Attr(*info.Get());
    EXPECT_EQ(attr->typekind, TKIND_COCLASS);
    EXPECT_EQ(Name(*info.Get()), c.name);
    EXPECT_EQ((attr->wTypeFlags & TYPEFLAG_FCONTROL) != 0, c.control);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCANCREATE);
    Implemented implemented;
    for (UINT i = 0; i < attr->cImplTypes; ++i) {
      INT flags = 0;
      HREFTYPE ref = 0;
      ComPtr<ITypeInfo> implementedInfo;
      ASSERT_EQ(info->GetImplTypeFlags(i, &flags), S_OK);
      ASSERT_EQ(info->GetRefTypeOfImplType(i, &ref), S_OK);
      ASSERT_EQ(info->GetRefTypeInfo(ref, &implementedInfo), S_OK);
      implemented.emplace_back(Name(*implementedInfo.Get()), flags);
    }
    EXPECT_EQ(implemented, c.implemented);
  }
}

}  // namespace
}  // namespace cardel::oletest
