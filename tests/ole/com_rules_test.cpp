// The rules of COM that every client of the control relies on without checking: object identity,
// aggregation, the module's lifetime, the class's self-description, the two ways of calling a dual
// interface, error reporting, connection points and one-time initialisation.
#include <gtest/gtest.h>
#include <olectl.h>

#include <set>
#include <string>
#include <vector>

#include "com_object.h"
#include "common/cardel_interfaces.h"
#include "library.h"
#include "ole_support.h"

namespace cardel::oletest {
namespace {

using host::ComObject;
using host::ComPtr;
using host::MakeCom;
using host::Variant;

constexpr IID kIObjectSafety{0xCB5BDC81, 0x93C1, 0x11CF, {0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0, 0x64}};
constexpr IID kNeverImplemented{0x5A1E0C57, 0x93D4, 0x4B0E, {0x9C, 0x11, 0x27, 0x6B, 0x0E, 0x3A, 0x51, 0x0D}};
constexpr CLSID kStandardFontPage{0x7EBDAAE0, 0x8120, 0x11CF, {0x89, 0x9F, 0x00, 0xAA, 0x00, 0x68, 0x8B, 0x10}};
constexpr CLSID kStandardColorPage{0x7EBDAAE1, 0x8120, 0x11CF, {0x89, 0x9F, 0x00, 0xAA, 0x00, 0x68, 0x8B, 0x10}};

constexpr HRESULT kOverflow = static_cast<HRESULT>(0x800A0006);
constexpr DISPID kBackColorOpacity = 0x68030039;
constexpr DISPID kPictureContrast = 0x6803004F;
constexpr DISPID kCaption = 0x6803002C;
constexpr DISPID kChrW2 = 0x6003008F;
constexpr DISPID kRefresh = 0x60030070;
constexpr DISPID kPolygon = 0x60030084;

const IID* const kOffered[] = {
    &IID_IDispatch,
    &IID__ucCardel,
    &IID_IOleObject,
    &IID_IOleControl,
    &IID_IOleWindow,
    &IID_IOleInPlaceObject,
    &IID_IOleInPlaceObjectWindowless,
    &IID_IOleInPlaceActiveObject,
    &IID_IViewObject,
    &IID_IViewObject2,
    &IID_IViewObjectEx,
    &IID_IPersist,
    &IID_IPersistStreamInit,
    &IID_IPersistPropertyBag,
    &IID_IPersistStream,
    &IID_IPersistStorage,
    &IID_IDataObject,
    &IID_IConnectionPointContainer,
    &IID_IProvideClassInfo,
    &IID_IProvideClassInfo2,
    &IID_ISpecifyPropertyPages,
    &IID_IQuickActivate,
    &IID_ISupportErrorInfo,
};
const IID* const kNotOffered[] = {&IID_IClassFactory, &IID_IOleClientSite, &kIObjectSafety, &IID_IConnectionPoint,
                                  &kNeverImplemented};

ComPtr<IUnknown> Identity(IUnknown* object) {
  ComPtr<IUnknown> identity;
  object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.GetAddressOf()));
  return identity;
}

template <class Interface>
ComPtr<Interface> Query(IUnknown* object, const IID& iid) {
  ComPtr<Interface> result;
  EXPECT_EQ(object->QueryInterface(iid, reinterpret_cast<void**>(result.GetAddressOf())), S_OK)
      << Narrow(GuidText(iid));
  return result;
}

class ComRulesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(library_.CreateControl(nullptr, IID_IUnknown, reinterpret_cast<void**>(control_.GetAddressOf())), S_OK);
    ASSERT_EQ(control_.As(&cardel_), S_OK);
    ASSERT_EQ(control_.As(&dispatch_), S_OK);
  }
  void ReleaseControl() {
    control_.Reset();
    cardel_.Reset();
    dispatch_.Reset();
  }
  ComPtr<IClassFactory> Factory(const CLSID& clsid) {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(library_.DllGetClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf())),
              S_OK);
    return factory;
  }

  host::Library library_;
  ComPtr<IUnknown> control_;
  ComPtr<_ucCardel> cardel_;
  ComPtr<IDispatch> dispatch_;
};

// Identity, symmetry and transitivity: every offered interface reaches every other and the same IUnknown;
// interfaces it does not offer give E_NOINTERFACE and null from anywhere.
TEST_F(ComRulesTest, QueryInterfaceFollowsTheRulesOfIdentity) {
  const ComPtr<IUnknown> identity = Identity(control_.Get());
  EXPECT_EQ(identity, control_);
  for (const IID* from : kOffered) {
    SCOPED_TRACE(Narrow(GuidText(*from)));
    ComPtr<IUnknown> source = Query<IUnknown>(control_.Get(), *from);
    ASSERT_TRUE(source);
    EXPECT_EQ(Identity(source.Get()), identity);
    for (const IID* to : kOffered) {
      ComPtr<IUnknown> target = Query<IUnknown>(source.Get(), *to);
      if (target) {
        EXPECT_EQ(Identity(target.Get()), identity) << Narrow(GuidText(*to));
      }
    }
    for (const IID* missing : kNotOffered) {
      void* out = reinterpret_cast<void*>(1);
      EXPECT_EQ(source->QueryInterface(*missing, &out), E_NOINTERFACE) << Narrow(GuidText(*missing));
      EXPECT_EQ(out, nullptr);
    }
  }
  EXPECT_EQ(control_->QueryInterface(IID_IDispatch, nullptr), E_POINTER);
  EXPECT_EQ(cardel_->QueryInterface(kNeverImplemented, nullptr), E_POINTER);
}

// Each interface pointer is the interface it claims to be, not another one's table.
TEST_F(ComRulesTest, InterfacesAnswerAsThemselves) {
  for (const IID* iid :
       {&IID_IPersist, &IID_IPersistStreamInit, &IID_IPersistPropertyBag, &IID_IPersistStream, &IID_IPersistStorage}) {
    CLSID clsid{};
    EXPECT_EQ(Query<IPersist>(control_.Get(), *iid)->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_ucCardel) << Narrow(GuidText(*iid));
  }
  const auto object = Query<IOleObject>(control_.Get(), IID_IOleObject);
  CLSID user{};
  EXPECT_EQ(object->GetUserClassID(&user), S_OK);
  EXPECT_EQ(user, CLSID_ucCardel);
  DWORD misc = 0;
  EXPECT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &misc), S_OK);
  EXPECT_TRUE(misc & OLEMISC_ACTIVATEWHENVISIBLE);
  UINT count = 0;
  EXPECT_EQ(dispatch_->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  DWORD status = 0;
  EXPECT_EQ(Query<IViewObjectEx>(control_.Get(), IID_IViewObjectEx)->GetViewStatus(&status), S_OK);
}

// An outer object that aggregates the control and adds an interface of its own.
class Outer final : public IServiceProvider {
 public:
  explicit Outer(bool& destroyed) : destroyed_(destroyed) {}
  HRESULT Aggregate(const host::Library& library) {
    return library.CreateControl(this, IID_IUnknown, reinterpret_cast<void**>(inner_.GetAddressOf()));
  }
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
  ReleaseControl();
  bool destroyed = false;
  ComPtr<Outer> outer = MakeCom<Outer>(destroyed);
  ASSERT_EQ(outer->Aggregate(library_), S_OK);

  ComPtr<_ucCardel> cardel = Query<_ucCardel>(outer.Get(), IID__ucCardel);
  ASSERT_TRUE(cardel);
  // The inner object's interfaces answer for the whole aggregate.
  EXPECT_EQ(Identity(cardel.Get()).Get(), static_cast<IUnknown*>(outer.Get()));
  EXPECT_EQ(Query<IServiceProvider>(cardel.Get(), IID_IServiceProvider).Get(), outer.Get());
  EXPECT_TRUE(Query<IOleObject>(cardel.Get(), IID_IOleObject));
  const ULONG before = outer->References();
  cardel->AddRef();
  EXPECT_EQ(outer->References(), before + 1);
  cardel->Release();
  short opacity = 0;
  EXPECT_EQ(cardel->put_BackColorOpacity(42), S_OK);
  EXPECT_EQ(cardel->get_BackColorOpacity(&opacity), S_OK);
  EXPECT_EQ(opacity, 42);

  cardel.Reset();
  EXPECT_EQ(library_.DllCanUnloadNow(), S_FALSE);
  outer.Reset();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(library_.DllCanUnloadNow(), S_OK) << "the inner control outlived its outer object";

  // An aggregated object hands out its inner IUnknown first and nothing else.
  ComPtr<Outer> other = MakeCom<Outer>(destroyed);
  for (const IID* iid : {&IID__ucCardel, &IID_IDispatch, &IID_IOleObject}) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(library_.CreateControl(other.Get(), *iid, &out), CLASS_E_NOAGGREGATION) << Narrow(GuidText(*iid));
    EXPECT_EQ(out, nullptr);
  }
  EXPECT_EQ(other->References(), 1u);
}

TEST_F(ComRulesTest, ModuleStaysLoadedWhileObjectsOrLocksLive) {
  EXPECT_EQ(library_.DllCanUnloadNow(), S_FALSE) << "while a control lives";
  ReleaseControl();
  EXPECT_EQ(library_.DllCanUnloadNow(), S_OK);

  ASSERT_EQ(Factory(CLSID_ucCardel)->LockServer(TRUE), S_OK);
  EXPECT_EQ(library_.DllCanUnloadNow(), S_FALSE) << "while a server lock is held";
  ASSERT_EQ(Factory(CLSID_ucCardel)->LockServer(FALSE), S_OK);
  EXPECT_EQ(library_.DllCanUnloadNow(), S_OK);

  ComPtr<IUnknown> page;
  ASSERT_EQ(
      Factory(CLSID_ppCardel)->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(page.GetAddressOf())),
      S_OK);
  EXPECT_EQ(library_.DllCanUnloadNow(), S_FALSE) << "while a property page lives";
  page.Reset();
  EXPECT_EQ(library_.DllCanUnloadNow(), S_OK);

  ComPtr<IClassFactory> none;
  EXPECT_EQ(
      library_.DllGetClassObject(kNeverImplemented, IID_IClassFactory, reinterpret_cast<void**>(none.GetAddressOf())),
      CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(library_.DllGetClassObject(CLSID_ucCardel, IID_IClassFactory, nullptr), E_POINTER);
}

// Class information names the control and its events; the property pages are its own, then the
// standard font and colour pages.
TEST_F(ComRulesTest, ClassDescribesItselfAndItsPages) {
  const auto info = Query<IProvideClassInfo2>(control_.Get(), IID_IProvideClassInfo2);
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

  const auto pages = Query<ISpecifyPropertyPages>(control_.Get(), IID_ISpecifyPropertyPages);
  CAUUID list{};
  ASSERT_EQ(pages->GetPages(&list), S_OK);
  const std::vector<GUID> actual(list.pElems, list.pElems + list.cElems);
  CoTaskMemFree(list.pElems);
  EXPECT_EQ(actual, (std::vector<GUID>{CLSID_ppCardel, kStandardFontPage, kStandardColorPage}));
  EXPECT_EQ(pages->GetPages(nullptr), E_POINTER);
}

TEST_F(ComRulesTest, NamesResolveToThePublishedDispids) {
  const struct {
    std::vector<const wchar_t*> names;
    HRESULT result;
    std::vector<DISPID> ids;
  } cases[] = {
      {{L"BackColorOpacity"}, S_OK, {kBackColorOpacity}},
      {{L"backcoloropacity"}, S_OK, {kBackColorOpacity}},
      {{L"Caption"}, S_OK, {kCaption}},
      {{L"ChrW2", L"CharCode"}, S_OK, {kChrW2, 0}},
      {{L"NoSuchMember"}, DISP_E_UNKNOWNNAME, {DISPID_UNKNOWN}},
  };
  for (const auto& c : cases) {
    std::vector<DISPID> ids(c.names.size(), 12345);
    EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, const_cast<LPOLESTR*>(c.names.data()),
                                       static_cast<UINT>(c.names.size()), LOCALE_USER_DEFAULT, ids.data()),
              c.result)
        << Narrow(c.names[0]);
    EXPECT_EQ(ids, c.ids) << Narrow(c.names[0]);
  }
}

// A value set through one binding is read back through the other: both reach one implementation.
TEST_F(ComRulesTest, LateAndEarlyBoundCallsReachTheSameImplementation) {
  ASSERT_EQ(cardel_->put_BackColorOpacity(55), S_OK);
  Variant value;
  ASSERT_EQ(GetProperty(*dispatch_.Get(), kBackColorOpacity, value), S_OK);
  EXPECT_EQ(value.vt(), VT_I2);
  EXPECT_EQ(value.ToLong(), 55);
  ASSERT_EQ(PutProperty(*dispatch_.Get(), kBackColorOpacity, Variant::Long(70)), S_OK);
  short opacity = 0;
  ASSERT_EQ(cardel_->get_BackColorOpacity(&opacity), S_OK);
  EXPECT_EQ(opacity, 70);

  ASSERT_EQ(PutProperty(*dispatch_.Get(), kCaption, Variant::String(L"Hello")), S_OK);
  BSTR caption = nullptr;
  ASSERT_EQ(cardel_->get_Caption(&caption), S_OK);
  UniqueBstr ownedCaption(caption);
  EXPECT_EQ(std::wstring(caption, SysStringLen(caption)), L"Hello");

  ASSERT_EQ(Invoke(*dispatch_.Get(), kChrW2, DISPATCH_METHOD, {Variant::Long(0x41)}, &value), S_OK);
  EXPECT_EQ(value.ToString(), L"A");
}

// A failing setter reaches a late-bound caller as an exception with its number and description, and an
// early-bound one as its HRESULT with the error info published; nothing is stored.
TEST_F(ComRulesTest, FailuresCarryTheirNumberAndDescription) {
  ASSERT_EQ(cardel_->put_PictureContrast(12), S_OK);
  ExcepInfo excep;
  EXPECT_EQ(PutProperty(*dispatch_.Get(), kPictureContrast, Variant::Long(40000), &excep), DISP_E_EXCEPTION);
  EXPECT_EQ(excep.scode, kOverflow);
  EXPECT_EQ(excep.wCode, 0);
  EXPECT_EQ(Narrow(excep.bstrDescription ? excep.bstrDescription : L""), "Overflow");

  EXPECT_EQ(Query<ISupportErrorInfo>(control_.Get(), IID_ISupportErrorInfo)->InterfaceSupportsErrorInfo(IID__ucCardel),
            S_OK);
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

  LONG contrast = 0;
  ASSERT_EQ(cardel_->get_PictureContrast(&contrast), S_OK);
  EXPECT_EQ(contrast, 12) << "a refused value must not be stored";
}

TEST_F(ComRulesTest, BadLateBoundCallsAreRefusedWithTheirErrors) {
  const struct {
    const char* what;
    DISPID id;
    WORD flags;
    std::vector<Variant> args;
    HRESULT expected;
  } cases[] = {
      {"unknown DISPID", 0x12345, DISPATCH_PROPERTYGET, {}, DISP_E_MEMBERNOTFOUND},
      {"unknown DISPID as method", 0x12345, DISPATCH_METHOD, {}, DISP_E_MEMBERNOTFOUND},
      {"missing argument", kChrW2, DISPATCH_METHOD, {}, DISP_E_BADPARAMCOUNT},
      {"extra argument", kRefresh, DISPATCH_METHOD, {Variant::Long(1)}, DISP_E_BADPARAMCOUNT},
      {"two values for one property",
       kBackColorOpacity,
       DISPATCH_PROPERTYPUT,
       {Variant::Long(1), Variant::Long(2)},
       DISP_E_BADPARAMCOUNT},
      {"text that is no number",
       kBackColorOpacity,
       DISPATCH_PROPERTYPUT,
       {Variant::String(L"abc")},
       DISP_E_TYPEMISMATCH},
      {"text that is no number as argument", kChrW2, DISPATCH_METHOD, {Variant::String(L"xyz")}, DISP_E_TYPEMISMATCH},
  };
  for (const auto& c : cases) {
    Variant result;
    ExcepInfo excep;
    EXPECT_EQ(Invoke(*dispatch_.Get(), c.id, c.flags, c.args, &result, &excep), c.expected) << c.what;
  }
  Variant result;
  DISPPARAMS none{};
  EXPECT_EQ(dispatch_->Invoke(kBackColorOpacity, kNeverImplemented, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                              result.put(), nullptr, nullptr),
            DISP_E_UNKNOWNINTERFACE);

  // The points of a polygon follow its fixed arguments in any number, none included.
  for (int extra : {0, 1, 8}) {
    std::vector<Variant> args{Variant::Long(0), Variant::Long(1), Variant::Long(0), Variant::Short(100)};
    for (int i = 0; i < extra; ++i) args.push_back(Variant::Long(10 * i));
    ExcepInfo excep;
    const HRESULT hr = Invoke(*dispatch_.Get(), kPolygon, DISPATCH_METHOD, args, &result, &excep);
    EXPECT_NE(hr, DISP_E_BADPARAMCOUNT) << extra << " point arguments";
    EXPECT_NE(hr, DISP_E_TYPEMISMATCH) << extra << " point arguments";
  }
}

// Missing pointers are refused with an error code; none of them may crash the control.
TEST_F(ComRulesTest, MissingPointersAreRefused) {
  auto isPointerError = [](HRESULT hr) { return hr == E_POINTER || hr == E_INVALIDARG; };
  Variant result;
  Variant argument = Variant::Short(5);
  VARIANTARG args[] = {*argument};
  DISPPARAMS noArray{nullptr, nullptr, 1, 0}, noNames{args, nullptr, 1, 1};
  EXPECT_PRED1(isPointerError, dispatch_->Invoke(kBackColorOpacity, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                                 nullptr, result.put(), nullptr, nullptr));
  EXPECT_PRED1(isPointerError, dispatch_->Invoke(kChrW2, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &noArray,
                                                 result.put(), nullptr, nullptr));
  EXPECT_PRED1(isPointerError, dispatch_->Invoke(kBackColorOpacity, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                                                 &noNames, nullptr, nullptr, nullptr));

  LPOLESTR names[] = {const_cast<LPOLESTR>(L"Caption")};
  DISPID id = 0;
  ComPtr<ITypeInfo> info;
  EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, nullptr, 1, LOCALE_USER_DEFAULT, &id), E_POINTER);
  EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, nullptr), E_POINTER);
  EXPECT_EQ(dispatch_->GetTypeInfoCount(nullptr), E_POINTER);
  EXPECT_EQ(dispatch_->GetTypeInfo(0, LOCALE_USER_DEFAULT, nullptr), E_POINTER);
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

// An event sink as scripting hosts write them: only IDispatch, and nothing answered.
class DispatchOnlySink final : public ComObject<IDispatch> {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) noexcept override {
    return S_OK;
  }

 private:
  void* Find(REFIID riid) noexcept override { return riid == IID_IDispatch ? static_cast<IDispatch*>(this) : nullptr; }
};

class NothingSink final : public ComObject<IUnknown> {
  void* Find(REFIID) noexcept override { return nullptr; }
};

TEST_F(ComRulesTest, ConnectionPointsExistForEventsAndPropertyChanges) {
  const auto container = Query<IConnectionPointContainer>(control_.Get(), IID_IConnectionPointContainer);
  for (const IID* iid : {&DIID___ucCardel, &IID_IPropertyNotifySink}) {
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(container->FindConnectionPoint(*iid, &point), S_OK);
    IID reported{};
    EXPECT_EQ(point->GetConnectionInterface(&reported), S_OK);
    EXPECT_EQ(reported, *iid);
    ComPtr<IConnectionPointContainer> back;
    EXPECT_EQ(point->GetConnectionPointContainer(&back), S_OK);
    EXPECT_EQ(Identity(back.Get()), control_);
  }
  ComPtr<IConnectionPoint> none;
  EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, &none), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(none, nullptr);

  ComPtr<IEnumConnectionPoints> points;
  ASSERT_EQ(container->EnumConnectionPoints(&points), S_OK);
  IConnectionPoint* fetched[4] = {};
  ULONG count = 0;
  EXPECT_EQ(points->Next(4, fetched, &count), S_FALSE);
  std::set<std::wstring> listed;
  for (ULONG i = 0; i < count; ++i) {
    IID iid{};
    fetched[i]->GetConnectionInterface(&iid);
    fetched[i]->Release();
    listed.insert(GuidText(iid));
  }
  EXPECT_EQ(listed, (std::set<std::wstring>{GuidText(DIID___ucCardel), GuidText(IID_IPropertyNotifySink)}));
}

// Every sink hears every change until it is unadvised; each cookie is taken once; a point accepts only
// sinks of its interface (the event point also those that offer only IDispatch).
TEST_F(ComRulesTest, AdviseAndUnadviseKeepTheSinksApart) {
  const auto container = Query<IConnectionPointContainer>(control_.Get(), IID_IConnectionPointContainer);
  ComPtr<IConnectionPoint> point, events;
  ASSERT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, &point), S_OK);
  ASSERT_EQ(container->FindConnectionPoint(DIID___ucCardel, &events), S_OK);

  auto first = MakeCom<NotifySink>(), second = MakeCom<NotifySink>();
  DWORD firstCookie = 0, secondCookie = 0;
  ASSERT_EQ(point->Advise(first.Get(), &firstCookie), S_OK);
  ASSERT_EQ(point->Advise(second.Get(), &secondCookie), S_OK);
  EXPECT_NE(firstCookie, 0u);
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
  EXPECT_EQ(point->Advise(MakeCom<DispatchOnlySink>().Get(), &cookie), CONNECT_E_CANNOTCONNECT);
  ASSERT_EQ(events->Advise(MakeCom<DispatchOnlySink>().Get(), &cookie), S_OK);
  EXPECT_EQ(events->Unadvise(cookie), S_OK);
  EXPECT_EQ(events->Advise(MakeCom<NothingSink>().Get(), &cookie), CONNECT_E_CANNOTCONNECT);
}

TEST_F(ComRulesTest, InitialisingTwiceIsRefused) {
  const auto stream = Query<IPersistStreamInit>(control_.Get(), IID_IPersistStreamInit);
  EXPECT_EQ(stream->InitNew(), S_OK);
  EXPECT_EQ(stream->InitNew(), E_UNEXPECTED);
  EXPECT_EQ(Query<IPersistPropertyBag>(control_.Get(), IID_IPersistPropertyBag)->InitNew(), E_UNEXPECTED);
}

}  // namespace
}  // namespace cardel::oletest
