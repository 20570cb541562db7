// The saved form under stress: a picture kept bit for bit over repeated saves, a saved form whose picture
// is missing or broken, and loads of randomly damaged streams and bags. Controls come straight from the
// class factory, without a container, as a container that persists to streams creates them; that keeps
// thousands of loads cheap.
#include <gtest/gtest.h>
#include <windows.h>
// GDI+ needs the COM declarations before it.
#include <objidl.h>
#include <gdiplus.h>
#include <olectl.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "VelmarCardel_h.h"
#include "common/gdiplus_handles.h"
#include "com_object.h"
#include "hosted_control.h"
#include "host_error.h"
#include "library.h"
#include "property_bag.h"
#include "test_pictures.h"
#include "variant.h"

namespace cardel::persistencetest {
namespace {

using host::ComPtr;
using host::Library;
using host::PropertyBag;
using host::ThrowIfFailed;
using host::Variant;

std::vector<uint8_t> ContentOf(IStream& stream) {
  STATSTG stat{};
  ThrowIfFailed(stream.Stat(&stat, STATFLAG_NONAME), "IStream::Stat");
  std::vector<uint8_t> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
  ThrowIfFailed(stream.Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr), "IStream::Seek");
  ULONG read = 0;
  if (!bytes.empty()) ThrowIfFailed(stream.Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read), "IStream::Read");
  return bytes;
}

ComPtr<IStream> StreamOf(const std::vector<uint8_t>& bytes) {
  ComPtr<IStream> stream;
  ThrowIfFailed(CreateStreamOnHGlobal(nullptr, TRUE, &stream), "CreateStreamOnHGlobal");
  ULONG written = 0;
  if (!bytes.empty()) ThrowIfFailed(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written), "Write");
  ThrowIfFailed(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr), "IStream::Seek");
  return stream;
}

// A PNG encoded here by GDI+, so the test knows its bytes and size without trusting the control.
std::vector<uint8_t> MakePng(UINT width, UINT height) {
  using namespace Gdiplus::DllExports;
  ULONG_PTR token = 0;
  const Gdiplus::GdiplusStartupInput input;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) throw host::HostError("GdiplusStartup", E_FAIL);
  ComPtr<IStream> stream;
  if (const HRESULT hr = CreateStreamOnHGlobal(nullptr, TRUE, &stream); FAILED(hr)) {
    Gdiplus::GdiplusShutdown(token);
    throw host::HostError("CreateStreamOnHGlobal", hr);
  }
  Gdiplus::GpStatus saved = Gdiplus::Ok;
  {
    // Scoped so the bitmap goes before GDI+ shuts down.
    gdip::UniqueBitmap bitmap;
    GdipCreateBitmapFromScan0(static_cast<INT>(width), static_cast<INT>(height), 0, PixelFormat32bppARGB, nullptr,
                              bitmap.put());
    // A pattern with varying alpha, so that any re-encoding would change the bytes.
    for (UINT y = 0; y < height; ++y)
      for (UINT x = 0; x < width; ++x)
        GdipBitmapSetPixel(bitmap.get(), x, y, ((x * 7) << 24) | (y * 11) << 16 | (x ^ y) << 8 | 0x40);
    const CLSID png_encoder{0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    saved = GdipSaveImageToStream(bitmap.get(), stream.Get(), &png_encoder, nullptr);
  }
  Gdiplus::GdiplusShutdown(token);
  if (saved != Gdiplus::Ok) throw host::HostError("GdipSaveImageToStream", E_FAIL);
  return ContentOf(*stream.Get());
}

ComPtr<IFontDisp> MakeFont(const wchar_t* face, LONGLONG size_cy, BOOL bold) {
  FONTDESC desc{sizeof(FONTDESC), const_cast<LPOLESTR>(face), {{}}, static_cast<SHORT>(bold ? FW_BOLD : FW_NORMAL),
                ANSI_CHARSET, FALSE, FALSE, FALSE};
  desc.cySize.int64 = size_cy;
  ComPtr<IFontDisp> font;
  ThrowIfFailed(OleCreateFontIndirect(&desc, IID_IFontDisp, reinterpret_cast<void**>(font.GetAddressOf())),
                "OleCreateFontIndirect");
  return font;
}

ComPtr<IPictureDisp> MakeIcon() {
  PICTDESC desc{sizeof(PICTDESC), PICTYPE_ICON};
  desc.icon.hicon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  ComPtr<IPictureDisp> picture;
  ThrowIfFailed(OleCreatePictureIndirect(&desc, IID_IPictureDisp, FALSE, reinterpret_cast<void**>(picture.GetAddressOf())),
                "OleCreatePictureIndirect");
  return picture;
}

// Private bytes and the peak of what the process ever held. Wine counts an allocation when it is
// made, Windows when it is committed: the peak takes the larger of the two measures.
long long PrivateBytes() {
  PROCESS_MEMORY_COUNTERS counters{sizeof counters};
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<long long>(counters.PagefileUsage);
}

SIZE_T PeakBytes() {
  PROCESS_MEMORY_COUNTERS counters{sizeof counters};
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return std::max(counters.PeakPagefileUsage, counters.PeakWorkingSetSize);
}

// A host's picture object whose saved form is the given icon or cursor file, as a picture loaded from
// bytes the system did not refuse.
class SavedIconPicture final : public host::ComObject<IDispatch, IPersistStream> {
 public:
  explicit SavedIconPicture(std::vector<uint8_t> file) : file_(std::move(file)) {}
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) noexcept override {
    *clsid = CLSID_StdPicture;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE IsDirty() noexcept override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE Load(IStream*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL) noexcept override {
    const DWORD header[] = {0x746C, static_cast<DWORD>(file_.size())};
    ULONG written = 0;
    HRESULT hr = stream->Write(header, sizeof header, &written);
    return SUCCEEDED(hr) ? stream->Write(file_.data(), static_cast<ULONG>(file_.size()), &written) : hr;
  }
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) noexcept override {
    size->QuadPart = file_.size() + 8;
    return S_OK;
  }

 private:
  void* Find(REFIID riid) noexcept override {
    if (riid == IID_IDispatch || riid == IID_IPictureDisp) return static_cast<IDispatch*>(this);
    if (riid == IID_IPersist || riid == IID_IPersistStream) return static_cast<IPersistStream*>(this);
    return nullptr;
  }
  std::vector<uint8_t> file_;
};

class SavedFormTest : public testing::Test {
 protected:
  // A control neither initialised nor loaded yet.
  ComPtr<_ucCardel> Fresh() const {
    ComPtr<_ucCardel> control;
    ThrowIfFailed(library_.CreateControl(nullptr, IID__ucCardel, reinterpret_cast<void**>(control.GetAddressOf())),
                  "creating ucCardel");
    return control;
  }
  ComPtr<_ucCardel> New() const {
    ComPtr<_ucCardel> control = Fresh();
    ThrowIfFailed(Persist<IPersistStreamInit>(control)->InitNew(), "InitNew");
    return control;
  }
  template <class Interface>
  static ComPtr<Interface> Persist(const ComPtr<_ucCardel>& control) {
    ComPtr<Interface> persist;
    ThrowIfFailed(control.As(&persist), "QueryInterface");
    return persist;
  }
  static HRESULT Load(const ComPtr<_ucCardel>& control, PropertyBag& bag) {
    return Persist<IPersistPropertyBag>(control)->Load(&bag, nullptr);
  }
  static HRESULT Load(const ComPtr<_ucCardel>& control, const std::vector<uint8_t>& bytes) {
    return Persist<IPersistStreamInit>(control)->Load(StreamOf(bytes).Get());
  }
  static ComPtr<PropertyBag> SaveToBag(const ComPtr<_ucCardel>& control) {
    ComPtr<PropertyBag> bag = PropertyBag::Make();
    ThrowIfFailed(Persist<IPersistPropertyBag>(control)->Save(bag.Get(), TRUE, TRUE), "Save to a bag");
    return bag;
  }
  static std::vector<uint8_t> SaveToStream(const ComPtr<_ucCardel>& control) {
    ComPtr<IStream> stream;
    ThrowIfFailed(CreateStreamOnHGlobal(nullptr, TRUE, &stream), "CreateStreamOnHGlobal");
    ThrowIfFailed(Persist<IPersistStreamInit>(control)->Save(stream.Get(), TRUE), "Save to a stream");
    return ContentOf(*stream.Get());
  }

  static std::vector<uint8_t> PictureBytes(_ucCardel& control) {
    SAFEARRAY* array = nullptr;
    ThrowIfFailed(control.PictureGetStream(&array), "PictureGetStream");
    const auto* data = static_cast<const uint8_t*>(array->pvData);
    std::vector<uint8_t> bytes(data, data + array->rgsabound[0].cElements);
    SafeArrayDestroy(array);
    return bytes;
  }
  static bool HasPicture(_ucCardel& control) {
    VARIANT_BOOL exist = VARIANT_FALSE;
    ThrowIfFailed(control.get_PictureExist(&exist), "PictureExist");
    return exist != VARIANT_FALSE;
  }
  static void GivePicture(_ucCardel& control, const std::vector<uint8_t>& bytes) {
    const Variant array = Variant::Bytes(bytes);
    SAFEARRAY* data = array->parray;
    VARIANT_BOOL decoded = VARIANT_FALSE;
    ThrowIfFailed(control.PictureFromStream(&data, &decoded), "PictureFromStream");
    if (!decoded) throw host::HostError("PictureFromStream did not decode", E_FAIL);
  }

  Library library_;
};

struct PictureSize {
  LONG width, height;
  bool operator==(const PictureSize&) const = default;
};

PictureSize SizeOf(_ucCardel& control) {
  PictureSize size{};
  ThrowIfFailed(control.get_PictureGetWidth(&size.width), "PictureGetWidth");
  ThrowIfFailed(control.get_PictureGetHeight(&size.height), "PictureGetHeight");
  return size;
}

// Three saves in a row, each loaded into a fresh control by one persistence protocol, keep a PNG bit for bit.
class PngSavesTest : public SavedFormTest {
 protected:
  using RoundTrip = std::function<void(const ComPtr<_ucCardel>& from, const ComPtr<_ucCardel>& to)>;
  void ExpectThreeSavesKeepThePng(const RoundTrip& roundTrip) {
    ComPtr<_ucCardel> control = New();
    GivePicture(*control.Get(), png_);
    for (int cycle = 1; cycle <= 3; ++cycle) {
      SCOPED_TRACE("cycle " + std::to_string(cycle));
      const ComPtr<_ucCardel> loaded = Fresh();
      roundTrip(control, loaded);
      if (HasFatalFailure()) return;
      EXPECT_TRUE(HasPicture(*loaded.Get()));
      EXPECT_EQ(PictureBytes(*loaded.Get()), png_);
      EXPECT_EQ(SizeOf(*loaded.Get()), (PictureSize{37, 23}));
      control = loaded;
    }
  }
  const std::vector<uint8_t> png_ = MakePng(37, 23);
};

TEST_F(PngSavesTest, ThroughAPropertyBag) {
  ExpectThreeSavesKeepThePng([this](const ComPtr<_ucCardel>& from, const ComPtr<_ucCardel>& to) {
    const ComPtr<PropertyBag> bag = SaveToBag(from);
    EXPECT_EQ(bag->Get(L"PicturePresent")->ToBool(), true);
    EXPECT_EQ(bag->Get(L"PictureArr")->vt(), VT_ARRAY | VT_UI1);
    EXPECT_EQ(bag->Get(L"PictureArr")->ToBytes(), png_);
    ASSERT_EQ(Load(to, *bag.Get()), S_OK);
  });
}

TEST_F(PngSavesTest, ThroughAStream) {
  ExpectThreeSavesKeepThePng([](const ComPtr<_ucCardel>& from, const ComPtr<_ucCardel>& to) {
    ASSERT_EQ(Load(to, SaveToStream(from)), S_OK);
  });
}

TEST_F(SavedFormTest, MissingDeletedOrUndecodablePictureLoadsAsNoPicture) {
  const std::vector<uint8_t> png = MakePng(16, 9);

  // A deleted picture is saved as none: "PicturePresent" False (its default, so absent) and the integer 0.
  const ComPtr<_ucCardel> deleted = New();
  GivePicture(*deleted.Get(), png);
  VARIANT ignored;
  ASSERT_EQ(deleted->PictureDelete(&ignored), S_OK);
  const ComPtr<PropertyBag> none = SaveToBag(deleted);
  EXPECT_FALSE(none->Has(L"PicturePresent"));
  ASSERT_TRUE(none->Has(L"PictureArr"));
  EXPECT_EQ(none->Get(L"PictureArr")->vt(), VT_I2);
  EXPECT_EQ(none->Get(L"PictureArr")->ToLong(), 0);
  const ComPtr<_ucCardel> from_none = Fresh();
  ASSERT_EQ(Load(from_none, *none.Get()), S_OK);
  EXPECT_FALSE(HasPicture(*from_none.Get()));
  EXPECT_TRUE(PictureBytes(*from_none.Get()).empty());

  // Bytes that do not decode (a PNG cut in half) are dropped without an error.
  ComPtr<PropertyBag> broken = PropertyBag::Make();
  broken->Set(L"PicturePresent", Variant::Bool(true));
  broken->Set(L"PictureArr", Variant::Bytes(std::vector<uint8_t>(png.begin(), png.begin() + static_cast<ptrdiff_t>(png.size() / 2))));
  const ComPtr<_ucCardel> from_broken = Fresh();
  EXPECT_EQ(Load(from_broken, *broken.Get()), S_OK);
  EXPECT_FALSE(HasPicture(*from_broken.Get()));
  EXPECT_TRUE(PictureBytes(*from_broken.Get()).empty());

  // "PicturePresent" True without "PictureArr": the read without a default gets the bag's answer for an
  // absent key, which ends the load after every other value was applied.
  ComPtr<PropertyBag> missing = PropertyBag::Make();
  missing->Set(L"PicturePresent", Variant::Bool(true));
  missing->Set(L"BorderWidth", Variant::Short(9));
  missing->Set(L"IconOpacity", Variant::Short(37));
  const ComPtr<_ucCardel> control = Fresh();
  EXPECT_EQ(Load(control, *missing.Get()), E_INVALIDARG);
  EXPECT_EQ(missing->Reads().back(), L"PictureArr");
  short border = 0, icon_opacity = 0;
  ASSERT_EQ(control->get_BorderWidth(&border), S_OK);
  ASSERT_EQ(control->get_IconOpacity(&icon_opacity), S_OK);
  EXPECT_EQ(border, 9);
  EXPECT_EQ(icon_opacity, 37);
  EXPECT_FALSE(HasPicture(*control.Get()));
}

// A saved length far beyond any screen once reached GDI+ as a 1.6-billion-pixel tail and faulted
// inside the box shadow's fill; it must fail the load as an overflow instead.
TEST_F(SavedFormTest, AnAbsurdSavedLengthFailsTheLoadInsteadOfReachingGdiplus) {
  ComPtr<PropertyBag> bag = PropertyBag::Make();
  bag->Set(L"CallOut", Variant::Bool(true));
  bag->Set(L"BorderWidth", Variant::Short(3));
  bag->Set(L"ShadowSize", Variant::Short(4));
  bag->Set(L"CallOutLen", Variant::Long(-1677904833));
  const ComPtr<_ucCardel> control = Fresh();
  EXPECT_EQ(Load(control, *bag.Get()), static_cast<HRESULT>(0x800A0006));
}

// A stream may name the class of each object it holds. A class other than a font or picture, here a
// shell link saved in full, must not be created and fed the stream's bytes.
TEST_F(SavedFormTest, StreamObjectOfAnotherClassIsRejected) {
  ComPtr<IPersistStream> link;
  ThrowIfFailed(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link)), "ShellLink");
  ComPtr<IStream> stream;
  ThrowIfFailed(CreateStreamOnHGlobal(nullptr, TRUE, &stream), "CreateStreamOnHGlobal");
  const wchar_t key[] = L"Font";
  const uint32_t magic = 0x42504356, count = 1, key_length = 4;
  const uint16_t version = 1, kind = VT_UNKNOWN;
  for (const auto& [data, size] : std::initializer_list<std::pair<const void*, ULONG>>{
           {&magic, 4}, {&version, 2}, {&count, 4}, {&key_length, 4}, {key, 8}, {&kind, 2}})
    ThrowIfFailed(stream->Write(data, size, nullptr), "Write");
  ThrowIfFailed(OleSaveToStream(link.Get(), stream.Get()), "OleSaveToStream");

  EXPECT_EQ(Load(Fresh(), ContentOf(*stream.Get())), STG_E_DOCFILECORRUPT);
}

// Randomly damaged saved forms, from a seeded generator so that a failure repeats.
class FuzzTest : public SavedFormTest {
 protected:
  static constexpr int kRounds = 10000;
  // Loads before the memory is measured, so that caches the first loads fill (GDI+, fonts, OLE's class
  // lookups) do not count as growth.
  static constexpr int kWarmUp = 200;
  static constexpr long long kGrowthBound = 8ll << 20;
  static constexpr SIZE_T kPeakBound = SIZE_T{64} << 20;

  // A control using every kind of saved value: scalars off their defaults, text, both fonts and a
  // picture. The mouse icon is left to the bags: in a stream its icon file would outweigh everything
  // else, and mutations landing there would test the system's icon decoder rather than the control.
  ComPtr<_ucCardel> Rich() {
    ComPtr<_ucCardel> control = New();
    EXPECT_EQ(host::SetCaption(control.Get(), L"Fuzz \u00E9\u2713"), S_OK);
    EXPECT_EQ(control->put_BorderWidth(3), S_OK);
    EXPECT_EQ(control->put_ShadowSize(4), S_OK);
    EXPECT_EQ(control->put_CallOut(VARIANT_TRUE), S_OK);
    EXPECT_EQ(control->putref_Font(MakeFont(L"Tahoma", 115000, TRUE).Get()), S_OK);
    EXPECT_EQ(control->putref_IconFont(MakeFont(L"Arial", 180000, FALSE).Get()), S_OK);
    GivePicture(*control.Get(), png_);
    return control;
  }

  // What a successfully loaded control must still do: report its picture consistently and save again.
  void CheckLoaded(const ComPtr<_ucCardel>& control) {
    EXPECT_EQ(HasPicture(*control.Get()), !PictureBytes(*control.Get()).empty());
    ComPtr<IStream> stream;
    ThrowIfFailed(CreateStreamOnHGlobal(nullptr, TRUE, &stream), "CreateStreamOnHGlobal");
    EXPECT_HRESULT_SUCCEEDED(Persist<IPersistStreamInit>(control)->Save(stream.Get(), FALSE));
  }

  std::vector<uint8_t> Mutated(const std::vector<uint8_t>& valid) {
    std::vector<uint8_t> bytes = valid;
    for (int edits = 1 + static_cast<int>(rng_() % 4); edits > 0; --edits) {
      const size_t at = rng_() % (bytes.size() + 1);
      switch (rng_() % 4) {
        case 0:
          if (at < bytes.size()) bytes[at] ^= static_cast<uint8_t>(1u << (rng_() % 8));
          break;
        case 1:
          bytes.resize(at);
          break;
        case 2:
          for (int n = 1 + static_cast<int>(rng_() % 8); n > 0; --n)
            bytes.insert(bytes.begin() + static_cast<ptrdiff_t>(at), static_cast<uint8_t>(rng_()));
          break;
        default: {
          // A length or count that claims far more than the stream holds.
          const uint32_t huge[] = {0xFFFFFFFFu, 0x7FFFFFFFu, 0x10000000u, 0x0FFFFFF0u, 0x00100000u};
          const uint32_t value = huge[rng_() % std::size(huge)];
          if (at + 4 <= bytes.size()) std::memcpy(bytes.data() + at, &value, 4);
        }
      }
    }
    return bytes;
  }

  Variant RandomValue() {
    VARIANT raw;
    VariantInit(&raw);
    switch (rng_() % 14) {
      case 0: return Variant();
      case 1: raw.vt = VT_NULL; return Variant(raw);
      case 2: return Variant::Short(static_cast<short>(rng_()));
      case 3: {
        const long edges[] = {0, -1, 32767, 32768, -32769, std::numeric_limits<long>::min(),
                              std::numeric_limits<long>::max(), static_cast<long>(rng_())};
        return Variant::Long(edges[rng_() % std::size(edges)]);
      }
      case 4: return Variant::Bool(rng_() % 2);
      case 5: {
        const double edges[] = {std::nan(""), HUGE_VAL, -1e300, 2147483648.0, 0.5, -32768.5};
        return Variant::Double(edges[rng_() % std::size(edges)]);
      }
      case 6: {
        const wchar_t* const texts[] = {L"", L"abc", L"123", L"-40000", L"&H8000000F", L"1e40", L"True"};
        return Variant::String(texts[rng_() % std::size(texts)]);
      }
      case 7: {
        // Text of an odd byte length, which no UTF-16 string has.
        std::string bytes(1 + 2 * (rng_() % 8), '\0');
        for (char& c : bytes) c = static_cast<char>(rng_());
        Variant text;
        V_VT(text.get()) = VT_BSTR;
        V_BSTR(text.get()) = SysAllocStringByteLen(bytes.data(), static_cast<UINT>(bytes.size()));
        return text;
      }
      case 8: {
        std::vector<uint8_t> bytes(rng_() % 64);
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng_());
        return Variant::Bytes(bytes);
      }
      case 9: return Variant::Bytes(std::vector<uint8_t>(png_.begin(), png_.begin() + static_cast<ptrdiff_t>(rng_() % png_.size())));
      case 10: return Variant::Object(static_cast<IDispatch*>(font_.Get()));
      case 11: return Variant::Object(static_cast<IDispatch*>(icon_.Get()));
      case 12: return Variant::Object(static_cast<IDispatch*>(nullptr));
      default: {
        const VARTYPE kinds[] = {VT_DATE, VT_CY, VT_ERROR, VT_R4, VT_UI4, VT_I1};
        raw.vt = kinds[rng_() % std::size(kinds)];
        raw.llVal = static_cast<LONGLONG>(rng_()) << 32 | rng_();
        return Variant(raw);
      }
    }
  }

  ComPtr<PropertyBag> Mutated(const PropertyBag& valid, const std::vector<std::wstring>& keys) {
    ComPtr<PropertyBag> bag = PropertyBag::Make();
    for (const std::wstring& key : keys) {
      switch (rng_() % 8) {
        case 0: break;  // removed
        case 1: bag->Set(key, RandomValue()); break;
        default: bag->Set(key, *valid.Get(key));
      }
    }
    if (rng_() % 8 == 0) {
      const HRESULT errors[] = {E_FAIL, E_OUTOFMEMORY, STG_E_READFAULT, E_ACCESSDENIED};
      bag->FailRead(keys[rng_() % keys.size()], errors[rng_() % std::size(errors)]);
    }
    return bag;
  }

  std::mt19937 rng_{20240611};
  const std::vector<uint8_t> png_ = MakePng(24, 18);
  const ComPtr<IFontDisp> font_ = MakeFont(L"Tahoma", 90000, FALSE);
  const ComPtr<IPictureDisp> icon_ = MakeIcon();
};

TEST_F(FuzzTest, MutatedStreamsLoadOrFailWithoutCrashOrGrowth) {
  const std::vector<uint8_t> valid = SaveToStream(Rich());
  ASSERT_EQ(Load(Fresh(), valid), S_OK);
  int loaded = 0;
  long long private_before = 0;
  const SIZE_T peak_before = PeakBytes();
  for (int round = 0; round < kWarmUp + kRounds; ++round) {
    if (round == kWarmUp) private_before = PrivateBytes();
    const std::vector<uint8_t> bytes = Mutated(valid);
    const ComPtr<_ucCardel> control = Fresh();
    if (SUCCEEDED(Load(control, bytes))) {
      ++loaded;
      CheckLoaded(control);
    }
    if (HasFatalFailure() || HasNonfatalFailure()) FAIL() << "round " << round;
  }
  // Both outcomes must be reached, or the mutations test nothing.
  EXPECT_GT(loaded, 0);
  EXPECT_LT(loaded, kWarmUp + kRounds);
  EXPECT_LT(PrivateBytes() - private_before, kGrowthBound);
  EXPECT_LT(PeakBytes() - peak_before, kPeakBound) << "a claimed size was allocated before it was read";
  RecordProperty("loaded", loaded);
  RecordProperty("private_growth_kb", static_cast<int>((PrivateBytes() - private_before) >> 10));
  RecordProperty("peak_growth_kb", static_cast<int>((PeakBytes() - peak_before) >> 10));
}

TEST_F(FuzzTest, MutatedBagsLoadOrFailWithoutCrashOrGrowth) {
  const ComPtr<_ucCardel> rich = Rich();
  ASSERT_EQ(rich->putref_MouseIcon(icon_.Get()), S_OK);
  const ComPtr<PropertyBag> valid = SaveToBag(rich);
  const std::vector<std::wstring> keys = valid->Writes();
  ASSERT_EQ(Load(Fresh(), *valid.Get()), S_OK);
  int loaded = 0;
  long long private_before = 0;
  const SIZE_T peak_before = PeakBytes();
  for (int round = 0; round < kWarmUp + kRounds; ++round) {
    if (round == kWarmUp) private_before = PrivateBytes();
    const ComPtr<PropertyBag> bag = Mutated(*valid.Get(), keys);
    const ComPtr<_ucCardel> control = Fresh();
    if (SUCCEEDED(Load(control, *bag.Get()))) {
      ++loaded;
      CheckLoaded(control);
    }
    if (HasFatalFailure() || HasNonfatalFailure()) FAIL() << "round " << round;
  }
  EXPECT_GT(loaded, 0);
  EXPECT_LT(loaded, kWarmUp + kRounds);
  EXPECT_LT(PrivateBytes() - private_before, kGrowthBound);
  EXPECT_LT(PeakBytes() - peak_before, kPeakBound);
  RecordProperty("loaded", loaded);
  RecordProperty("private_growth_kb", static_cast<int>((PrivateBytes() - private_before) >> 10));
  RecordProperty("peak_growth_kb", static_cast<int>((PeakBytes() - peak_before) >> 10));
}

// Icons and cursors the system's loaders would trust blindly are refused as an invalid picture wherever a
// picture object reaches the control: MouseIcon, a host's bag, a saved stream. A sound one still loads.
TEST_F(SavedFormTest, HostileIconsAreRefusedAsInvalidPictures) {
  constexpr HRESULT kInvalidPicture = static_cast<HRESULT>(0x800A01E1);
  const std::vector<uint8_t> good = testpictures::MakeIco(16, 16, 0xFF336699);
  auto picture = [](const std::vector<uint8_t>& file) {
    ComPtr<IPictureDisp> disp;
    host::MakeCom<SavedIconPicture>(file).As(&disp);
    return disp;
  };
  auto bagWith = [&](const std::vector<uint8_t>& file) {
    ComPtr<_ucCardel> control = New();
    ThrowIfFailed(control->putref_MouseIcon(picture(good).Get()), "MouseIcon");
    ComPtr<PropertyBag> bag = SaveToBag(control);
    Variant icon = Variant::Object(picture(file).Get());
    bag->Write(L"MouseIcon", icon.get());
    return bag;
  };
  // The stream keeps the file's length, so a damaged file of the same size takes its place.
  const std::vector<uint8_t> stream = [&] {
    ComPtr<_ucCardel> control = New();
    ThrowIfFailed(control->putref_MouseIcon(picture(good).Get()), "MouseIcon");
    return SaveToStream(control);
  }();
  const auto at = std::search(stream.begin(), stream.end(), good.begin(), good.end());
  ASSERT_NE(at, stream.end());

  EXPECT_EQ(New()->putref_MouseIcon(picture(good).Get()), S_OK);
  EXPECT_EQ(Load(Fresh(), *bagWith(good).Get()), S_OK);
  EXPECT_EQ(Load(Fresh(), stream), S_OK);
  for (const auto& hostile : testpictures::HostileIcons()) {
    SCOPED_TRACE(hostile.what);
    const ComPtr<_ucCardel> control = New();
    EXPECT_EQ(control->putref_MouseIcon(picture(hostile.bytes).Get()), kInvalidPicture);
    IPictureDisp* kept = nullptr;
    EXPECT_EQ(control->get_MouseIcon(&kept), S_OK);
    EXPECT_EQ(kept, nullptr) << "a refused picture changes nothing";
    EXPECT_EQ(Load(Fresh(), *bagWith(hostile.bytes).Get()), kInvalidPicture);
    if (hostile.bytes.size() == good.size()) {
      std::vector<uint8_t> damaged = stream;
      std::copy(hostile.bytes.begin(), hostile.bytes.end(), damaged.begin() + (at - stream.begin()));
      EXPECT_EQ(Load(Fresh(), damaged), kInvalidPicture);
    }
    SAFEARRAY* bytes = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(hostile.bytes.size()));
    std::copy(hostile.bytes.begin(), hostile.bytes.end(), static_cast<uint8_t*>(bytes->pvData));
    VARIANT_BOOL loaded = VARIANT_TRUE;
    EXPECT_EQ(control->PictureFromStream(&bytes, &loaded), S_OK);
    EXPECT_EQ(loaded, VARIANT_FALSE);
    SafeArrayDestroy(bytes);
  }
}

}  // namespace
}  // namespace cardel::persistencetest
