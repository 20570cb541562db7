// The rules of COM that every client of the control relies on without checking: object identity,
// aggregation, the module's lifetime, the class's self-description, the two ways of calling a dual
// interface, error reporting, connection points and one-time initialisation.
#include <gtest/gtest.h>

#include <olectl.h>
#include <wrl/client.h>

#include <set>
#include <string>
#include <vector>

#include "com_object.h"
#include "control/cardel_interfaces.h"
#include "library.h"
#include "ole_support.h"

namespace cardel::oletest {
namespace {

using Microsoft::WRL::ComPtr;
using testhost::ComObject;
using testhost::Variant;

constexpr IID kIObjectSafety{0xCB5BDC81, 0x93C1, 0x11CF, {0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0, 0x64}};
constexpr IID kNeverImplemented{0x5A1E0C57, 0x93D4, 0x4B0E, {0x9C, 0x11, 0x27, 0x6B, 0x0E, 0x3A, 0x51, 0x0D}};
constexpr CLSID kStandardFontPage{0x7EBDAAE0, 0x8120, 0x11CF, {0x89, 0x9F, 0x00, 0xAA, 0x00, 0x68, 0x8B, 0x10}};
constexpr CLSID kStandardColorPage{0x7EBDAAE1, 0x8120, 0x11CF, {0x89, 0x9F, 0x00, 0xAA, 0x00, 0x68, 0x8B, 0x10}};

constexpr HRESULT kOverflow = static_cast<HRESULT>(0x800A0006);
constexpr DISPID kBackColorOpacity = 0x68030039;
constexpr DISPID kPictureContrast = 0x6803004F;
constexpr DISPID kCaption = 0x6803002C;
constexpr DISPID kIconCharCode = 0x68030007;
constexpr DISPID kChrW2 = 0x6003008F;
constexpr DISPID kRefresh = 0x60030070;

struct NamedIid {
  const IID* iid;
  const char* name;
};

const NamedIid kOffered[] = {
    {&IID_IDispatch, "IDispatch"},
    {&IID__ucCardel, "_ucCardel"},
    {&IID_IOleObject, "IOleObject"},
    {&IID_IOleControl, "IOleControl"},
    {&IID_IOleWindow, "IOleWindow"},
    {&IID_IOleInPlaceObject, "IOleInPlaceObject"},
    {&IID_IOleInPlaceObjectWindowless, "IOleInPlaceObjectWindowless"},
    {&IID_IOleInPlaceActiveObject, "IOleInPlaceActiveObject"},
    {&IID_IViewObject, "IViewObject"},
    {&IID_IViewObject2, "IViewObject2"},
    {&IID_IViewObjectEx, "IViewObjectEx"},
    {&IID_IPersist, "IPersist"},
    {&IID_IPersistStreamInit, "IPersistStreamInit"},
    {&IID_IPersistPropertyBag, "IPersistPropertyBag"},
    {&IID_IConnectionPointContainer, "IConnectionPointContainer"},
    {&IID_IProvideClassInfo, "IProvideClassInfo"},
    {&IID_IProvideClassInfo2, "IProvideClassInfo2"},
    {&IID_ISpecifyPropertyPages, "ISpecifyPropertyPages"},
    {&IID_IQuickActivate, "IQuickActivate"},
    {&IID_ISupportErrorInfo, "ISupportErrorInfo"},
};

const NamedIid kNotOffered[] = {
    {&IID_IClassFactory, "IClassFactory"},     {&IID_IOleClientSite, "IOleClientSite"},
    {&kIObjectSafety, "IObjectSafety"},        {&IID_IDataObject, "IDataObject"},
    {&IID_IPersistStorage, "IPersistStorage"}, {&IID_IConnectionPoint, "IConnectionPoint"},
    {&kNeverImplemented, "an unknown IID"},
};

ComPtr<IUnknown> Identity(IUnknown* object) {
  ComPtr<IUnknown> identity;
  object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.GetAddressOf()));
  return identity;
}

class ComRulesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(library_.CreateControl(nullptr, IID_IUnknown, reinterpret_cast<void**>(control_.GetAddressOf())),
              S_OK);
    ASSERT_EQ(control_.As(&cardel_), S_OK);
    ASSERT_EQ(control_.As(&dispatch_), S_OK);
  }

  template <class Interface>
  ComPtr<Interface> Query(const IID& iid) {
    ComPtr<Interface> result;
    EXPECT_EQ(control_->QueryInterface(iid, reinterpret_cast<void**>(result.GetAddressOf())), S_OK);
    return result;
  }

  DISPID IdOf(const wchar_t* name) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK) << Narrow(name);
    return id;
  }

  testhost::Library library_;
  ComPtr<IUnknown> control_;
  ComPtr<_ucCardel> cardel_;
  ComPtr<IDispatch> dispatch_;
};

// Identity, symmetry and transitivity: every offered interface reaches every other, and all of them the
// same IUnknown.
TEST_F(ComRulesTest, EveryInterfaceReachesEveryOtherAndTheSameIdentity) {
  const ComPtr<IUnknown> identity = Identity(control_.Get());
  EXPECT_EQ(identity, control_);
  for (const NamedIid& from : kOffered) {
    SCOPED_TRACE(from.name);
    ComPtr<IUnknown> source;
    ASSERT_EQ(control_->QueryInterface(*from.iid, reinterpret_cast<void**>(source.GetAddressOf())), S_OK);
    ASSERT_TRUE(source);
    EXPECT_EQ(Identity(source.Get()), identity);
    for (const NamedIid& to : kOffered) {
      ComPtr<IUnknown> target;
      EXPECT_EQ(source->QueryInterface(*to.iid, reinterpret_cast<void**>(target.GetAddressOf())), S_OK)
          << "to " << to.name;
      if (target) {
        EXPECT_EQ(Identity(target.Get()), identity) << "to " << to.name;
      }
    }
  }
}

TEST_F(ComRulesTest, InterfacesItDoesNotOfferGiveNoInterfaceAndNull) {
  const ComPtr<IOleObject> other = Query<IOleObject>(IID_IOleObject);
  for (IUnknown* source : {control_.Get(), static_cast<IUnknown*>(other.Get())}) {
    for (const NamedIid& missing : kNotOffered) {
      void* out = reinterpret_cast<void*>(1);
      EXPECT_EQ(source->QueryInterface(*missing.iid, &out), E_NOINTERFACE) << missing.name;
      EXPECT_EQ(out, nullptr) << missing.name;
    }
  }
}

TEST_F(ComRulesTest, QueryInterfaceWithoutOutParameterGivesPointerError) {
  EXPECT_EQ(control_->QueryInterface(IID_IDispatch, nullptr), E_POINTER);
  EXPECT_EQ(cardel_->QueryInterface(IID_IOleObject, nullptr), E_POINTER);
  EXPECT_EQ(cardel_->QueryInterface(kNeverImplemented, nullptr), E_POINTER);
}

// Each interface pointer is the interface it claims to be, not another one's table.
TEST_F(ComRulesTest, InterfacesAnswerAsThemselves) {
  for (const IID* iid : {&IID_IPersist, &IID_IPersistStreamInit, &IID_IPersistPropertyBag}) {
    CLSID clsid{};
    EXPECT_EQ(Query<IPersist>(*iid)->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_ucCardel) << Narrow(GuidText(*iid));
  }
  CLSID user{};
  EXPECT_EQ(Query<IOleObject>(IID_IOleObject)->GetUserClassID(&user), S_OK);
  EXPECT_EQ(user, CLSID_ucCardel);
  UINT count = 0;
  EXPECT_EQ(Query<IDispatch>(IID_IDispatch)->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  DWORD status = 0;
  EXPECT_EQ(Query<IViewObjectEx>(IID_IViewObjectEx)->GetViewStatus(&status), S_OK);
  DWORD misc = 0;
  EXPECT_EQ(Query<IOleObject>(IID_IOleObject)->GetMiscStatus(DVASPECT_CONTENT, &misc), S_OK);
  EXPECT_TRUE(misc & OLEMISC_ACTIVATEWHENVISIBLE);
}

// An outer object that aggregates the control and adds an interface of its own.
class Outer final : public IServiceProvider {
 public:
  explicit Outer(bool& destroyed) : destroyed_(destroyed) {}

  HRESULT Aggregate(const testhost::Library& library) {
    return library.CreateControl(this, IID_IUnknown, reinterpret_cast<void**>(inner_.GetAddressOf()));
  }
  IUnknown* Inner() const { return inner_.Get(); }
  ULONG References() const { return refs_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) noexcept override {
    if (!out) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IServiceProvider) {
      *out = static_cast<IServiceProvider*>(this);
      AddRef();
      return S_OK;
    }
    if (inner_) return inner_->QueryInterface(riid, out);
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() noexcept override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE QueryService(REFGUID, REFIID, void** out) noexcept override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }

 private:
  ~Outer() { destroyed_ = true; }
  bool& destroyed_;
  ULONG refs_ = 1;
  ComPtr<IUnknown> inner_;
};

TEST_F(ComRulesTest, AggregatedControlDelegatesToItsOuterObject) {
  control_.Reset();
  cardel_.Reset();
  dispatch_.Reset();
  bool destroyed = false;
  ComPtr<Outer> outer = Adopt(new Outer(destroyed));
  ASSERT_EQ(outer->Aggregate(library_), S_OK);
  ASSERT_NE(outer->Inner(), nullptr);

  ComPtr<_ucCardel> cardel;
  ASSERT_EQ(outer->QueryInterface(IID__ucCardel, reinterpret_cast<void**>(cardel.GetAddressOf())), S_OK);
  // The inner object's interfaces answer for the whole aggregate.
  EXPECT_EQ(Identity(cardel.Get()).Get(), static_cast<IUnknown*>(outer.Get()));
  ComPtr<IServiceProvider> outerOnly;
  EXPECT_EQ(cardel->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(outerOnly.GetAddressOf())), S_OK);
  EXPECT_EQ(outerOnly.Get(), static_cast<IServiceProvider*>(outer.Get()));
  ComPtr<IOleObject> sibling;
  EXPECT_EQ(cardel->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(sibling.GetAddressOf())), S_OK);

  const ULONG before = outer->References();
  cardel->AddRef();
  EXPECT_EQ(outer->References(), before + 1);
  cardel->Release();
  EXPECT_EQ(outer->References(), before);

  short opacity = 0;
  EXPECT_EQ(cardel->put_BackColorOpacity(42), S_OK);
  EXPECT_EQ(cardel->get_BackColorOpacity(&opacity), S_OK);
  EXPECT_EQ(opacity, 42);

  sibling.Reset();
  outerOnly.Reset();
  cardel.Reset();
  EXPECT_EQ(library_.DllCanUnloadNow(), S_FALSE);
  outer.Reset();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(library_.DllCanUnloadNow(), S_OK) << "the inner control outlived its outer object";
}

TEST_F(ComRulesTest, AggregationRequiresTheInnerUnknown) {
  bool destroyed = false;
  ComPtr<Outer> outer = Adopt(new Outer(destroyed));
  for (const IID* iid : {&IID__ucCardel, &IID_IDispatch, &IID_IOleObject}) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(library_.CreateControl(outer.Get(), *iid, &out), CLASS_E_NOAGGREGATION) << Narrow(GuidText(*iid));
    EXPECT_EQ(out, nullptr);
  }
  EXPECT_EQ(outer->References(), 1u);
}

TEST_F(ComRulesTest, ModuleStaysLoadedWhileObjectsOrLocksLive) {
  EXPECT_EQ(library_.DllCanUnloadNow(), S_FALSE) << "while a control lives";
  control_.Reset();
  cardel_.Reset();
  dispatch_.Reset();
  EXPECT_EQ(library_.DllCanUnloadNow(), S_OK);

  ComPtr<IClassFactory> factory;
  ASSERT_EQ(library_.DllGetClassObject(CLSID_ucCardel, IID_IClassFactory,
                                       reinterpret_cast<void**>(factory.GetAddressOf())),
            S_OK);
  ASSERT_EQ(factory->LockServer(TRUE), S_OK);
  factory.Reset();
  EXPECT_EQ(library_.DllCanUnloadNow(), S_FALSE) << "while a server lock is held";

  ASSERT_EQ(library_.DllGetClassObject(CLSID_ucCardel, IID_IClassFactory,
                                       reinterpret_cast<void**>(factory.GetAddressOf())),
            S_OK);
  ASSERT_EQ(factory->LockServer(FALSE), S_OK);
  factory.Reset();
  EXPECT_EQ(library_.DllCanUnloadNow(), S_OK);

  ComPtr<IUnknown> page;
  ASSERT_EQ(library_.DllGetClassObject(CLSID_ppCardel, IID_IClassFactory,
                                       reinterpret_cast<void**>(factory.GetAddressOf())),
            S_OK);
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(page.GetAddressOf())), S_OK);
  factory.Reset();
  EXPECT_EQ(library_.DllCanUnloadNow(), S_FALSE) << "while a property page lives";
  page.Reset();
  EXPECT_EQ(library_.DllCanUnloadNow(), S_OK);
}

TEST_F(ComRulesTest, ClassObjectsExistOnlyForTheServedClasses) {
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(library_.DllGetClassObject(kNeverImplemented, IID_IClassFactory,
                                       reinterpret_cast<void**>(factory.GetAddressOf())),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(factory, nullptr);
  EXPECT_EQ(library_.DllGetClassObject(CLSID_ucCardel, IID_IClassFactory, nullptr), E_POINTER);
}

TEST_F(ComRulesTest, ClassInfoNamesTheControlAndItsEvents) {
  const auto info = Query<IProvideClassInfo2>(IID_IProvideClassInfo2);
  GUID events{};
  EXPECT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
  EXPECT_EQ(events, DIID___ucCardel);
  EXPECT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, nullptr), E_POINTER);
  EXPECT_EQ(info->GetGUID(2, &events), E_INVALIDARG);

  ComPtr<ITypeInfo> coclass;
  ASSERT_EQ(info->GetClassInfo(&coclass), S_OK);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(coclass->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(attr->guid, CLSID_ucCardel);
  EXPECT_EQ(attr->typekind, TKIND_COCLASS);
  coclass->ReleaseTypeAttr(attr);
}

TEST_F(ComRulesTest, PropertyPagesAreItsOwnThenFontThenColour) {
  const auto pages = Query<ISpecifyPropertyPages>(IID_ISpecifyPropertyPages);
  CAUUID list{};
  ASSERT_EQ(pages->GetPages(&list), S_OK);
  const std::vector<GUID> actual(list.pElems, list.pElems + list.cElems);
  CoTaskMemFree(list.pElems);
  const std::vector<GUID> expected{CLSID_ppCardel, kStandardFontPage, kStandardColorPage};
  EXPECT_EQ(actual, expected);
  EXPECT_EQ(pages->GetPages(nullptr), E_POINTER);
}

TEST_F(ComRulesTest, NamesResolveToThePublishedDispids) {
  EXPECT_EQ(IdOf(L"BackColorOpacity"), kBackColorOpacity);
  EXPECT_EQ(IdOf(L"backcoloropacity"), kBackColorOpacity);
  EXPECT_EQ(IdOf(L"Caption"), kCaption);
  EXPECT_EQ(IdOf(L"ChrW2"), kChrW2);

  LPOLESTR methodAndArgument[] = {const_cast<LPOLESTR>(L"ChrW2"), const_cast<LPOLESTR>(L"CharCode")};
  DISPID ids[2] = {};
  EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, methodAndArgument, 2, LOCALE_USER_DEFAULT, ids), S_OK);
  EXPECT_EQ(ids[0], kChrW2);
  EXPECT_EQ(ids[1], 0);

  LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"NoSuchMember")};
  DISPID id = 0;
  EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, unknown, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(id, DISPID_UNKNOWN);
}

// A value set through one binding is read back through the other: both reach one implementation.
TEST_F(ComRulesTest, LateAndEarlyBoundCallsReachTheSameImplementation) {
  ASSERT_EQ(cardel_->put_BackColorOpacity(55), S_OK);
  Variant value;
  ASSERT_EQ(GetProperty(*dispatch_.Get(), IdOf(L"BackColorOpacity"), value), S_OK);
  EXPECT_EQ(value.vt(), VT_I2);
  EXPECT_EQ(value.ToLong(), 55);

  ASSERT_EQ(PutProperty(*dispatch_.Get(), IdOf(L"BackColorOpacity"), Variant::Long(70)), S_OK);
  short opacity = 0;
  ASSERT_EQ(cardel_->get_BackColorOpacity(&opacity), S_OK);
  EXPECT_EQ(opacity, 70);

  ASSERT_EQ(PutProperty(*dispatch_.Get(), IdOf(L"Caption"), Variant::String(L"Hello")), S_OK);
  BSTR caption = nullptr;
  ASSERT_EQ(cardel_->get_Caption(&caption), S_OK);
  UniqueBstr ownedCaption(caption);
  EXPECT_EQ(std::wstring(caption, SysStringLen(caption)), L"Hello");

  UniqueBstr world(SysAllocString(L"World"));
  BSTR argument = world.get();
  ASSERT_EQ(cardel_->put_Caption(&argument), S_OK);
  ASSERT_EQ(GetProperty(*dispatch_.Get(), kCaption, value), S_OK);
  EXPECT_EQ(value.vt(), VT_BSTR);
  EXPECT_EQ(value.ToString(), L"World");

  ASSERT_EQ(PutProperty(*dispatch_.Get(), IdOf(L"IconCharCode"), Variant::String(L"U+F101")), S_OK);
  BSTR code = nullptr;
  ASSERT_EQ(cardel_->get_IconCharCode(&code), S_OK);
  UniqueBstr ownedCode(code);
  EXPECT_EQ(std::wstring(code, SysStringLen(code)), L"&HF101");

  ASSERT_EQ(Invoke(*dispatch_.Get(), kChrW2, DISPATCH_METHOD, {Variant::Long(0x41)}, &value), S_OK);
  EXPECT_EQ(value.ToString(), L"A");
}

TEST_F(ComRulesTest, NumericTextIsCoercedToTheArgumentType) {
  ASSERT_EQ(PutProperty(*dispatch_.Get(), kBackColorOpacity, Variant::String(L"42")), S_OK);
  short opacity = 0;
  ASSERT_EQ(cardel_->get_BackColorOpacity(&opacity), S_OK);
  EXPECT_EQ(opacity, 42);
}

TEST_F(ComRulesTest, LateBoundFailureBecomesAnExceptionWithItsDescription) {
  ASSERT_EQ(cardel_->put_PictureContrast(12), S_OK);
  ExcepInfo excep;
  EXPECT_EQ(PutProperty(*dispatch_.Get(), kPictureContrast, Variant::Long(40000), &excep), DISP_E_EXCEPTION);
  EXPECT_EQ(excep.scode, kOverflow);
  EXPECT_EQ(excep.wCode, 0);
  EXPECT_EQ(Narrow(excep.Description()), "Overflow");

  LONG contrast = 0;
  ASSERT_EQ(cardel_->get_PictureContrast(&contrast), S_OK);
  EXPECT_EQ(contrast, 12) << "a refused value must not be stored";
}

TEST_F(ComRulesTest, EarlyBoundFailureReturnsTheErrorAndPublishesErrorInfo) {
  const auto support = Query<ISupportErrorInfo>(IID_ISupportErrorInfo);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID__ucCardel), S_OK);

  SetErrorInfo(0, nullptr);
  EXPECT_EQ(cardel_->put_PictureContrast(40000), kOverflow);
  ComPtr<IErrorInfo> error;
  ASSERT_EQ(GetErrorInfo(0, &error), S_OK);
  ASSERT_TRUE(error);
  BSTR description = nullptr;
  EXPECT_EQ(error->GetDescription(&description), S_OK);
  UniqueBstr owned(description);
  EXPECT_EQ(Narrow(description ? description : L""), "Overflow");
  GUID source{};
  EXPECT_EQ(error->GetGUID(&source), S_OK);
  EXPECT_EQ(source, IID__ucCardel);
}

struct BadInvoke {
  const char* what;
  DISPID id;
  WORD flags;
  std::vector<Variant> args;
  HRESULT expected;
};

TEST_F(ComRulesTest, BadLateBoundCallsAreRefusedWithTheirErrors) {
  const BadInvoke cases[] = {
      {"unknown DISPID", 0x12345, DISPATCH_PROPERTYGET, {}, DISP_E_MEMBERNOTFOUND},
      {"unknown DISPID as method", 0x12345, DISPATCH_METHOD, {}, DISP_E_MEMBERNOTFOUND},
      {"missing argument", kChrW2, DISPATCH_METHOD, {}, DISP_E_BADPARAMCOUNT},
      {"extra argument", kRefresh, DISPATCH_METHOD, {Variant::Long(1)}, DISP_E_BADPARAMCOUNT},
      {"two values for one property", kBackColorOpacity, DISPATCH_PROPERTYPUT, {Variant::Long(1), Variant::Long(2)},
       DISP_E_BADPARAMCOUNT},
      {"text that is no number", kBackColorOpacity, DISPATCH_PROPERTYPUT, {Variant::String(L"abc")},
       DISP_E_TYPEMISMATCH},
      {"text that is no number as argument", kChrW2, DISPATCH_METHOD, {Variant::String(L"xyz")},
       DISP_E_TYPEMISMATCH},
  };
  for (const BadInvoke& c : cases) {
    Variant result;
    ExcepInfo excep;
    EXPECT_EQ(Invoke(*dispatch_.Get(), c.id, c.flags, c.args, &result, &excep), c.expected) << c.what;
  }

  Variant result;
  DISPPARAMS none{};
  EXPECT_EQ(dispatch_->Invoke(kBackColorOpacity, kNeverImplemented, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                              &none, result.put(), nullptr, nullptr),
            DISP_E_UNKNOWNINTERFACE);
}

// The points of a polygon follow its fixed arguments in any number, none included.
TEST_F(ComRulesTest, VarargMethodIsNotRefusedForItsArgumentCount) {
  for (int extra : {0, 1, 8}) {
    std::vector<Variant> args{Variant::Long(0), Variant::Long(1), Variant::Long(0), Variant::Short(100)};
    for (int i = 0; i < extra; ++i) args.push_back(Variant::Long(10 * i));
    Variant result;
    ExcepInfo excep;
    const HRESULT hr = Invoke(*dispatch_.Get(), IdOf(L"Polygon"), DISPATCH_METHOD, args, &result, &excep);
    EXPECT_NE(hr, DISP_E_BADPARAMCOUNT) << extra << " point arguments";
    EXPECT_NE(hr, DISP_E_TYPEMISMATCH) << extra << " point arguments";
  }
}

// Missing pointers are refused with an error code; none of them may crash the control.
TEST_F(ComRulesTest, MissingPointersAreRefused) {
  auto isPointerError = [](HRESULT hr) { return hr == E_POINTER || hr == E_INVALIDARG; };
  Variant result;
  EXPECT_PRED1(isPointerError, dispatch_->Invoke(kBackColorOpacity, IID_NULL, LOCALE_USER_DEFAULT,
                                                 DISPATCH_PROPERTYGET, nullptr, result.put(), nullptr, nullptr));
  DISPPARAMS noArray{nullptr, nullptr, 1, 0};
  EXPECT_PRED1(isPointerError, dispatch_->Invoke(kChrW2, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &noArray,
                                                 result.put(), nullptr, nullptr));
  Variant argument = Variant::Short(5);
  VARIANTARG args[] = {*argument};
  DISPPARAMS noNames{args, nullptr, 1, 1};
  EXPECT_PRED1(isPointerError, dispatch_->Invoke(kBackColorOpacity, IID_NULL, LOCALE_USER_DEFAULT,
                                                 DISPATCH_PROPERTYPUT, &noNames, nullptr, nullptr, nullptr));

  LPOLESTR names[] = {const_cast<LPOLESTR>(L"Caption")};
  DISPID id = 0;
  EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, nullptr, 1, LOCALE_USER_DEFAULT, &id), E_POINTER);
  EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, nullptr), E_POINTER);
  EXPECT_EQ(dispatch_->GetTypeInfoCount(nullptr), E_POINTER);
  EXPECT_EQ(dispatch_->GetTypeInfo(0, LOCALE_USER_DEFAULT, nullptr), E_POINTER);
  ComPtr<ITypeInfo> info;
  EXPECT_EQ(dispatch_->GetTypeInfo(1, LOCALE_USER_DEFAULT, &info), DISP_E_BADINDEX);

  EXPECT_EQ(cardel_->get_BackColorOpacity(nullptr), E_POINTER);
  EXPECT_EQ(cardel_->get_Caption(nullptr), E_POINTER);
  EXPECT_EQ(cardel_->put_Caption(nullptr), E_POINTER);
  EXPECT_EQ(cardel_->get_Font(nullptr), E_POINTER);
  EXPECT_EQ(cardel_->get_IconCharCode(nullptr), E_POINTER);
  EXPECT_EQ(cardel_->get_MouseIcon(nullptr), E_POINTER);
  EXPECT_EQ(cardel_->get_PictureExist(nullptr), E_POINTER);
  EXPECT_EQ(cardel_->ChrW2(0x41, nullptr), E_POINTER);
}

// Records what a control tells its property-change sink.
class NotifySink final : public ComObject<IPropertyNotifySink> {
 public:
  std::vector<DISPID> changed;
  HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) noexcept override {
    changed.push_back(id);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) noexcept override { return S_OK; }

 private:
  void* Find(REFIID riid) noexcept override {
    return riid == IID_IPropertyNotifySink ? static_cast<IPropertyNotifySink*>(this) : nullptr;
  }
};

// An event sink as scripting hosts write them: only IDispatch.
class EventSink final : public ComObject<IDispatch> {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) noexcept override {
    return S_OK;
  }

 private:
  void* Find(REFIID riid) noexcept override {
    return riid == IID_IDispatch ? static_cast<IDispatch*>(this) : nullptr;
  }
};

class NothingSink final : public ComObject<IUnknown> {
 private:
  void* Find(REFIID) noexcept override { return nullptr; }
};

TEST_F(ComRulesTest, ConnectionPointsExistForEventsAndPropertyChanges) {
  const auto container = Query<IConnectionPointContainer>(IID_IConnectionPointContainer);
  const ComPtr<IUnknown> identity = Identity(control_.Get());
  for (const IID* iid : {&DIID___ucCardel, &IID_IPropertyNotifySink}) {
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(container->FindConnectionPoint(*iid, &point), S_OK);
    IID reported{};
    EXPECT_EQ(point->GetConnectionInterface(&reported), S_OK);
    EXPECT_EQ(reported, *iid);
    ComPtr<IConnectionPointContainer> back;
    EXPECT_EQ(point->GetConnectionPointContainer(&back), S_OK);
    EXPECT_EQ(Identity(back.Get()), identity);
  }
  ComPtr<IConnectionPoint> none;
  EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, &none), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(none, nullptr);

  ComPtr<IEnumConnectionPoints> points;
  ASSERT_EQ(container->EnumConnectionPoints(&points), S_OK);
  IConnectionPoint* fetched[4] = {};
  ULONG count = 0;
  EXPECT_EQ(points->Next(4, fetched, &count), S_FALSE);
  ASSERT_EQ(count, 2u);
  std::set<std::wstring> listed;
  for (ULONG i = 0; i < count; ++i) {
    ComPtr<IConnectionPoint> point = Adopt(fetched[i]);
    IID iid{};
    point->GetConnectionInterface(&iid);
    listed.insert(GuidText(iid));
  }
  EXPECT_EQ(listed, (std::set<std::wstring>{GuidText(DIID___ucCardel), GuidText(IID_IPropertyNotifySink)}));
}

TEST_F(ComRulesTest, AdviseGivesDistinctCookiesAndUnadviseTakesEachOnce) {
  const auto container = Query<IConnectionPointContainer>(IID_IConnectionPointContainer);
  ComPtr<IConnectionPoint> point;
  ASSERT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, &point), S_OK);

  auto first = Adopt(new NotifySink());
  auto second = Adopt(new NotifySink());
  DWORD firstCookie = 0;
  DWORD secondCookie = 0;
  ASSERT_EQ(point->Advise(first.Get(), &firstCookie), S_OK);
  ASSERT_EQ(point->Advise(second.Get(), &secondCookie), S_OK);
  EXPECT_NE(firstCookie, 0u);
  EXPECT_NE(secondCookie, 0u);
  EXPECT_NE(firstCookie, secondCookie);

  ASSERT_EQ(cardel_->put_BackColorOpacity(30), S_OK);
  EXPECT_EQ(first->changed, std::vector<DISPID>{kBackColorOpacity});
  EXPECT_EQ(second->changed, std::vector<DISPID>{kBackColorOpacity});

  EXPECT_EQ(point->Unadvise(firstCookie), S_OK);
  EXPECT_EQ(point->Unadvise(firstCookie), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(point->Unadvise(0xBADC00C1), CONNECT_E_NOCONNECTION);
  ASSERT_EQ(cardel_->put_BackColorOpacity(31), S_OK);
  EXPECT_EQ(first->changed.size(), 1u) << "an unadvised sink was still notified";
  EXPECT_EQ(second->changed.size(), 2u);
  EXPECT_EQ(point->Unadvise(secondCookie), S_OK);

  DWORD cookie = 0;
  EXPECT_EQ(point->Advise(nullptr, &cookie), E_POINTER);
  EXPECT_EQ(point->Advise(first.Get(), nullptr), E_POINTER);
  EXPECT_EQ(point->Advise(Adopt(new EventSink()).Get(), &cookie), CONNECT_E_CANNOTCONNECT);
}

TEST_F(ComRulesTest, EventPointAcceptsDispatchOnlySinks) {
  const auto container = Query<IConnectionPointContainer>(IID_IConnectionPointContainer);
  ComPtr<IConnectionPoint> point;
  ASSERT_EQ(container->FindConnectionPoint(DIID___ucCardel, &point), S_OK);
  DWORD cookie = 0;
  ASSERT_EQ(point->Advise(Adopt(new EventSink()).Get(), &cookie), S_OK);
  EXPECT_NE(cookie, 0u);
  EXPECT_EQ(point->Unadvise(cookie), S_OK);
  EXPECT_EQ(point->Advise(Adopt(new NothingSink()).Get(), &cookie), CONNECT_E_CANNOTCONNECT);
}

TEST_F(ComRulesTest, InitialisingTwiceIsRefused) {
  const auto stream = Query<IPersistStreamInit>(IID_IPersistStreamInit);
  EXPECT_EQ(stream->InitNew(), S_OK);
  EXPECT_EQ(stream->InitNew(), E_UNEXPECTED);
  EXPECT_EQ(Query<IPersistPropertyBag>(IID_IPersistPropertyBag)->InitNew(), E_UNEXPECTED);
}

}  // namespace
}  // namespace cardel::oletest
