// The control's saved form: what it reads from and writes to a property bag (the form files of text-based
// designers) and a stream, what a bag without a key stands for, and how damaged input fails.
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "container.h"
#include "control/property_catalogue.h"
#include "control_access.h"
#include "host_error.h"
#include "library.h"
#include "ole_support.h"
#include "property_bag.h"

namespace cardel::controltest {
namespace {

using host::Container;
using host::ControlOptions;
using host::HostedControl;
using host::Library;
using host::PropertyBag;

constexpr HRESULT kOverflow = static_cast<HRESULT>(0x800A0006);

std::vector<uint8_t> Utf16Bytes(std::wstring_view text) {
  const auto* first = reinterpret_cast<const uint8_t*>(text.data());
  return {first, first + text.size() * sizeof(wchar_t)};
}

class PersistenceTest : public testing::Test {
 protected:
  // Every control of a test lives in containers with the same ambients, so that what a missing key
  // stands for is the same for the saver and the loader. Tahoma 8 pt has no whole pixel size, as is
  // usual for a form's font.
  static ControlOptions Options(std::wstring_view name, bool design_mode = false) {
    ControlOptions options;
    options.display_name = name;
    options.ambients = [design_mode](host::Ambients& a) {
      a.SetBackColor(0x00345678);
      a.SetFont(L"Tahoma", 8, true);
      a.SetUserMode(!design_mode);
    };
    return options;
  }
  HostedControl& New(std::wstring_view name = L"Saved1") { return Place(Options(name)); }
  HostedControl& Load(PropertyBag& bag, std::wstring_view name = L"Loaded1", bool design_mode = false) {
    ControlOptions options = Options(name, design_mode);
    options.load_from = &bag;
    return Place(options);
  }
  HostedControl& Place(const ControlOptions& options) {
    const int row = static_cast<int>(box_.Controls().size());
    return box_.Add({10, 10 + 50 * row, 130, 50 + 50 * row}, options);
  }

  static std::wstring Caption(const HostedControl& control) { return ByName(control.Unknown()).Text(L"Caption"); }

  Library library_;
  Container box_{library_, {400, 600}};
};

struct Expected {
  const wchar_t* name;
  int32_t value;
};

// Rows 1 to 81 of the saved form, in the order they are read.
const wchar_t* const kReadOrder[] = {
    L"BackColor", L"FrontColor", L"BackColorOpacity", L"BackAcrylicBlur", L"BackShadow", L"Border", L"BorderColor",
    L"BorderColorOpacity", L"BorderCornerLeftTop", L"BorderCornerRightTop", L"BorderCornerBottomRight",
    L"BorderCornerBottomLeft", L"BorderPosition", L"BorderWidth", L"CaptionAlignmentH", L"CaptionAlignmentV",
    L"Caption", L"CaptionPaddingX", L"CaptionPaddingY", L"CaptionTriming", L"CaptionBorderWidth",
    L"CaptionBorderColor", L"CaptionShadow", L"CaptionAngle", L"CaptionShowPrefix", L"Enabled", L"Font",
    L"ForeColor", L"ForeColorOpacity", L"Gradient", L"GradientAngle", L"GradientColor1", L"GradientColor1Opacity",
    L"GradientColor2", L"GradientColor2Opacity", L"PictureAngle", L"PictureAlignmentH", L"PictureAlignmentV",
    L"PictureOpacity", L"PictureBrightness", L"PictureContrast", L"PictureGraysScale", L"PicturePaddingX",
    L"PicturePaddingY", L"PictureSetWidth", L"PictureSetHeight", L"WordWrap", L"ShadowSize", L"ShadowColor",
    L"ShadowOffsetX", L"ShadowOffsetY", L"ShadowColorOpacity", L"CallOutAlign", L"CallOutPosicion", L"CallOutWidth",
    L"CallOutLen", L"CallOut", L"CallOutCustomPosition", L"CallOutRightTriangle", L"PictureColorize",
    L"PictureShadow", L"PictureColor", L"MousePointer", L"MouseIcon", L"MousePointerHands", L"MouseToParent",
    L"OLEDropMode", L"HotLine", L"HotLineColor", L"HotLineColorOpacity", L"HotLineWidth", L"HotLinePosition",
    L"IconFont", L"IconCharCode", L"IconForeColor", L"IconPaddingX", L"IconPaddingY", L"IconAlignmentH",
    L"IconAlignmentV", L"IconOpacity", L"PicturePresent",
};

TEST_F(PersistenceTest, EmptyBagLoadsTheSavedFormDefaults) {
  ComPtr<PropertyBag> bag = PropertyBag::Make();
  HostedControl& control = Load(*bag.Get(), L"FromNothing");
  ASSERT_HRESULT_SUCCEEDED(control.LoadResult());
  const ByName props(control.Unknown());
  const Expected defaults[] = {
      {L"BackColor", int32_t(0x8000000F)},  {L"FrontColor", int32_t(0x8000000F)}, {L"BackShadow", VARIANT_TRUE},
      {L"ShadowColorOpacity", 50},          {L"CallOutAlign", 1},                 {L"CallOutWidth", 10},
      {L"CallOutLen", 10},                  {L"IconOpacity", 100},                {L"IconForeColor", int32_t(0x80000012)},
      {L"WordWrap", VARIANT_TRUE},          {L"MousePointer", 1},                 {L"Enabled", VARIANT_TRUE},
      {L"BackColorOpacity", 100},           {L"BorderPosition", 1},               {L"HotLineWidth", 5},
      {L"HotLinePosition", 3},              {L"GradientColor2", 0x00E96E9B},      {L"CaptionBorderColor", int32_t(0x8000000E)},
      {L"Border", VARIANT_FALSE},           {L"PictureExist", VARIANT_FALSE},     {L"AutoSize", VARIANT_FALSE},
      {L"Redraw", VARIANT_TRUE},
  };
  for (const Expected& e : defaults) EXPECT_EQ(props.Int(e.name), e.value) << oletest::Narrow(e.name);
  EXPECT_EQ(props.Text(L"Caption"), L"FromNothing");
  EXPECT_EQ(props.Text(L"IconCharCode"), L"&H0");
  const FontAttributes ambient = AttributesOf(control.Ambient().Font().Get());
  EXPECT_EQ(FontOf(props, L"Font"), ambient);
  EXPECT_EQ(FontOf(props, L"IconFont"), ambient);
  EXPECT_EQ(bag->Reads(), std::vector<std::wstring>(std::begin(kReadOrder), std::end(kReadOrder)));
}

// A saved form with every key, each holding something other than its default, in the kind it is written.
struct SavedKey {
  const wchar_t* key;
  VARTYPE vt;
  int32_t value;
  const wchar_t* property;  // when its name differs from the key
};

const SavedKey kEveryKey[] = {
    {L"BackColor", VT_I4, 0x00010203}, {L"FrontColor", VT_I4, 0x00040506}, {L"BackColorOpacity", VT_I2, 3},
    {L"BackAcrylicBlur", VT_BOOL, VARIANT_TRUE}, {L"BackShadow", VT_BOOL, VARIANT_FALSE},
    {L"Border", VT_BOOL, VARIANT_TRUE}, {L"BorderColor", VT_I4, 0x00070809}, {L"BorderColorOpacity", VT_I2, 4},
    {L"BorderCornerLeftTop", VT_I2, 5}, {L"BorderCornerRightTop", VT_I2, 6}, {L"BorderCornerBottomRight", VT_I2, 7},
    {L"BorderCornerBottomLeft", VT_I2, 8}, {L"BorderPosition", VT_I4, 2}, {L"BorderWidth", VT_I2, 9},
    {L"CaptionAlignmentH", VT_I4, 2}, {L"CaptionAlignmentV", VT_I4, 0}, {L"CaptionPaddingX", VT_I2, 10},
    {L"CaptionPaddingY", VT_I2, 11}, {L"CaptionTriming", VT_I4, 3}, {L"CaptionBorderWidth", VT_I2, 12},
    {L"CaptionBorderColor", VT_I4, 0x000A0B0C}, {L"CaptionShadow", VT_BOOL, VARIANT_TRUE},
    {L"CaptionAngle", VT_I2, 13}, {L"CaptionShowPrefix", VT_BOOL, VARIANT_TRUE}, {L"Enabled", VT_BOOL, VARIANT_FALSE},
    {L"ForeColor", VT_I4, 0x000D0E0F}, {L"ForeColorOpacity", VT_I2, 14}, {L"Gradient", VT_BOOL, VARIANT_TRUE},
    {L"GradientAngle", VT_I2, 15}, {L"GradientColor1", VT_I4, 0x00101112}, {L"GradientColor1Opacity", VT_I2, 16},
    {L"GradientColor2", VT_I4, 0x00131415}, {L"GradientColor2Opacity", VT_I2, 17}, {L"PictureAngle", VT_I2, 18},
    {L"PictureAlignmentH", VT_I4, 1}, {L"PictureAlignmentV", VT_I4, 2}, {L"PictureOpacity", VT_I2, 19},
    {L"PictureBrightness", VT_I2, -20}, {L"PictureContrast", VT_I2, 21},
    {L"PictureGraysScale", VT_BOOL, VARIANT_TRUE, L"PictureGrayScale"}, {L"PicturePaddingX", VT_I2, 22},
    {L"PicturePaddingY", VT_I2, 23}, {L"PictureSetWidth", VT_I4, 24}, {L"PictureSetHeight", VT_I4, 25},
    {L"WordWrap", VT_BOOL, VARIANT_FALSE}, {L"ShadowSize", VT_I2, 26}, {L"ShadowColor", VT_I4, 0x00161718},
    {L"ShadowOffsetX", VT_I2, 27}, {L"ShadowOffsetY", VT_I2, -28}, {L"ShadowColorOpacity", VT_I2, 29},
    {L"CallOutAlign", VT_I4, 3}, {L"CallOutPosicion", VT_I4, 2}, {L"CallOutWidth", VT_I4, 30},
    {L"CallOutLen", VT_I4, 31}, {L"CallOut", VT_BOOL, VARIANT_TRUE}, {L"CallOutCustomPosition", VT_I4, 32},
    {L"CallOutRightTriangle", VT_BOOL, VARIANT_TRUE}, {L"PictureColorize", VT_BOOL, VARIANT_TRUE},
    {L"PictureShadow", VT_BOOL, VARIANT_TRUE}, {L"PictureColor", VT_I4, 0x00191A1B}, {L"MousePointer", VT_I2, 5},
    {L"MouseToParent", VT_BOOL, VARIANT_TRUE}, {L"OLEDropMode", VT_I2, 1}, {L"HotLine", VT_BOOL, VARIANT_TRUE},
    {L"HotLineColor", VT_I4, 0x001C1D1E}, {L"HotLineColorOpacity", VT_I2, 33}, {L"HotLineWidth", VT_I4, 34},
    {L"HotLinePosition", VT_I4, 1}, {L"IconForeColor", VT_I4, 0x001F2021}, {L"IconPaddingX", VT_I2, 35},
    {L"IconPaddingY", VT_I2, 36}, {L"IconAlignmentH", VT_I4, 2}, {L"IconAlignmentV", VT_I4, 1},
    {L"IconOpacity", VT_I2, 37},
};

// Every key but the picture's, in the order they are written: the order they are read, except that
// CaptionTriming follows CaptionAngle and the array takes the place of "PicturePresent".
std::vector<std::wstring> WriteOrder() {
  std::vector<std::wstring> keys(std::begin(kReadOrder), std::end(kReadOrder));
  std::erase(keys, L"CaptionTriming");
  keys.insert(std::find(keys.begin(), keys.end(), L"CaptionAngle") + 1, L"CaptionTriming");
  keys.back() = L"PictureArr";
  return keys;
}

ComPtr<IPictureDisp> MakeIconPicture() {
  PICTDESC desc{sizeof(PICTDESC), PICTYPE_ICON};
  desc.icon.hicon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  ComPtr<IPictureDisp> picture;
  host::ThrowIfFailed(
      OleCreatePictureIndirect(&desc, IID_IPictureDisp, FALSE, reinterpret_cast<void**>(picture.GetAddressOf())),
      "OleCreatePictureIndirect");
  return picture;
}

TEST_F(PersistenceTest, EveryKeyLoadsIntoItsPropertyAndIsWrittenBackInOrder) {
  ComPtr<PropertyBag> bag = PropertyBag::Make();
  for (const SavedKey& k : kEveryKey) bag->Set(k.key, Typed(k.vt, k.value));
  bag->Set(L"Caption", Variant::Bytes(Utf16Bytes(L"Every key")));
  bag->Set(L"IconCharCode", Variant::Long(0xF101));
  bag->Set(L"MousePointerHands", Variant::Bool(true));
  const ComPtr<IFontDisp> saved_font =
      MakeFont({L"Tahoma", 115000, true, true, false, false, FW_BOLD, ANSI_CHARSET});
  const ComPtr<IFontDisp> saved_icon_font =
      MakeFont({L"Tahoma", 180000, false, false, true, false, FW_NORMAL, SYMBOL_CHARSET});
  const FontAttributes caption_font = AttributesOf(saved_font.Get());
  const FontAttributes icon_font = AttributesOf(saved_icon_font.Get());
  bag->Set(L"Font", Variant::Object(static_cast<IDispatch*>(saved_font.Get())));
  bag->Set(L"IconFont", Variant::Object(static_cast<IDispatch*>(saved_icon_font.Get())));
  const ComPtr<IPictureDisp> icon = MakeIconPicture();
  bag->Set(L"MouseIcon", Variant::Object(static_cast<IDispatch*>(icon.Get())));

  // In a designer the hand pointer leaves MousePointer and MouseIcon as they were saved.
  HostedControl& control = Load(*bag.Get(), L"Loaded1", true);
  ASSERT_HRESULT_SUCCEEDED(control.LoadResult());
  const ByName props(control.Unknown());
  for (const SavedKey& k : kEveryKey) {
    const wchar_t* property = k.property ? k.property : k.key;
    EXPECT_EQ(props.Int(property), k.value) << oletest::Narrow(property);
  }
  EXPECT_EQ(props.Text(L"Caption"), L"Every key");
  EXPECT_EQ(props.Text(L"IconCharCode"), L"&HF101");
  EXPECT_EQ(FontOf(props, L"Font"), caption_font);
  EXPECT_EQ(FontOf(props, L"IconFont"), icon_font);
  const Variant mouse_icon = props.Get(L"MouseIcon");
  ASSERT_EQ(mouse_icon.vt(), VT_DISPATCH);
  EXPECT_TRUE(SameObject(mouse_icon->pdispVal, icon.Get()));

  ComPtr<PropertyBag> saved = PropertyBag::Make();
  ASSERT_HRESULT_SUCCEEDED(control.Save(*saved.Get()));
  EXPECT_EQ(saved->Writes(), WriteOrder());
  for (const SavedKey& k : kEveryKey) {
    SCOPED_TRACE(oletest::Narrow(k.key));
    const std::optional<Variant> written = saved->Get(k.key);
    ASSERT_TRUE(written);
    EXPECT_EQ(written->vt(), k.vt);
    EXPECT_EQ(Bits(*written), k.value);
  }
}

TEST_F(PersistenceTest, ValuesEqualToTheirDefaultsAreNotStored) {
  ComPtr<PropertyBag> empty = PropertyBag::Make();
  HostedControl& control = Load(*empty.Get());
  ASSERT_HRESULT_SUCCEEDED(control.LoadResult());
  ComPtr<PropertyBag> saved = PropertyBag::Make();
  ASSERT_HRESULT_SUCCEEDED(control.Save(*saved.Get()));

  // FrontColor has no default when written, the caption's bytes never equal the display name it defaults
  // to, and the picture array is written even without a picture.
  EXPECT_EQ(saved->Writes(), (std::vector<std::wstring>{L"FrontColor", L"Caption", L"PictureArr"}));
  EXPECT_EQ(saved->Get(L"FrontColor")->vt(), VT_I4);
  EXPECT_EQ(saved->Get(L"Caption")->vt(), VT_ARRAY | VT_UI1);
  const Variant picture = *saved->Get(L"PictureArr");
  EXPECT_EQ(picture.vt(), VT_I2);
  EXPECT_EQ(picture->iVal, 0);
  EXPECT_FALSE(saved->Has(L"PicturePresent"));
}

// A newly placed control differs from the saved-form defaults in several keys; those are stored, so it
// comes back as it was placed.
TEST_F(PersistenceTest, NewControlComesBackWithItsNewControlValues) {
  HostedControl& placed = New(L"Placed");
  ASSERT_HRESULT_SUCCEEDED(placed.LoadResult());
  ComPtr<PropertyBag> bag = PropertyBag::Make();
  ASSERT_HRESULT_SUCCEEDED(placed.Save(*bag.Get()));

  const SavedKey explicit_keys[] = {
      {L"BackShadow", VT_BOOL, VARIANT_FALSE}, {L"ShadowColorOpacity", VT_I2, 0}, {L"CallOutAlign", VT_I4, 0},
      {L"CallOutWidth", VT_I4, 0},             {L"CallOutLen", VT_I4, 0},         {L"IconForeColor", VT_I4, 0},
      {L"IconOpacity", VT_I2, 0},              {L"FrontColor", VT_I4, 0x00345678},
  };
  for (const SavedKey& k : explicit_keys) {
    const std::optional<Variant> stored = bag->Get(k.key);
    ASSERT_TRUE(stored) << oletest::Narrow(k.key);
    EXPECT_EQ(stored->vt(), k.vt) << oletest::Narrow(k.key);
    EXPECT_EQ(Bits(*stored), k.value) << oletest::Narrow(k.key);
  }
  for (const wchar_t* key : {L"BackColorOpacity", L"WordWrap", L"HotLineWidth", L"GradientColor1", L"Border"})
    EXPECT_FALSE(bag->Has(key)) << oletest::Narrow(key);

  HostedControl& loaded = Load(*bag.Get(), L"Elsewhere");
  ASSERT_HRESULT_SUCCEEDED(loaded.LoadResult());
  const ByName before(placed.Unknown()), after(loaded.Unknown());
  for (const PropertyInfo& row : PropertyCatalogue())
    EXPECT_EQ(after.Int(row.name), before.Int(row.name)) << oletest::Narrow(row.name);
  EXPECT_EQ(after.Text(L"Caption"), L"Placed");
  EXPECT_EQ(after.Text(L"IconCharCode"), before.Text(L"IconCharCode"));
  EXPECT_EQ(FontOf(after, L"Font"), FontOf(before, L"Font"));
  EXPECT_EQ(FontOf(after, L"IconFont"), FontOf(before, L"IconFont"));
}

TEST_F(PersistenceTest, AutoSizeAndRedrawAreNeitherSavedNorRestored) {
  HostedControl& placed = New();
  const ByName props(placed.Unknown());
  ASSERT_EQ(props.Put(L"Redraw", Variant::Bool(false)), S_OK);
  ASSERT_EQ(props.Put(L"AutoSize", Variant::Bool(true)), S_OK);
  ComPtr<PropertyBag> bag = PropertyBag::Make();
  ASSERT_HRESULT_SUCCEEDED(placed.Save(*bag.Get()));
  EXPECT_FALSE(bag->Has(L"Redraw"));
  EXPECT_FALSE(bag->Has(L"AutoSize"));

  const ByName loaded(Load(*bag.Get()).Unknown());
  EXPECT_EQ(loaded.Int(L"AutoSize"), VARIANT_FALSE);
  EXPECT_EQ(loaded.Int(L"Redraw"), VARIANT_TRUE);
}

TEST_F(PersistenceTest, CaptionIsSavedAsItsUtf16BytesAndLoadsFromBytesOrText) {
  const std::wstring text = L"Gr\u00FC\u00DFe \u2713 \U0001F600";
  HostedControl& placed = New();
  ASSERT_EQ(ByName(placed.Unknown()).Put(L"Caption", Variant::String(text)), S_OK);
  ComPtr<PropertyBag> bag = PropertyBag::Make();
  ASSERT_HRESULT_SUCCEEDED(placed.Save(*bag.Get()));
  const Variant stored = *bag->Get(L"Caption");
  ASSERT_EQ(stored.vt(), VT_ARRAY | VT_UI1);
  EXPECT_EQ(stored.ToBytes(), Utf16Bytes(text));
  EXPECT_EQ(Caption(Load(*bag.Get())), text);

  ComPtr<PropertyBag> plain = PropertyBag::Make();
  plain->Set(L"Caption", Variant::String(L"Plain \u2713"));
  EXPECT_EQ(Caption(Load(*plain.Get())), L"Plain \u2713");

  ComPtr<PropertyBag> empty_caption = PropertyBag::Make();
  empty_caption->Set(L"Caption", Variant::Bytes({}));
  EXPECT_EQ(Caption(Load(*empty_caption.Get(), L"NotThis")), L"");
}

// Loading takes values as they were saved, even where a setter would have clamped them.
TEST_F(PersistenceTest, LoadingDoesNotClamp) {
  ComPtr<PropertyBag> bag = PropertyBag::Make();
  const Expected unclamped[] = {
      {L"PictureContrast", 150}, {L"BackColorOpacity", 150}, {L"GradientAngle", 400},
      {L"ShadowSize", 200},      {L"CaptionBorderWidth", -3},
  };
  for (const Expected& e : unclamped) bag->Set(e.name, Variant::Short(static_cast<short>(e.value)));
  HostedControl& control = Load(*bag.Get());
  ASSERT_HRESULT_SUCCEEDED(control.LoadResult());
  const ByName props(control.Unknown());
  for (const Expected& e : unclamped) EXPECT_EQ(props.Int(e.name), e.value) << oletest::Narrow(e.name);
}

// Values numeric text can be read as load; others end the load at their key.
TEST_F(PersistenceTest, ValuesOfTheWrongKindConvertOrEndTheLoad) {
  ComPtr<PropertyBag> text = PropertyBag::Make();
  text->Set(L"BorderWidth", Variant::String(L"123"));
  text->Set(L"Border", Variant::Long(7));
  HostedControl& converted = Load(*text.Get());
  ASSERT_HRESULT_SUCCEEDED(converted.LoadResult());
  EXPECT_EQ(ByName(converted.Unknown()).Int(L"BorderWidth"), 123);
  EXPECT_EQ(ByName(converted.Unknown()).Int(L"Border"), VARIANT_TRUE);

  ComPtr<PropertyBag> words = PropertyBag::Make();
  words->Set(L"BorderWidth", Variant::String(L"wide"));
  HostedControl& refused = Load(*words.Get());
  EXPECT_TRUE(FAILED(refused.LoadResult()));
  EXPECT_EQ(words->Reads().back(), L"BorderWidth");
}

struct ReadFailure {
  const wchar_t* key;
  HRESULT error;
  Variant value;  // stored under the key, for a conversion that fails
};

// A failing read ends the load with its error: values read before it stay, later ones keep what the
// control was created with (not the saved-form defaults).
TEST_F(PersistenceTest, FailedReadEndsTheLoadKeepingWhatWasRead) {
  const ReadFailure cases[] = {
      {L"CaptionPaddingY", E_ACCESSDENIED, {}},
      {L"CaptionPaddingY", STG_E_READFAULT, {}},
      {L"CaptionPaddingY", kOverflow, Variant::Long(40000)},
  };
  for (const ReadFailure& c : cases) {
    SCOPED_TRACE(oletest::Narrow(c.key) + " " + std::to_string(c.error));
    ComPtr<PropertyBag> bag = PropertyBag::Make();
    bag->Set(L"FrontColor", Variant::Long(0x00112233));
    bag->Set(L"BorderWidth", Variant::Short(7));
    bag->Set(L"ShadowSize", Variant::Short(9));
    if (c.value.vt() != VT_EMPTY)
      bag->Set(c.key, c.value);
    else
      bag->FailRead(c.key, c.error);
    HostedControl& control = Load(*bag.Get());
    EXPECT_EQ(control.LoadResult(), c.error);
    EXPECT_EQ(bag->Reads().back(), c.key);
    EXPECT_FALSE(control.GetSite().InPlaceActive());

    const ByName props(control.Unknown());
    EXPECT_EQ(props.Int(L"FrontColor"), 0x00112233);
    EXPECT_EQ(props.Int(L"BorderWidth"), 7);
    EXPECT_EQ(props.Int(L"BackShadow"), VARIANT_TRUE) << "read before the failure, from its default";
    EXPECT_EQ(props.Int(L"ShadowSize"), 0);
    EXPECT_EQ(props.Int(L"ShadowColorOpacity"), 0);
    EXPECT_EQ(props.Int(L"WordWrap"), VARIANT_FALSE);
  }
}

// These three are held in 32 bits but published in 16: a wide saved value loads, and the getter reports
// that it does not fit.
TEST_F(PersistenceTest, WideSavedLengthsLoadAndOverflowOnlyWhenRead) {
  for (const wchar_t* key : {L"CallOutWidth", L"CallOutLen", L"HotLineWidth"}) {
    SCOPED_TRACE(oletest::Narrow(key));
    ComPtr<PropertyBag> bag = PropertyBag::Make();
    bag->Set(key, Variant::Long(40000));
    HostedControl& control = Load(*bag.Get());
    EXPECT_HRESULT_SUCCEEDED(control.LoadResult());
    const ComPtr<_ucCardel> cardel = control.Cardel();
    short value = 0;
    const HRESULT hr = std::wstring_view(key) == L"CallOutWidth" ? cardel->get_CallOutWidth(&value)
                       : std::wstring_view(key) == L"CallOutLen" ? cardel->get_CallOutLen(&value)
                                                                  : cardel->get_HotLineWidth(&value);
    EXPECT_EQ(hr, kOverflow);
  }
}

// A control created outside any container, as a container that persists to streams creates one before
// loading it.
class StreamTest : public PersistenceTest {
 protected:
  ComPtr<IPersistStreamInit> Fresh() {
    ComPtr<IPersistStreamInit> persist;
    host::ThrowIfFailed(
        library_.CreateControl(nullptr, IID_IPersistStreamInit, reinterpret_cast<void**>(persist.GetAddressOf())),
        "creating ucCardel");
    return persist;
  }
  static ComPtr<IStream> StreamOf(const std::vector<uint8_t>& bytes) {
    ComPtr<IStream> stream;
    host::ThrowIfFailed(CreateStreamOnHGlobal(nullptr, TRUE, &stream), "CreateStreamOnHGlobal");
    ULONG written = 0;
    if (!bytes.empty()) stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
    return stream;
  }
  static std::vector<uint8_t> BytesOf(IStream& stream) {
    STATSTG stat{};
    stream.Stat(&stat, STATFLAG_NONAME);
    std::vector<uint8_t> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    stream.Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    stream.Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    return bytes;
  }
};

TEST_F(StreamTest, StreamCarriesTheSamePropertiesAndClearsDirtyOnRequest) {
  HostedControl& placed = New();
  const ComPtr<IPersistStreamInit> persist = placed.Query<IPersistStreamInit>();
  ASSERT_TRUE(persist);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);

  const ByName props(placed.Unknown());
  const ComPtr<IFontDisp> given_font =
      MakeFont({L"Tahoma", 140000, false, true, false, true, FW_NORMAL, ANSI_CHARSET});
  const ComPtr<IFontDisp> given_icon_font =
      MakeFont({L"Tahoma", 240000, true, false, false, false, FW_BOLD, ANSI_CHARSET});
  const FontAttributes caption_font = AttributesOf(given_font.Get());
  const FontAttributes icon_font = AttributesOf(given_icon_font.Get());
  ASSERT_EQ(props.Put(L"Caption", Variant::String(L"Str\u00F6m \U0001F600")), S_OK);
  ASSERT_EQ(props.PutInt(L"BorderWidth", 3), S_OK);
  ASSERT_EQ(props.PutInt(L"GradientAngle", 45), S_OK);
  ASSERT_EQ(props.PutInt(L"ShadowColorOpacity", 80), S_OK);
  ASSERT_EQ(props.PutInt(L"CallOutPosicion", 3), S_OK);
  ASSERT_EQ(props.Put(L"IconCharCode", Variant::String(L"U+F101")), S_OK);
  ASSERT_EQ(props.PutRef(L"Font", Variant::Object(static_cast<IDispatch*>(given_font.Get()))), S_OK);
  ASSERT_EQ(props.PutRef(L"IconFont", Variant::Object(static_cast<IDispatch*>(given_icon_font.Get()))), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_OK);

  ComPtr<IStream> kept;
  ASSERT_HRESULT_SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &kept));
  ASSERT_HRESULT_SUCCEEDED(persist->Save(kept.Get(), FALSE));
  EXPECT_EQ(persist->IsDirty(), S_OK) << "a save without fClearDirty leaves the control dirty";

  ComPtr<IStream> stream;
  ASSERT_HRESULT_SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream));
  ULARGE_INTEGER size_max{};
  ASSERT_HRESULT_SUCCEEDED(persist->GetSizeMax(&size_max));
  ASSERT_HRESULT_SUCCEEDED(persist->Save(stream.Get(), TRUE));
  EXPECT_EQ(persist->IsDirty(), S_FALSE);
  ULARGE_INTEGER written{};
  ASSERT_HRESULT_SUCCEEDED(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &written));
  EXPECT_GT(written.QuadPart, 0u);
  EXPECT_GE(size_max.QuadPart, written.QuadPart);
  ASSERT_EQ(props.PutInt(L"BorderWidth", 4), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_OK);
  ASSERT_EQ(props.PutInt(L"BorderWidth", 3), S_OK);

  ComPtr<IPersistStreamInit> fresh = Fresh();
  ASSERT_HRESULT_SUCCEEDED(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr));
  ASSERT_EQ(fresh->Load(stream.Get()), S_OK);
  EXPECT_EQ(fresh->IsDirty(), S_FALSE);
  const ByName loaded(fresh.Get());
  for (const PropertyInfo& row : PropertyCatalogue())
    EXPECT_EQ(loaded.Int(row.name), props.Int(row.name)) << oletest::Narrow(row.name);
  EXPECT_EQ(loaded.Text(L"Caption"), L"Str\u00F6m \U0001F600");
  EXPECT_EQ(loaded.Text(L"IconCharCode"), L"&HF101");
  EXPECT_EQ(FontOf(loaded, L"Font"), caption_font);
  EXPECT_EQ(FontOf(loaded, L"IconFont"), icon_font);
  EXPECT_EQ(BytesOf(*kept.Get()), BytesOf(*stream.Get())) << "saving twice writes the same bytes";
}

// The layout is documented with the stream code: magic "VCPB", a 16-bit version, an entry count and the
// entries; a stream with no entries stands for an empty bag.
std::vector<uint8_t> Header(uint32_t magic, uint16_t version, uint32_t count) {
  std::vector<uint8_t> bytes(10);
  std::memcpy(bytes.data(), &magic, 4);
  std::memcpy(bytes.data() + 4, &version, 2);
  std::memcpy(bytes.data() + 6, &count, 4);
  return bytes;
}

template <class T>
void Append(std::vector<uint8_t>& bytes, T value) {
  const auto* first = reinterpret_cast<const uint8_t*>(&value);
  bytes.insert(bytes.end(), first, first + sizeof(T));
}

std::vector<uint8_t> Entry(std::vector<uint8_t> bytes, std::wstring_view name, VARTYPE vt) {
  Append(bytes, static_cast<uint32_t>(name.size()));
  const std::vector<uint8_t> text = Utf16Bytes(name);
  bytes.insert(bytes.end(), text.begin(), text.end());
  Append(bytes, vt);
  return bytes;
}

constexpr uint32_t kMagic = 0x42504356;

TEST_F(StreamTest, StreamWithoutEntriesLoadsTheDefaults) {
  ComPtr<IPersistStreamInit> fresh = Fresh();
  ASSERT_EQ(fresh->Load(StreamOf(Header(kMagic, 1, 0)).Get()), S_OK);
  EXPECT_EQ(ByName(fresh.Get()).Int(L"BackShadow"), VARIANT_TRUE);
  EXPECT_EQ(ByName(fresh.Get()).Int(L"ShadowColorOpacity"), 50);
}

// Windows counts an allocation when it is committed, Wine when it is made: the larger of the two peaks.
SIZE_T PeakMemory() {
  PROCESS_MEMORY_COUNTERS counters{sizeof counters};
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return std::max(counters.PeakPagefileUsage, counters.PeakWorkingSetSize);
}

struct Damage {
  const char* what;
  std::vector<uint8_t> bytes;
};

// Damaged or hostile streams fail with an error, crash nothing and allocate nothing near what they claim.
TEST_F(StreamTest, DamagedStreamsFailCleanly) {
  std::vector<uint8_t> blob_header = Entry(Header(kMagic, 1, 1), L"Caption", VT_BSTR);
  Append(blob_header, uint32_t{0x0FFFFFF0});
  Append(blob_header, uint32_t{0x00410041});
  std::vector<uint8_t> array_header = Entry(Header(kMagic, 1, 1), L"PictureArr", VT_ARRAY | VT_UI1);
  Append(array_header, uint32_t{0x0FFFFFF0});
  std::vector<uint8_t> long_name = Header(kMagic, 1, 1);
  Append(long_name, uint32_t{0x7FFFFFFF});
  std::vector<uint8_t> garbage_object = Entry(Header(kMagic, 1, 1), L"Font", VT_DISPATCH);
  for (int i = 0; i < 64; ++i) garbage_object.push_back(static_cast<uint8_t>(i * 37));
  std::vector<uint8_t> unknown_kind = Entry(Header(kMagic, 1, 1), L"BorderWidth", 0x4242);
  Append(unknown_kind, uint16_t{3});

  const Damage cases[] = {
      {"empty", {}},
      {"wrong magic", Header(0x42504357, 1, 0)},
      {"wrong version", Header(kMagic, 2, 0)},
      {"header cut short", {0x56, 0x43, 0x50, 0x42, 1}},
      {"more entries than present", Header(kMagic, 1, 3)},
      {"absurd entry count", Header(kMagic, 1, 0xFFFFFFFF)},
      {"name longer than any key", long_name},
      {"text claiming 256 MB", blob_header},
      {"byte array claiming 256 MB", array_header},
      {"unknown value kind", unknown_kind},
      {"garbage where a font should be", garbage_object},
  };
  const SIZE_T peak_before = PeakMemory();
  for (const Damage& c : cases) {
    SCOPED_TRACE(c.what);
    ComPtr<IPersistStreamInit> fresh = Fresh();
    EXPECT_TRUE(FAILED(fresh->Load(StreamOf(c.bytes).Get())));
  }
  EXPECT_LT(PeakMemory() - peak_before, SIZE_T{64} << 20) << "a claimed size was allocated before it was read";
}

// A real stream cut at every length short of its end never loads.
TEST_F(StreamTest, EveryTruncationOfARealStreamFails) {
  HostedControl& placed = New();
  ASSERT_EQ(ByName(placed.Unknown()).Put(L"Caption", Variant::String(L"Truncated")), S_OK);
  ComPtr<IStream> stream;
  ASSERT_HRESULT_SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream));
  ASSERT_HRESULT_SUCCEEDED(placed.Query<IPersistStreamInit>()->Save(stream.Get(), TRUE));
  const std::vector<uint8_t> whole = BytesOf(*stream.Get());
  ASSERT_GT(whole.size(), 100u);

  ComPtr<IPersistStreamInit> target = Fresh();
  int loaded = 0;
  for (size_t length = 0; length < whole.size(); ++length) {
    const std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(length));
    if (SUCCEEDED(target->Load(StreamOf(cut).Get()))) {
      ADD_FAILURE() << "loaded from the first " << length << " of " << whole.size() << " bytes";
      target = Fresh();
      ++loaded;
    }
  }
  EXPECT_EQ(loaded, 0);
  EXPECT_EQ(target->Load(StreamOf(whole).Get()), S_OK);
}

// A compound document's container drives the control through IPersistStorage in the orders OLE defines;
// the control is clean only once a save has completed into the storage that stays its own.
class StorageTest : public PersistenceTest {
 protected:
  enum class Step { SaveToOwn, SaveToOther, HandsOff, Complete, CompleteWithNew, Change, InitNew, Load };
  struct Call {
    Step step;
    HRESULT expected;
  };

  void SetUp() override {
    host::ThrowIfFailed(
        library_.CreateControl(nullptr, IID_IPersistStorage, reinterpret_cast<void**>(persist_.GetAddressOf())),
        "creating ucCardel");
    own_ = NewStorage();
  }
  static ComPtr<IStorage> NewStorage() {
    ComPtr<IStorage> storage;
    host::ThrowIfFailed(StgCreateDocfile(nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE |
                                                          STGM_DELETEONRELEASE, 0, &storage),
                            "StgCreateDocfile");
    return storage;
  }
  HRESULT Do(Step step) {
    switch (step) {
      case Step::SaveToOwn: return persist_->Save(own_.Get(), TRUE);
      case Step::SaveToOther: return persist_->Save(other_.Get(), FALSE);
      case Step::HandsOff: return persist_->HandsOffStorage();
      case Step::Complete: return persist_->SaveCompleted(nullptr);
      case Step::CompleteWithNew: return persist_->SaveCompleted(other_.Get());
      case Step::Change: return ByName(persist_.Get()).PutInt(L"BorderWidth", ++borderWidth_);
      case Step::InitNew: return persist_->InitNew(own_.Get());
      case Step::Load: return persist_->Load(own_.Get());
    }
    return E_FAIL;
  }
  // Runs the calls on a control made new and changed, and reports whether it still has unsaved changes.
  bool DirtyAfter(const char* what, std::initializer_list<Call> calls) {
    SCOPED_TRACE(what);
    EXPECT_EQ(Do(Step::InitNew), S_OK);
    EXPECT_EQ(Do(Step::Change), S_OK);
    for (const Call& call : calls) EXPECT_EQ(Do(call.step), call.expected) << static_cast<int>(call.step);
    return persist_->IsDirty() == S_OK;
  }

  ComPtr<IPersistStorage> persist_;
  ComPtr<IStorage> own_;
  ComPtr<IStorage> other_ = NewStorage();
  int borderWidth_ = 1;
};

TEST_F(StorageTest, OnlyACompletedSaveIntoTheControlsOwnStorageClearsItsChanges) {
  EXPECT_FALSE(DirtyAfter("save", {{Step::SaveToOwn, S_OK}, {Step::Complete, S_OK}}));
}

TEST_F(StorageTest, SaveAsClearsTheChangesOnceTheNewStorageIsHandedOver) {
  EXPECT_FALSE(DirtyAfter("save as", {{Step::SaveToOther, S_OK}, {Step::CompleteWithNew, S_OK}}));
}

TEST_F(StorageTest, SaveCopyAsLeavesTheChangesUnsaved) {
  EXPECT_TRUE(DirtyAfter("save copy as", {{Step::SaveToOther, S_OK}, {Step::Complete, S_OK}}));
}

TEST_F(StorageTest, AFullSaveThroughHandsOffCompletesOnlyWithTheNewStorage) {
  EXPECT_FALSE(DirtyAfter("full save", {{Step::SaveToOther, S_OK},
                                        {Step::HandsOff, S_OK},
                                        {Step::Complete, E_INVALIDARG},
                                        {Step::SaveToOwn, E_UNEXPECTED},
                                        {Step::CompleteWithNew, S_OK}}));
}

TEST_F(StorageTest, HandsOffWithoutASaveSavesNothing) {
  EXPECT_TRUE(DirtyAfter("hands off from normal", {{Step::HandsOff, S_OK},
                                                   {Step::HandsOff, E_UNEXPECTED},
                                                   {Step::Complete, E_INVALIDARG},
                                                   {Step::CompleteWithNew, S_OK}}));
}

TEST_F(StorageTest, CompletionWithoutASaveIsRefusedAndChangesNothing) {
  EXPECT_TRUE(DirtyAfter("no save", {{Step::Complete, E_UNEXPECTED}, {Step::CompleteWithNew, E_UNEXPECTED}}));
}

TEST_F(StorageTest, AChangeMadeWhileTheSaveIsUnderWayStaysUnsaved) {
  EXPECT_TRUE(DirtyAfter("change after save", {{Step::SaveToOwn, S_OK}, {Step::Change, S_OK}, {Step::Complete, S_OK}}));
}

TEST_F(StorageTest, ASecondCompletionOrInitialisationIsOutOfOrder) {
  EXPECT_FALSE(DirtyAfter("twice", {{Step::SaveToOwn, S_OK},
                                    {Step::Complete, S_OK},
                                    {Step::Complete, E_UNEXPECTED},
                                    {Step::InitNew, CO_E_ALREADYINITIALIZED},
                                    {Step::Load, CO_E_ALREADYINITIALIZED}}));
}

TEST_F(StorageTest, AnUninitialisedControlHasNoStorageToSaveOrLetGo) {
  for (Step step : {Step::SaveToOwn, Step::HandsOff, Step::Complete, Step::CompleteWithNew})
    EXPECT_EQ(Do(step), E_UNEXPECTED) << static_cast<int>(step);
  EXPECT_EQ(Do(Step::InitNew), S_OK);
  EXPECT_EQ(persist_->IsDirty(), S_FALSE);
}

}  // namespace
}  // namespace cardel::controltest
