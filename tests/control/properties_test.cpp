// The control's properties through its automation interface, hosted in the test container: the values of a
// newly placed control, what the setters accept and store, what they tell the host and when they repaint.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "container.h"
#include "control/property_catalogue.h"
#include "control_access.h"
#include "library.h"
#include "ole_support.h"
#include "recorders.h"

namespace cardel::controltest {
namespace {

using oletest::Narrow;
using host::Container;
using host::ControlOptions;
using host::EventRecorder;
using host::HostedControl;
using host::Library;
using host::PropertyNotifyRecorder;
namespace event_id = host::event_id;

constexpr HRESULT kInvalidProcedureCall = static_cast<HRESULT>(0x800A0005);
constexpr HRESULT kOverflow = static_cast<HRESULT>(0x800A0006);
constexpr HRESULT kTypeMismatch = static_cast<HRESULT>(0x800A000D);

class PropertiesTest : public testing::Test {
 protected:
  void SetUp() override { Open({}); }

  void Open(const ControlOptions& options) {
    changes_.Disconnect();
    events_.Disconnect();
    if (control_) box_.Remove(*control_);
    control_ = &box_.Add({20, 20, 140, 60}, options);
    ASSERT_HRESULT_SUCCEEDED(control_->LoadResult());
    cardel_ = control_->Cardel();
    props_.emplace(control_->Unknown());
    ASSERT_HRESULT_SUCCEEDED(changes_.Connect(control_->Unknown()));
    ASSERT_HRESULT_SUCCEEDED(events_.Connect(control_->Unknown()));
    Settle();
  }
  // Paints what creation left pending, so that later counts see only what the test caused.
  void Settle() {
    box_.Repaint();
    changes_.Clear();
    events_.Clear();
  }
  size_t Paints() const { return events_.Count(event_id::PrePaint); }
  const ByName& Props() const { return *props_; }
  std::vector<DISPID> Ids(std::initializer_list<const wchar_t*> names) const {
    std::vector<DISPID> ids;
    for (const wchar_t* name : names) ids.push_back(Props().Id(name));
    return ids;
  }
  // Through the early-bound setter, which takes the caption by reference.
  HRESULT PutCaption(const std::wstring& text) {
    oletest::UniqueBstr owned(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    BSTR argument = owned.get();
    const HRESULT hr = cardel_->put_Caption(&argument);
    EXPECT_EQ(argument, owned.get()) << "the caller's string stays the caller's";
    return hr;
  }

  Library library_;
  Container box_{library_};
  HostedControl* control_ = nullptr;
  ComPtr<_ucCardel> cardel_;
  std::optional<ByName> props_;
  PropertyNotifyRecorder changes_;
  EventRecorder events_;
};

struct Expected {
  const wchar_t* name;
  int32_t value;
};

TEST_F(PropertiesTest, NewControlHasItsInitialValuesAndTheAmbientOnes) {
  Open({.display_name = L"Greeting7", .ambients = [](host::Ambients& ambients) {
          ambients.SetBackColor(0x00345678);
          ambients.SetFont(L"Tahoma", 11.25, true);
        }});
  const Expected initial[] = {
      {L"FrontColor", 0x00345678},
      {L"BackColorOpacity", 100},
      {L"BorderColor", int32_t(0x8000000A)},
      {L"BorderColorOpacity", 100},
      {L"BorderPosition", 1},
      {L"CaptionBorderColor", int32_t(0x8000000E)},
      {L"CaptionAlignmentH", 1},
      {L"CaptionAlignmentV", 1},
      {L"ForeColor", int32_t(0x80000012)},
      {L"ForeColorOpacity", 100},
      {L"GradientColor1", 0x00D3A042},
      {L"GradientColor1Opacity", 100},
      {L"GradientColor2", 0x00E96E9B},
      {L"GradientColor2Opacity", 100},
      {L"PictureOpacity", 100},
      {L"HotLineColor", int32_t(0x8000000D)},
      {L"HotLineColorOpacity", 100},
      {L"HotLineWidth", 5},
      {L"HotLinePosition", 3},
      {L"WordWrap", VARIANT_TRUE},
      {L"Enabled", VARIANT_TRUE},
      {L"Redraw", VARIANT_TRUE},
      // Members the initialisation leaves at their creation value, although a saved form that lacks
      // them loads other defaults.
      {L"BackShadow", VARIANT_FALSE},
      {L"ShadowColorOpacity", 0},
      {L"CallOutAlign", 0},
      {L"CallOutWidth", 0},
      {L"CallOutLen", 0},
      {L"IconForeColor", 0},
      {L"IconOpacity", 0},
      {L"AutoSize", VARIANT_FALSE},
      {L"ShadowSize", 0},
      {L"Border", VARIANT_FALSE},
      {L"Gradient", VARIANT_FALSE},
      {L"PictureContrast", 0},
      {L"PictureExist", VARIANT_FALSE},
  };
  for (const Expected& e : initial) EXPECT_EQ(Props().Int(e.name), e.value) << Narrow(e.name);
  EXPECT_EQ(Props().Text(L"Caption"), L"Greeting7");
  EXPECT_EQ(Props().Text(L"IconCharCode"), L"&H0");
  EXPECT_TRUE(changes_.Changed().empty());

  // The ambient font lends its attributes; the control keeps its own objects.
  const ComPtr<IFontDisp> ambient = control_->Ambient().Font();
  const FontAttributes lent = AttributesOf(ambient.Get());
  EXPECT_EQ(lent.size, 112500);
  for (const wchar_t* name : {L"Font", L"IconFont"}) {
    EXPECT_EQ(FontOf(Props(), name), lent) << Narrow(name);
    EXPECT_FALSE(SameObject(Props().Get(name)->pdispVal, ambient.Get())) << Narrow(name);
  }
  ComPtr<IFont> changed;
  ASSERT_HRESULT_SUCCEEDED(ambient.As(&changed));
  ASSERT_HRESULT_SUCCEEDED(changed->put_Size(CY{.int64 = 300000}));
  EXPECT_EQ(FontOf(Props(), L"Font"), lent);

  // Each container is asked when its own control is initialised.
  HostedControl& second = box_.Add({150, 70, 250, 110}, {.display_name = L"Second", .ambients = [](auto& a) {
                                                          a.SetBackColor(0x0000FF00);
                                                          a.SetFont(L"Tahoma", 20);
                                                        }});
  const ByName other(second.Unknown());
  EXPECT_EQ(other.Int(L"FrontColor"), 0x0000FF00);
  EXPECT_EQ(other.Text(L"Caption"), L"Second");
  EXPECT_EQ(FontOf(other, L"Font"), AttributesOf(second.Ambient().Font().Get()));
  EXPECT_NE(FontOf(other, L"Font").size, lent.size);
}

TEST_F(PropertiesTest, SettersClampToTheirRangesAndRefuseWhatOverflows) {
  std::vector<std::tuple<const wchar_t*, int32_t, int32_t>> cases = {
      {L"GradientAngle", 360, 359},     {L"GradientAngle", -1, 0},       {L"ShadowSize", 200, 100},
      {L"ShadowSize", -1, 0},           {L"CaptionBorderWidth", -3, 0},  {L"CaptionBorderWidth", 500, 500},
      {L"PictureContrast", 250, 100},   {L"PictureContrast", -250, -100}, {L"PictureBrightness", 101, 100},
      {L"PictureBrightness", -101, -100},
  };
  // Every opacity the interface publishes, so that a new one cannot be left unclamped.
  size_t opacities = 0;
  for (const PropertyInfo& row : PropertyCatalogue()) {
    if (!std::wstring_view(row.name).ends_with(L"Opacity")) continue;
    ++opacities;
    cases.insert(cases.end(), {{row.name, 150, 100}, {row.name, -5, 0}, {row.name, 55, 55}});
  }
  EXPECT_EQ(opacities, 9u);
  for (const auto& [name, set, stored] : cases) {
    SCOPED_TRACE(Narrow(name) + " = " + std::to_string(set));
    EXPECT_EQ(Props().PutInt(name, set), S_OK);
    EXPECT_EQ(Props().Int(name), stored);
  }

  ASSERT_EQ(cardel_->put_PictureContrast(12), S_OK);
  ASSERT_EQ(cardel_->put_PictureBrightness(-7), S_OK);
  Settle();
  EXPECT_EQ(cardel_->put_PictureContrast(40000), kOverflow);
  EXPECT_EQ(cardel_->put_PictureContrast(-32769), kOverflow);
  EXPECT_EQ(cardel_->put_PictureBrightness(40000), kOverflow);
  EXPECT_EQ(Props().Put(L"PictureContrast", Variant::Long(40000)), kOverflow);
  EXPECT_EQ(Props().Int(L"PictureContrast"), 12);
  EXPECT_EQ(Props().Int(L"PictureBrightness"), -7);
  EXPECT_TRUE(changes_.Changed().empty());
  EXPECT_EQ(Paints(), 0u);
}

// Every row of the property table, set by name as a script sets it: the value comes back and the host
// hears of it once, under the DISPID the type library gives the name.
TEST_F(PropertiesTest, EveryCatalogueRowStoresAndReportsUnderItsDispid) {
  const std::set<std::wstring> silent = {L"AutoSize", L"Redraw"};
  for (const PropertyInfo& row : PropertyCatalogue()) {
    SCOPED_TRACE(Narrow(row.name));
    const Variant before = Props().Get(row.name);
    const int32_t old = Bits(before);
    const int32_t wanted = before.vt() == VT_BOOL ? (old ? VARIANT_FALSE : VARIANT_TRUE) : (old == 2 ? 3 : 2);
    changes_.Clear();
    ASSERT_EQ(Props().Put(row.name, Typed(before.vt(), wanted)), S_OK);
    const Variant after = Props().Get(row.name);
    EXPECT_EQ(after.vt(), before.vt());
    EXPECT_EQ(Bits(after), wanted);
    EXPECT_EQ(Props().Id(row.name), row.dispid);
    EXPECT_EQ(changes_.Changed(), silent.contains(row.name) ? std::vector<DISPID>{} : std::vector{row.dispid});
  }
}

// The table of stored properties and the published interface describe the same scalar members with the
// same widths, both ways.
TEST_F(PropertiesTest, CatalogueAndTypeLibraryAgree) {
  ComPtr<ITypeInfo> info, vtable;
  HREFTYPE vtable_side = 0;
  ASSERT_HRESULT_SUCCEEDED(Props().Dispatch().GetTypeInfo(0, LOCALE_USER_DEFAULT, &info));
  if (SUCCEEDED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtable_side)) &&
      SUCCEEDED(info->GetRefTypeInfo(vtable_side, &vtable)))
    info = vtable;
  TYPEATTR* attr = nullptr;
  ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attr));
  const WORD functions = attr->cFuncs;
  info->ReleaseTypeAttr(attr);

  std::map<std::wstring, std::pair<DISPID, int>> published;  // name: DISPID and width in bytes
  for (WORD i = 0; i < functions; ++i) {
    FUNCDESC* desc = nullptr;
    ASSERT_HRESULT_SUCCEEDED(info->GetFuncDesc(i, &desc));
    const bool scalar_put = desc->invkind == INVOKE_PROPERTYPUT && desc->cParams == 1;
    TYPEDESC type = scalar_put ? desc->lprgelemdescParam[0].tdesc : TYPEDESC{.vt = VT_EMPTY};
    int width = 0;
    if (type.vt == VT_USERDEFINED) {
      ComPtr<ITypeInfo> referenced;
      TYPEATTR* ref = nullptr;
      if (SUCCEEDED(info->GetRefTypeInfo(type.hreftype, &referenced)) && SUCCEEDED(referenced->GetTypeAttr(&ref))) {
        if (ref->typekind == TKIND_ENUM) width = 4;
        if (ref->typekind == TKIND_ALIAS) type = ref->tdescAlias;
        referenced->ReleaseTypeAttr(ref);
      }
    }
    if (type.vt == VT_I2 || type.vt == VT_BOOL) width = 2;
    if (type.vt == VT_I4 || type.vt == VT_UI4) width = 4;
    if (width) {
      BSTR name = nullptr;
      info->GetDocumentation(desc->memid, &name, nullptr, nullptr, nullptr);
      oletest::UniqueBstr owned(name);
      published[std::wstring(name, SysStringLen(name))] = {desc->memid, width};
    }
    info->ReleaseFuncDesc(desc);
  }

  std::map<std::wstring, std::pair<DISPID, int>> in_table;
  for (const PropertyInfo& row : PropertyCatalogue()) in_table[row.name] = {row.dispid, row.publishedBytes};
  EXPECT_EQ(in_table, published);
}

TEST_F(PropertiesTest, NotificationsFollowTheSettersInOrder) {
  ComPtr<IFontDisp> font = MakeFont({L"Tahoma", 120000, true, false, false, false, FW_BOLD, ANSI_CHARSET});
  ASSERT_EQ(cardel_->put_FrontColor(0x00102030), S_OK);
  ASSERT_EQ(PutCaption(L"Next"), S_OK);
  ASSERT_EQ(cardel_->put_BorderWidth(3), S_OK);
  ASSERT_EQ(cardel_->put_AutoSize(VARIANT_FALSE), S_OK);
  ASSERT_EQ(cardel_->putref_Font(font.Get()), S_OK);
  ASSERT_EQ(cardel_->put_Redraw(VARIANT_TRUE), S_OK);
  ASSERT_EQ(cardel_->put_IconCharCode(oletest::UniqueBstr(SysAllocString(L"U+F101")).get()), S_OK);
  ASSERT_EQ(cardel_->putref_IconFont(font.Get()), S_OK);
  ASSERT_EQ(cardel_->put_Enabled(VARIANT_FALSE), S_OK);
  ASSERT_EQ(cardel_->put_GradientAngle(400), S_OK);
  EXPECT_EQ(changes_.Changed(), Ids({L"FrontColor", L"Caption", L"BorderWidth", L"Font", L"IconCharCode",
                                     L"IconFont", L"Enabled", L"GradientAngle"}));
}

// Each repainting setter paints once, synchronously; the others do not paint at all.
TEST_F(PropertiesTest, SettersRepaintOnceExceptThoseThatDoNotShow) {
  const std::tuple<const wchar_t*, int32_t, size_t> cases[] = {
      {L"FrontColor", 0x00FF0000, 1},       {L"Border", VARIANT_TRUE, 1},   {L"CaptionAngle", 30, 1},
      {L"IconOpacity", 50, 1},              {L"ShadowOffsetX", 4, 1},       {L"MouseToParent", VARIANT_TRUE, 0},
      {L"Enabled", VARIANT_FALSE, 0},       {L"MousePointer", 2, 0},        {L"OLEDropMode", 1, 0},
      {L"Redraw", VARIANT_TRUE, 0},
  };
  for (const auto& [name, value, paints] : cases) {
    events_.Clear();
    ASSERT_EQ(Props().PutInt(name, value), S_OK) << Narrow(name);
    EXPECT_EQ(Paints(), paints) << Narrow(name);
  }
}

TEST_F(PropertiesTest, WithRedrawOffSettersStoreAndNotifyWithoutPainting) {
  ASSERT_EQ(cardel_->put_Redraw(VARIANT_FALSE), S_OK);
  ASSERT_EQ(cardel_->put_FrontColor(0x000000FF), S_OK);
  ASSERT_EQ(PutCaption(L"Quiet"), S_OK);
  ASSERT_EQ(cardel_->put_BackColorOpacity(40), S_OK);
  ASSERT_EQ(cardel_->Refresh(), S_OK);
  EXPECT_EQ(Paints(), 0u);
  EXPECT_EQ(changes_.Changed(), Ids({L"FrontColor", L"Caption", L"BackColorOpacity"}));
  EXPECT_EQ(Props().Int(L"FrontColor"), 0x000000FF);
  EXPECT_EQ(Props().Text(L"Caption"), L"Quiet");

  ASSERT_EQ(cardel_->put_Redraw(VARIANT_TRUE), S_OK);
  EXPECT_EQ(Paints(), 0u) << "setting Redraw does not repaint by itself";
  ASSERT_EQ(cardel_->Refresh(), S_OK);
  EXPECT_EQ(Paints(), 1u);
}

TEST_F(PropertiesTest, CaptionRoundTripsEveryUtf16Unit) {
  const std::wstring cases[] = {
      L"Gr\u00FC\u00DFe \u2713 \U0001F600", L"", std::wstring(L"a\0b", 3), L"\xD800 lone surrogate",
      std::wstring(5000, L'\u4E2D'),
  };
  for (const std::wstring& text : cases) {
    SCOPED_TRACE(Narrow(text.substr(0, 20)));
    changes_.Clear();
    ASSERT_EQ(PutCaption(text), S_OK);
    EXPECT_EQ(Props().Text(L"Caption"), text);
    EXPECT_EQ(changes_.Changed(), Ids({L"Caption"}));
    ASSERT_EQ(Props().Put(L"Caption", Variant::String(text)), S_OK);
    EXPECT_EQ(Props().Text(L"Caption"), text);
  }
}

TEST_F(PropertiesTest, IconCharCodeTakesItsTextFormsAndKeepsTheOldCodeOnError) {
  const std::tuple<const wchar_t*, HRESULT, const wchar_t*> cases[] = {
      {L"U+F101", S_OK, L"&HF101"},       {L"u+f101", S_OK, L"&HF101"},         {L"&HF101", S_OK, L"&HF101"},
      {L"F101", S_OK, L"&HF101"},         {L"F 101", S_OK, L"&HF101"},          {L"59393", S_OK, L"&HE801"},
      {L"1E00", S_OK, L"&H1"},            {L"&HFFFFFFFF", S_OK, L"&HFFFFFFFF"}, {L"", kTypeMismatch, L"&HE801"},
      {L"XYZ", kTypeMismatch, L"&HE801"}, {L"&H123456789", kOverflow, L"&HE801"},
  };
  for (const auto& [text, result, reads] : cases) {
    SCOPED_TRACE(Narrow(text));
    if (FAILED(result)) {
      ASSERT_EQ(Props().Put(L"IconCharCode", Variant::String(L"E801")), S_OK);
    }
    changes_.Clear();
    EXPECT_EQ(Props().Put(L"IconCharCode", Variant::String(text)), result);
    EXPECT_EQ(Props().Text(L"IconCharCode"), reads);
    EXPECT_EQ(changes_.Changed().size(), SUCCEEDED(result) ? 1u : 0u);
  }
  // A number is coerced to its text and read as decimal.
  ASSERT_EQ(Props().Put(L"IconCharCode", Variant::Long(61697)), S_OK);
  EXPECT_EQ(Props().Text(L"IconCharCode"), L"&HF101");
}

TEST_F(PropertiesTest, ChrW2GivesUtf16TextThroughDispatch) {
  const std::tuple<long, HRESULT, std::wstring> cases[] = {
      {0x1F600, S_OK, L"\xD83D\xDE00"},      {65, S_OK, L"A"},
      {-1, S_OK, L"\xFFFF"},                 {-32768, S_OK, L"\x8000"},
      {0x10FFFF, S_OK, L"\xDBFF\xDFFF"},     {-40000, kInvalidProcedureCall, L""},
      {-32769, kInvalidProcedureCall, L""},
  };
  for (const auto& [code, result, text] : cases) {
    Variant value;
    EXPECT_EQ(Props().Call(L"ChrW2", {Variant::Long(code)}, value), result) << code;
    if (SUCCEEDED(result)) {
      EXPECT_EQ(value.ToString(), text) << code;
    }
  }
}

// Setting a font, by value or by reference, copies the caller's attributes into the control's own font
// object; the other font property stays as it was.
TEST_F(PropertiesTest, FontSettersCopyTheAttributesAndNotTheObject) {
  const FontAttributes given[] = {
      {L"Tahoma", 140000, true, true, true, true, FW_BOLD, ANSI_CHARSET},
      {L"Tahoma", 65000, false, true, false, false, FW_LIGHT, SYMBOL_CHARSET},
  };
  for (const bool by_reference : {true, false}) {
    for (const auto& [property, other] : {std::pair{L"Font", L"IconFont"}, std::pair{L"IconFont", L"Font"}}) {
      for (const FontAttributes& attributes : given) {
        SCOPED_TRACE(Narrow(property) + (by_reference ? " putref " : " put ") + std::to_string(attributes.size));
        ComPtr<IFontDisp> callers = MakeFont(attributes);
        const FontAttributes stored = AttributesOf(callers.Get()), untouched = FontOf(Props(), other);
        Settle();
        const Variant argument = Variant::Object(static_cast<IDispatch*>(callers.Get()));
        ASSERT_EQ(by_reference ? Props().PutRef(property, argument) : Props().Put(property, argument), S_OK);
        EXPECT_FALSE(SameObject(Props().Get(property)->pdispVal, callers.Get()));
        EXPECT_EQ(FontOf(Props(), property), stored);
        EXPECT_EQ(FontOf(Props(), other), untouched);
        EXPECT_EQ(changes_.Changed(), Ids({property}));
        EXPECT_EQ(Paints(), 1u);

        ComPtr<IFont> change;
        ASSERT_HRESULT_SUCCEEDED(callers.As(&change));
        change->put_Size(CY{.int64 = 310000});
        change->put_Italic(!attributes.italic);
        EXPECT_EQ(FontOf(Props(), property), stored);
      }
    }
  }
}

// Late-bound callers may pass any variant: automation coerces it to the declared type, or the call fails
// and nothing is stored.
TEST_F(PropertiesTest, WrongVariantTypesAreCoercedOrRefusedWithoutStoring) {
  ASSERT_EQ(cardel_->put_PictureSetWidth(9), S_OK);
  const struct {
    const char* what;
    const wchar_t* property;
    Variant value;
    HRESULT result;
    int32_t stored;  // what the property reads afterwards
  } cases[] = {
      {"numeric text", L"CaptionPaddingX", Variant::String(L"42"), S_OK, 42},
      {"a half rounds to even", L"CaptionPaddingX", Variant::Double(2.5), S_OK, 2},
      {"another half rounds to even", L"CaptionPaddingX", Variant::Double(3.5), S_OK, 4},
      {"text that is no number", L"CaptionPaddingX", Variant::String(L"abc"), DISP_E_TYPEMISMATCH, 4},
      {"too wide for 16 bits", L"CaptionPaddingX", Variant::Long(40000), DISP_E_OVERFLOW, 4},
      {"too wide for 32 bits", L"PictureSetWidth", Variant::Double(1e10), DISP_E_OVERFLOW, 9},
      {"any non-zero number is True", L"Border", Variant::Short(5), S_OK, VARIANT_TRUE},
      {"numeric text for a colour", L"FrontColor", Variant::String(L"255"), S_OK, 255},
      {"text coerced, then clamped", L"GradientAngle", Variant::String(L"400"), S_OK, 359},
      {"an object for a number", L"GradientAngle", Variant::Object(static_cast<IUnknown*>(nullptr)),
       DISP_E_TYPEMISMATCH, 359},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    changes_.Clear();
    EXPECT_EQ(Props().Put(c.property, c.value), c.result);
    EXPECT_EQ(Props().Int(c.property), c.stored);
    EXPECT_EQ(changes_.Changed().size(), SUCCEEDED(c.result) ? 1u : 0u);
  }

  ASSERT_EQ(Props().Put(L"Caption", Variant::Long(12)), S_OK);
  EXPECT_EQ(Props().Text(L"Caption"), L"12");
  const FontAttributes font = FontOf(Props(), L"Font");
  EXPECT_TRUE(FAILED(Props().Put(L"Font", Variant::Long(5))));
  EXPECT_EQ(FontOf(Props(), L"Font"), font);
}

}  // namespace
}  // namespace cardel::controltest
