// The control's properties through its automation interface, hosted in the test container: the values of a
// newly placed control, what the setters accept and store, what they tell the host and when they repaint.
#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "container.h"
#include "control/property_catalogue.h"
#include "control_access.h"
#include "library.h"
#include "ole_support.h"
#include "recorders.h"

namespace cardel::controltest {
namespace {

using testhost::Container;
using testhost::ControlOptions;
using testhost::EventRecorder;
using testhost::HostedControl;
using testhost::Library;
using testhost::PropertyNotifyRecorder;
namespace event_id = testhost::event_id;

constexpr HRESULT kInvalidProcedureCall = static_cast<HRESULT>(0x800A0005);
constexpr HRESULT kOverflow = static_cast<HRESULT>(0x800A0006);
constexpr HRESULT kTypeMismatch = static_cast<HRESULT>(0x800A000D);
constexpr RECT kRect{20, 20, 140, 60};

class PropertiesTest : public testing::Test {
 protected:
  void SetUp() override { Open({}); }

  void Open(const ControlOptions& options) {
    changes_.Disconnect();
    events_.Disconnect();
    if (control_) box_.Remove(*control_);
    control_ = &box_.Add(kRect, options);
    ASSERT_HRESULT_SUCCEEDED(control_->LoadResult());
    cardel_ = control_->Cardel();
    ASSERT_TRUE(cardel_);
    by_name_.emplace(control_->Unknown());
    ASSERT_HRESULT_SUCCEEDED(changes_.Connect(control_->Unknown()));
    ASSERT_HRESULT_SUCCEEDED(events_.Connect(control_->Unknown()));
    Settle();
  }

  // Paints what creation left pending, so that later counts see only what the test caused.
  void Settle() {
    box_.Repaint();
    box_.PumpMessages();
    changes_.Clear();
    events_.Clear();
  }

  size_t Paints() const { return events_.Count(event_id::PrePaint); }
  const ByName& Props() const { return *by_name_; }

  HRESULT PutCaption(std::wstring_view text) {
    oletest::UniqueBstr owned(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    BSTR argument = owned.get();
    return cardel_->put_Caption(&argument);
  }
  std::wstring Caption() {
    BSTR text = nullptr;
    if (FAILED(cardel_->get_Caption(&text))) return L"<failed>";
    oletest::UniqueBstr owned(text);
    return std::wstring(text, SysStringLen(text));
  }

  Library library_;
  Container box_{library_};
  HostedControl* control_ = nullptr;
  ComPtr<_ucCardel> cardel_;
  std::optional<ByName> by_name_;
  PropertyNotifyRecorder changes_;
  EventRecorder events_;
};

struct Expected {
  const wchar_t* name;
  int32_t value;
};

TEST_F(PropertiesTest, NewControlHasItsInitialValuesAndTheAmbientOnes) {
  ControlOptions options;
  options.display_name = L"Greeting7";
  options.ambients = [](testhost::Ambients& ambients) {
    ambients.SetBackColor(0x00345678);
    ambients.SetFont(L"Tahoma", 11.25, true);
  };
  Open(options);

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
  for (const Expected& e : initial) EXPECT_EQ(Props().Int(e.name), e.value) << oletest::Narrow(e.name);

  EXPECT_EQ(Caption(), L"Greeting7");
  EXPECT_EQ(Props().Text(L"IconCharCode"), L"&H0");
  const FontAttributes ambient = AttributesOf(control_->Ambient().Font().Get());
  EXPECT_EQ(ambient.size, 112500);
  for (const wchar_t* font : {L"Font", L"IconFont"}) {
    const Variant value = Props().Get(font);
    ASSERT_EQ(value.vt(), VT_DISPATCH) << oletest::Narrow(font);
    EXPECT_EQ(AttributesOf(value->pdispVal), ambient) << oletest::Narrow(font);
  }
  EXPECT_TRUE(changes_.Changed().empty());
}

// The ambient font lends its attributes; the control does not keep the container's object.
TEST_F(PropertiesTest, NewControlFontsAreItsOwnObjects) {
  const ComPtr<IFontDisp> ambient = control_->Ambient().Font();
  const FontAttributes before = AttributesOf(ambient.Get());
  ComPtr<IFontDisp> font, icon_font;
  ASSERT_HRESULT_SUCCEEDED(cardel_->get_Font(&font));
  ASSERT_HRESULT_SUCCEEDED(cardel_->get_IconFont(&icon_font));
  EXPECT_FALSE(SameObject(font.Get(), ambient.Get()));
  EXPECT_FALSE(SameObject(icon_font.Get(), ambient.Get()));

  ComPtr<IFont> ambient_font;
  ASSERT_HRESULT_SUCCEEDED(ambient.As(&ambient_font));
  ASSERT_HRESULT_SUCCEEDED(ambient_font->put_Size(CY{.int64 = 300000}));
  EXPECT_EQ(AttributesOf(font.Get()), before);
  EXPECT_EQ(AttributesOf(icon_font.Get()), before);
}

// Each container's ambients are asked when its control is initialised, not remembered from another.
TEST_F(PropertiesTest, EveryNewControlAsksItsOwnContainer) {
  ControlOptions first, second;
  first.display_name = L"First";
  first.ambients = [](testhost::Ambients& a) { a.SetBackColor(0x000000FF); };
  second.display_name = L"Second";
  second.ambients = [](testhost::Ambients& a) {
    a.SetBackColor(0x0000FF00);
    a.SetFont(L"Tahoma", 20);
  };
  HostedControl& one = box_.Add({150, 20, 250, 60}, first);
  HostedControl& two = box_.Add({150, 70, 250, 110}, second);
  const ByName a(one.Unknown()), b(two.Unknown());
  EXPECT_EQ(a.Int(L"FrontColor"), 0x000000FF);
  EXPECT_EQ(b.Int(L"FrontColor"), 0x0000FF00);
  EXPECT_EQ(a.Text(L"Caption"), L"First");
  EXPECT_EQ(b.Text(L"Caption"), L"Second");
  const FontAttributes first_font = AttributesOf(a.Get(L"Font")->pdispVal);
  const FontAttributes second_font = AttributesOf(b.Get(L"Font")->pdispVal);
  EXPECT_EQ(first_font, AttributesOf(one.Ambient().Font().Get()));
  EXPECT_EQ(second_font, AttributesOf(two.Ambient().Font().Get()));
  EXPECT_NE(first_font.size, second_font.size);
}

struct Clamp {
  const wchar_t* name;
  int32_t set;
  int32_t stored;
};

TEST_F(PropertiesTest, SettersClampToTheirRanges) {
  std::vector<Clamp> cases = {
      {L"GradientAngle", 360, 359},       {L"GradientAngle", -1, 0},         {L"GradientAngle", 359, 359},
      {L"ShadowSize", 200, 100},          {L"ShadowSize", -1, 0},            {L"CaptionBorderWidth", -3, 0},
      {L"CaptionBorderWidth", 500, 500},  {L"PictureContrast", 250, 100},    {L"PictureContrast", -250, -100},
      {L"PictureBrightness", 101, 100},   {L"PictureBrightness", -101, -100}, {L"PictureContrast", 32767, 100},
  };
  // Every opacity the interface publishes, so that a new one cannot be left unclamped.
  size_t opacities = 0;
  for (const PropertyInfo& row : PropertyCatalogue()) {
    if (!std::wstring_view(row.name).ends_with(L"Opacity")) continue;
    ++opacities;
    for (const Clamp& c : {Clamp{row.name, 150, 100}, Clamp{row.name, -5, 0}, Clamp{row.name, 0, 0},
                           Clamp{row.name, 100, 100}, Clamp{row.name, 55, 55}})
      cases.push_back(c);
  }
  EXPECT_EQ(opacities, 9u);

  for (const Clamp& c : cases) {
    SCOPED_TRACE(oletest::Narrow(c.name) + " = " + std::to_string(c.set));
    EXPECT_EQ(Props().PutInt(c.name, c.set), S_OK);
    EXPECT_EQ(Props().Int(c.name), c.stored);
  }
}

TEST_F(PropertiesTest, ContrastAndBrightnessOutside16BitsOverflowAndKeepTheOldValue) {
  ASSERT_EQ(cardel_->put_PictureContrast(12), S_OK);
  ASSERT_EQ(cardel_->put_PictureBrightness(-7), S_OK);
  Settle();

  EXPECT_EQ(cardel_->put_PictureContrast(40000), kOverflow);
  EXPECT_EQ(cardel_->put_PictureContrast(-32769), kOverflow);
  EXPECT_EQ(cardel_->put_PictureBrightness(40000), kOverflow);
  EXPECT_EQ(Props().Put(L"PictureContrast", Variant::Long(40000)), kOverflow);
  LONG contrast = 0, brightness = 0;
  ASSERT_EQ(cardel_->get_PictureContrast(&contrast), S_OK);
  ASSERT_EQ(cardel_->get_PictureBrightness(&brightness), S_OK);
  EXPECT_EQ(contrast, 12);
  EXPECT_EQ(brightness, -7);
  EXPECT_TRUE(changes_.Changed().empty());
  EXPECT_EQ(Paints(), 0u);
}

// Every row of the property table, set by name as a script sets it: the value comes back and the host
// hears of it once, under the DISPID the type library gives the name.
TEST_F(PropertiesTest, EveryCatalogueRowStoresAndReportsUnderItsDispid) {
  const std::set<std::wstring> silent = {L"AutoSize", L"Redraw"};
  for (const PropertyInfo& row : PropertyCatalogue()) {
    const std::wstring name = row.name;
    SCOPED_TRACE(oletest::Narrow(name));
    const Variant before = Props().Get(name);
    const bool boolean = before.vt() == VT_BOOL;
    const int32_t old = Bits(before);
    const int32_t wanted = boolean ? (old ? VARIANT_FALSE : VARIANT_TRUE) : (old == 2 ? 3 : 2);
    changes_.Clear();

    ASSERT_EQ(Props().Put(name, Typed(before.vt(), wanted)), S_OK);
    const Variant after = Props().Get(name);
    EXPECT_EQ(after.vt(), before.vt());
    EXPECT_EQ(Bits(after), wanted);
    const std::vector<DISPID> expected =
        silent.contains(name) ? std::vector<DISPID>{} : std::vector<DISPID>{Props().Id(name)};
    EXPECT_EQ(changes_.Changed(), expected);
    EXPECT_EQ(Props().Id(name), row.dispid);
  }
}

// The table of stored properties and the published interface describe the same members, both ways.
TEST_F(PropertiesTest, CatalogueAndTypeLibraryAgree) {
  ComPtr<ITypeInfo> info;
  ASSERT_HRESULT_SUCCEEDED(Props().Dispatch().GetTypeInfo(0, LOCALE_USER_DEFAULT, &info));
  HREFTYPE vtable_side = 0;
  if (ComPtr<ITypeInfo> vtable; SUCCEEDED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtable_side)) &&
                                SUCCEEDED(info->GetRefTypeInfo(vtable_side, &vtable)))
    info = vtable;
  TYPEATTR* attr = nullptr;
  ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attr));
  const WORD functions = attr->cFuncs;
  info->ReleaseTypeAttr(attr);

  // Published width of every scalar property the interface lets a client put.
  std::map<std::wstring, std::pair<DISPID, int>> published;
  for (WORD i = 0; i < functions; ++i) {
    FUNCDESC* desc = nullptr;
    ASSERT_HRESULT_SUCCEEDED(info->GetFuncDesc(i, &desc));
    if (desc->invkind == INVOKE_PROPERTYPUT && desc->cParams == 1) {
      TYPEDESC type = desc->lprgelemdescParam[0].tdesc;
      int width = 0;
      if (type.vt == VT_USERDEFINED) {
        ComPtr<ITypeInfo> referenced;
        TYPEATTR* ref = nullptr;
        if (SUCCEEDED(info->GetRefTypeInfo(type.hreftype, &referenced)) &&
            SUCCEEDED(referenced->GetTypeAttr(&ref))) {
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
    }
    info->ReleaseFuncDesc(desc);
  }

  std::set<std::wstring> in_table;
  for (const PropertyInfo& row : PropertyCatalogue()) {
    SCOPED_TRACE(oletest::Narrow(row.name));
    in_table.insert(row.name);
    const auto found = published.find(row.name);
    ASSERT_NE(found, published.end()) << "in the table but not a scalar property of the interface";
    EXPECT_EQ(found->second.first, row.dispid);
    EXPECT_EQ(found->second.second, row.publishedBytes);
  }
  for (const auto& [name, id] : published)
    EXPECT_TRUE(in_table.contains(name)) << oletest::Narrow(name) << " is published but not in the table";
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

  EXPECT_EQ(changes_.Changed(),
            (std::vector<DISPID>{Props().Id(L"FrontColor"), Props().Id(L"Caption"), Props().Id(L"BorderWidth"),
                                 Props().Id(L"Font"), Props().Id(L"IconCharCode"), Props().Id(L"IconFont"),
                                 Props().Id(L"Enabled"), Props().Id(L"GradientAngle")}));
}

// Each repainting setter paints once, synchronously; the others do not paint at all.
TEST_F(PropertiesTest, SettersRepaintOnceExceptThoseThatDoNotShow) {
  const struct {
    const wchar_t* name;
    int32_t value;
    size_t paints;
  } cases[] = {
      {L"FrontColor", 0x00FF0000, 1}, {L"Border", VARIANT_TRUE, 1},        {L"CaptionAngle", 30, 1},
      {L"IconOpacity", 50, 1},        {L"ShadowOffsetX", 4, 1},            {L"MouseToParent", VARIANT_TRUE, 0},
      {L"Enabled", VARIANT_FALSE, 0}, {L"MousePointer", 2, 0},             {L"OLEDropMode", 1, 0},
      {L"Redraw", VARIANT_TRUE, 0},   {L"MouseToParent", VARIANT_FALSE, 0}, {L"Enabled", VARIANT_TRUE, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(oletest::Narrow(c.name));
    events_.Clear();
    ASSERT_EQ(Props().PutInt(c.name, c.value), S_OK);
    EXPECT_EQ(Paints(), c.paints);
  }
}

TEST_F(PropertiesTest, WithRedrawOffSettersStoreAndNotifyWithoutPainting) {
  ASSERT_EQ(cardel_->put_Redraw(VARIANT_FALSE), S_OK);
  ASSERT_EQ(cardel_->put_FrontColor(0x000000FF), S_OK);
  ASSERT_EQ(PutCaption(L"Quiet"), S_OK);
  ASSERT_EQ(cardel_->put_BackColorOpacity(40), S_OK);
  ASSERT_EQ(cardel_->Refresh(), S_OK);
  EXPECT_EQ(Paints(), 0u);
  EXPECT_EQ(changes_.Changed(),
            (std::vector<DISPID>{Props().Id(L"FrontColor"), Props().Id(L"Caption"), Props().Id(L"BackColorOpacity")}));
  EXPECT_EQ(Props().Int(L"FrontColor"), 0x000000FF);
  EXPECT_EQ(Caption(), L"Quiet");

  ASSERT_EQ(cardel_->put_Redraw(VARIANT_TRUE), S_OK);
  EXPECT_EQ(Paints(), 0u) << "setting Redraw does not repaint by itself";
  EXPECT_EQ(changes_.Changed().size(), 3u);
  ASSERT_EQ(cardel_->Refresh(), S_OK);
  EXPECT_EQ(Paints(), 1u);
}

TEST_F(PropertiesTest, CaptionRoundTripsEveryUtf16Unit) {
  const std::wstring cases[] = {
      L"Gr\u00FC\u00DFe \u2713 \U0001F600",
      L"",
      std::wstring(L"a\0b", 3),
      L"\xD800 lone surrogate",
      std::wstring(5000, L'\u4E2D'),
  };
  for (const std::wstring& text : cases) {
    SCOPED_TRACE(oletest::Narrow(text.substr(0, 20)));
    changes_.Clear();
    ASSERT_EQ(PutCaption(text), S_OK);
    EXPECT_EQ(Caption(), text);
    EXPECT_EQ(changes_.Changed(), std::vector<DISPID>{Props().Id(L"Caption")});
    ASSERT_EQ(Props().Put(L"Caption", Variant::String(text)), S_OK);
    EXPECT_EQ(Props().Text(L"Caption"), text);
  }
}

// The caption's argument is declared [in, out]: the caller's string stays the caller's.
TEST_F(PropertiesTest, CaptionSetterLeavesTheCallersStringAlone) {
  oletest::UniqueBstr owned(SysAllocString(L"Mine"));
  BSTR argument = owned.get();
  ASSERT_EQ(cardel_->put_Caption(&argument), S_OK);
  EXPECT_EQ(argument, owned.get());
  EXPECT_STREQ(argument, L"Mine");
}

struct IconCodeCase {
  const wchar_t* text;
  HRESULT result;
  const wchar_t* reads;  // what the getter gives afterwards
};

TEST_F(PropertiesTest, IconCharCodeTakesItsTextFormsAndKeepsTheOldCodeOnError) {
  const IconCodeCase cases[] = {
      {L"U+F101", S_OK, L"&HF101"},   {L"u+f101", S_OK, L"&HF101"},         {L"&HF101", S_OK, L"&HF101"},
      {L"F101", S_OK, L"&HF101"},     {L"F 101", S_OK, L"&HF101"},          {L"59393", S_OK, L"&HE801"},
      {L"1E00", S_OK, L"&H1"},        {L"&HFFFFFFFF", S_OK, L"&HFFFFFFFF"}, {L"", kTypeMismatch, L"&HE801"},
      {L"XYZ", kTypeMismatch, L"&HE801"}, {L"&H123456789", kOverflow, L"&HE801"},
  };
  for (const IconCodeCase& c : cases) {
    SCOPED_TRACE(oletest::Narrow(c.text));
    if (FAILED(c.result)) {
      ASSERT_EQ(Props().Put(L"IconCharCode", Variant::String(L"E801")), S_OK);
    }
    changes_.Clear();
    EXPECT_EQ(Props().Put(L"IconCharCode", Variant::String(c.text)), c.result);
    EXPECT_EQ(Props().Text(L"IconCharCode"), c.reads);
    const std::vector<DISPID> told =
        SUCCEEDED(c.result) ? std::vector<DISPID>{Props().Id(L"IconCharCode")} : std::vector<DISPID>{};
    EXPECT_EQ(changes_.Changed(), told);
  }
  // A number is coerced to its text and read as decimal.
  ASSERT_EQ(Props().Put(L"IconCharCode", Variant::Long(61697)), S_OK);
  EXPECT_EQ(Props().Text(L"IconCharCode"), L"&HF101");
}

TEST_F(PropertiesTest, ChrW2GivesUtf16TextThroughDispatch) {
  const struct {
    long code;
    HRESULT result;
    std::wstring text;
  } cases[] = {
      {0x1F600, S_OK, L"\xD83D\xDE00"}, {65, S_OK, L"A"},          {-1, S_OK, L"\xFFFF"},
      {-32768, S_OK, L"\x8000"},        {0x10FFFF, S_OK, L"\xDBFF\xDFFF"}, {-40000, kInvalidProcedureCall, L""},
      {-32769, kInvalidProcedureCall, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    Variant result;
    EXPECT_EQ(Props().Call(L"ChrW2", {Variant::Long(c.code)}, result), c.result);
    if (SUCCEEDED(c.result)) {
      ASSERT_EQ(result.vt(), VT_BSTR);
      EXPECT_EQ(std::wstring(result->bstrVal, SysStringLen(result->bstrVal)), c.text);
    }
  }
}

// Setting a font copies the caller's attributes into the control's own font object.
TEST_F(PropertiesTest, FontSettersCopyTheAttributesAndNotTheObject) {
  const FontAttributes given[] = {
      {L"Tahoma", 140000, true, true, true, true, FW_BOLD, ANSI_CHARSET},
      {L"Tahoma", 65000, false, true, false, false, FW_LIGHT, SYMBOL_CHARSET},
  };
  const struct {
    const wchar_t* property;
    bool by_reference;
  } routes[] = {{L"Font", true}, {L"IconFont", true}, {L"Font", false}, {L"IconFont", false}};
  for (const auto& route : routes) {
    for (const FontAttributes& attributes : given) {
      SCOPED_TRACE(oletest::Narrow(route.property) + (route.by_reference ? " putref " : " put ") +
                   std::to_string(attributes.size));
      ComPtr<IFontDisp> callers = MakeFont(attributes);
      const FontAttributes stored = AttributesOf(callers.Get());
      changes_.Clear();
      events_.Clear();
      const Variant argument = Variant::Object(static_cast<IDispatch*>(callers.Get()));
      ASSERT_EQ(route.by_reference ? Props().PutRef(route.property, argument) : Props().Put(route.property, argument),
                S_OK);
      const Variant mine = Props().Get(route.property);
      ASSERT_EQ(mine.vt(), VT_DISPATCH);
      EXPECT_FALSE(SameObject(mine->pdispVal, callers.Get()));
      EXPECT_EQ(AttributesOf(mine->pdispVal), stored);
      EXPECT_EQ(changes_.Changed(), std::vector<DISPID>{Props().Id(route.property)});
      EXPECT_EQ(Paints(), 1u);

      ComPtr<IFont> change;
      ASSERT_HRESULT_SUCCEEDED(callers.As(&change));
      change->put_Size(CY{.int64 = 310000});
      change->put_Italic(!attributes.italic);
      EXPECT_EQ(AttributesOf(Props().Get(route.property)->pdispVal), stored);
    }
  }
}

TEST_F(PropertiesTest, FontAndIconFontAreIndependent) {
  const FontAttributes icon_before = AttributesOf(Props().Get(L"IconFont")->pdispVal);
  ComPtr<IFontDisp> big = MakeFont({L"Tahoma", 360000, false, false, false, false, FW_NORMAL, ANSI_CHARSET});
  ASSERT_EQ(cardel_->putref_Font(big.Get()), S_OK);
  EXPECT_EQ(AttributesOf(Props().Get(L"IconFont")->pdispVal), icon_before);
  EXPECT_EQ(AttributesOf(Props().Get(L"Font")->pdispVal).size, 360000);
}

struct Coercion {
  const char* what;
  const wchar_t* property;
  Variant value;
  HRESULT result;
  int32_t stored;  // what the property reads afterwards
};

// Late-bound callers may pass any variant: automation coerces it to the declared type, or the call fails
// and nothing is stored.
TEST_F(PropertiesTest, WrongVariantTypesAreCoercedOrRefusedWithoutStoring) {
  ASSERT_EQ(cardel_->put_CaptionPaddingX(9), S_OK);
  ASSERT_EQ(cardel_->put_PictureSetWidth(9), S_OK);
  ASSERT_EQ(cardel_->put_GradientAngle(9), S_OK);
  Settle();
  const Coercion cases[] = {
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
  for (const Coercion& c : cases) {
    SCOPED_TRACE(c.what);
    changes_.Clear();
    EXPECT_EQ(Props().Put(c.property, c.value), c.result);
    EXPECT_EQ(Props().Int(c.property), c.stored);
    EXPECT_EQ(changes_.Changed().size(), SUCCEEDED(c.result) ? 1u : 0u);
  }

  ASSERT_EQ(Props().Put(L"Caption", Variant::Long(12)), S_OK);
  EXPECT_EQ(Caption(), L"12");
  const FontAttributes font = AttributesOf(Props().Get(L"Font")->pdispVal);
  EXPECT_TRUE(FAILED(Props().Put(L"Font", Variant::Long(5))));
  EXPECT_EQ(AttributesOf(Props().Get(L"Font")->pdispVal), font);
}

}  // namespace
}  // namespace cardel::controltest
