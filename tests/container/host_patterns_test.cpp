// The control as containers we did not write drive it: inactive rendering into zoomed, printer and
// metafile targets, documents that embed it, a designer's verbs, and windowed sites that resize and clip.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "VelmarCardel_h.h"
#include "container.h"
#include "dib_surface.h"
#include "host_error.h"
#include "library.h"
#include "recorders.h"
#include "site.h"

namespace cardel::host {
namespace {

constexpr COLORREF kFill = RGB(200, 40, 40);
constexpr SIZE kOwn{200, 80};

bool Near(Pixel a, Pixel b, int tolerance = 24) {
  for (int shift : {0, 8, 16})
    if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > tolerance) return false;
  return true;
}

// A white page in a memory DC, standing for a printer page, a zoomed view or a document.
class Page {
 public:
  HDC dc() const { return surface_.Dc(); }
  // Where the fill colour is, against where it should be: the box leaves its last column and row to
  // the outline's edge, which at any scale ends the fill that much before the target's edge.
  ::testing::AssertionResult FillCovers(const RECT& target) const {
    const std::vector<Pixel> pixels = surface_.All();
    RECT found{kWidth, kHeight, -kWidth, -kHeight};
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        if (Near(pixels[y * kWidth + x] & 0xFFFFFF, ToPixel(kFill)))
          found = {std::min<LONG>(found.left, x), std::min<LONG>(found.top, y), std::max<LONG>(found.right, x + 1),
                   std::max<LONG>(found.bottom, y + 1)};
    const RECT expected{target.left, target.top, target.right - (target.right - target.left) / kOwn.cx,
                        target.bottom - (target.bottom - target.top) / kOwn.cy};
    const LONG off = std::max({std::abs(found.left - expected.left), std::abs(found.top - expected.top),
                               std::abs(found.right - expected.right), std::abs(found.bottom - expected.bottom)});
    if (off <= 2) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "fill at (" << found.left << "," << found.top << ")-(" << found.right
                                         << "," << found.bottom << "), expected (" << expected.left << ","
                                         << expected.top << ")-(" << expected.right << "," << expected.bottom << ")";
  }

 private:
  static constexpr int kWidth = 700, kHeight = 300;
  DibSurface surface_{kWidth, kHeight};
};

// A square opaque box of one colour without caption, 200 x 80, never put on a site.
ComPtr<IUnknown> MakeLooseBox(const Library& library) {
  ComPtr<IUnknown> unknown;
  ThrowIfFailed(library.CreateControl(nullptr, IID_IUnknown, reinterpret_cast<void**>(unknown.GetAddressOf())),
                "creating ucCardel");
  ComPtr<IPersistStreamInit> persist;
  ComPtr<_ucCardel> box;
  ComPtr<IOleObject> object;
  if (FAILED(unknown.As(&persist)) || FAILED(unknown.As(&box)) || FAILED(unknown.As(&object)))
    throw HostError("the control's interfaces", E_NOINTERFACE);
  ThrowIfFailed(persist->InitNew(), "InitNew");
  SetCaption(box.Get(), L"");
  box->put_FrontColor(kFill);
  for (auto put : {&_ucCardel::put_BackShadow, &_ucCardel::put_CallOut, &_ucCardel::put_Border})
    (box.Get()->*put)(VARIANT_FALSE);
  for (auto put : {&_ucCardel::put_BorderCornerLeftTop, &_ucCardel::put_BorderCornerRightTop,
                   &_ucCardel::put_BorderCornerBottomLeft, &_ucCardel::put_BorderCornerBottomRight})
    (box.Get()->*put)(0);
  SIZEL extent{kOwn.cx * 2540 / 96, kOwn.cy * 2540 / 96};
  ThrowIfFailed(object->SetExtent(DVASPECT_CONTENT, &extent), "SetExtent");
  return unknown;
}

// Office-style inactive rendering: whatever the mapping, the box covers the bounds' device pixels.
TEST(InactiveDrawTest, BoxCoversTheBoundsInDevicePixelsUnderAnyMapping) {
  Library library;
  ComPtr<IViewObject> view;
  ASSERT_HRESULT_SUCCEEDED(MakeLooseBox(library).As(&view));
  auto anisotropic = [](SIZE window, SIZE viewport, POINT windowOrigin, POINT viewportOrigin) {
    return [=](HDC dc) {
      SetMapMode(dc, MM_ANISOTROPIC);
      SetWindowExtEx(dc, window.cx, window.cy, nullptr);
      SetViewportExtEx(dc, viewport.cx, viewport.cy, nullptr);
      SetWindowOrgEx(dc, windowOrigin.x, windowOrigin.y, nullptr);
      SetViewportOrgEx(dc, viewportOrigin.x, viewportOrigin.y, nullptr);
    };
  };
  const struct {
    const char* what;
    std::function<void(HDC)> map;
    RECTL bounds;  // logical
    RECT device;
  } cases[] = {
      {"own size, offset", [](HDC) {}, {30, 20, 230, 100}, {30, 20, 230, 100}},
      {"150 % zoom", [](HDC) {}, {10, 20, 310, 140}, {10, 20, 310, 140}},
      {"printer at 300 dpi", anisotropic({96, 96}, {300, 300}, {0, 0}, {0, 0}), {16, 8, 216, 88}, {50, 25, 675, 275}},
      {"half scale, window origin", anisotropic({2, 2}, {1, 1}, {40, 20}, {0, 0}), {100, 60, 500, 220},
       {30, 20, 230, 100}},
      {"y axis up", anisotropic({10, 10}, {4, -4}, {0, 0}, {0, 200}), {100, 400, 600, 200}, {40, 40, 240, 120}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Page page;
    c.map(page.dc());
    ASSERT_HRESULT_SUCCEEDED(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, page.dc(), &c.bounds,
                                        nullptr, nullptr, 0));
    EXPECT_TRUE(page.FillCovers(c.device));
  }
}

// A PrePaint handler that paints the box elsewhere meanwhile, at the control's own size: each paint
// keeps to its own target.
TEST(InactiveDrawTest, PaintStartedFromPrePaintKeepsToItsOwnTarget) {
  Library library;
  ComPtr<IUnknown> control = MakeLooseBox(library);
  ComPtr<IViewObject> view;
  ASSERT_HRESULT_SUCCEEDED(control.As(&view));
  Page inner, outer;
  const RECTL own{0, 0, kOwn.cx, kOwn.cy}, zoomed{10, 20, 310, 140};
  EventRecorder events;
  ASSERT_HRESULT_SUCCEEDED(events.Connect(control.Get()));
  bool nested = false;
  events.SetHandler([&](DISPID id, DISPPARAMS*) {
    if (id == event_id::PrePaint && !std::exchange(nested, true))
      view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, inner.dc(), &own, nullptr, nullptr, 0);
  });
  ASSERT_HRESULT_SUCCEEDED(
      view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, outer.dc(), &zoomed, nullptr, nullptr, 0));
  events.Disconnect();
  EXPECT_TRUE(inner.FillCovers({0, 0, kOwn.cx, kOwn.cy}));
  EXPECT_TRUE(outer.FillCovers({10, 20, 310, 140}));
}

// A document's pictures of the box, an enhanced metafile and a metafile picture, played at 1.5 times
// the control's size.
TEST(InactiveDrawTest, DataObjectPicturesPlayBackAtThePlayedSize) {
  Library library;
  ComPtr<IDataObject> data;
  ASSERT_HRESULT_SUCCEEDED(MakeLooseBox(library).As(&data));
  const RECT played{50, 10, 350, 130};
  for (const auto& [format, tymed] : {std::pair{CF_ENHMETAFILE, TYMED_ENHMF}, {CF_METAFILEPICT, TYMED_MFPICT}}) {
    SCOPED_TRACE(format);
    FORMATETC wanted{static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, static_cast<DWORD>(tymed)};
    EXPECT_EQ(data->QueryGetData(&wanted), S_OK);
    STGMEDIUM medium{};
    ASSERT_HRESULT_SUCCEEDED(data->GetData(&wanted, &medium));
    Page page;
    if (format == CF_ENHMETAFILE) {
      EXPECT_TRUE(PlayEnhMetaFile(page.dc(), medium.hEnhMetaFile, &played));
    } else {
      const auto* header = static_cast<const METAFILEPICT*>(GlobalLock(medium.hMetaFilePict));
      EXPECT_EQ(header->mm, MM_ANISOTROPIC);
      SetMapMode(page.dc(), MM_ANISOTROPIC);
      SetViewportOrgEx(page.dc(), played.left, played.top, nullptr);
      SetViewportExtEx(page.dc(), played.right - played.left, played.bottom - played.top, nullptr);
      EXPECT_TRUE(PlayMetaFile(page.dc(), header->hMF));
      GlobalUnlock(medium.hMetaFilePict);
    }
    ReleaseStgMedium(&medium);
    EXPECT_TRUE(page.FillCovers(played));
  }
  FORMATETC bitmap{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
  FORMATETC icon{CF_ENHMETAFILE, nullptr, DVASPECT_ICON, -1, TYMED_ENHMF};
  EXPECT_EQ(data->QueryGetData(&bitmap), DV_E_FORMATETC);
  EXPECT_EQ(data->QueryGetData(&icon), DV_E_DVASPECT);
}

// What IPersistStreamInit::Save writes: the whole saved form.
std::string SavedForm(IUnknown* object) {
  ComPtr<IPersistStreamInit> persist;
  ComPtr<IStream> stream;
  HGLOBAL memory = nullptr;
  if (FAILED(object->QueryInterface(IID_PPV_ARGS(&persist))) || FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) ||
      FAILED(persist->Save(stream.Get(), FALSE)) || FAILED(GetHGlobalFromStream(stream.Get(), &memory)))
    return {};
  ULARGE_INTEGER size{};
  stream->Seek({}, STREAM_SEEK_CUR, &size);
  std::string bytes(static_cast<const char*>(GlobalLock(memory)), static_cast<size_t>(size.QuadPart));
  GlobalUnlock(memory);
  return bytes;
}

// Insert Object: OleCreate into a storage, OleSave, then OleLoad into a new control, which saves exactly
// what the first one saved.
TEST(EmbeddingTest, StorageRoundTripKeepsEveryProperty) {
  Library library;
  ComPtr<IClassFactory> factory;
  ASSERT_HRESULT_SUCCEEDED(library.DllGetClassObject(CLSID_ucCardel, IID_PPV_ARGS(&factory)));
  DWORD registration = 0;
  ASSERT_HRESULT_SUCCEEDED(
      CoRegisterClassObject(CLSID_ucCardel, factory.Get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &registration));
  ComPtr<IStorage> storage;
  ASSERT_HRESULT_SUCCEEDED(
      StgCreateDocfile(nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE, 0, &storage));
  ComPtr<IOleObject> first, second;
  ASSERT_HRESULT_SUCCEEDED(OleCreate(CLSID_ucCardel, IID_IOleObject, OLERENDER_NONE, nullptr, nullptr, storage.Get(),
                                     reinterpret_cast<void**>(first.GetAddressOf())));
  ComPtr<_ucCardel> box;
  ComPtr<IPersistStorage> persist;
  ASSERT_HRESULT_SUCCEEDED(first.As(&box));
  ASSERT_HRESULT_SUCCEEDED(first.As(&persist));
  SetCaption(box.Get(), L"Embedded");
  box->put_FrontColor(kFill);
  box->put_BorderWidth(7);
  box->put_CallOut(VARIANT_TRUE);
  box->put_BackColorOpacity(55);
  // A face Wine has under its own name, so the font reads back as it was saved.
  FONTDESC face{sizeof(FONTDESC), const_cast<LPOLESTR>(L"Tahoma"), {120000, 0}, FW_BOLD, ANSI_CHARSET};
  ComPtr<IFontDisp> font;
  ASSERT_HRESULT_SUCCEEDED(OleCreateFontIndirect(&face, IID_PPV_ARGS(&font)));
  box->putref_Font(font.Get());
  box->putref_IconFont(font.Get());
  ASSERT_HRESULT_SUCCEEDED(OleSave(persist.Get(), storage.Get(), TRUE));
  EXPECT_EQ(persist->IsDirty(), S_OK);
  ASSERT_HRESULT_SUCCEEDED(persist->SaveCompleted(nullptr));
  EXPECT_EQ(persist->IsDirty(), S_FALSE);

  ASSERT_HRESULT_SUCCEEDED(
      OleLoad(storage.Get(), IID_IOleObject, nullptr, reinterpret_cast<void**>(second.GetAddressOf())));
  const std::string saved = SavedForm(first.Get());
  EXPECT_FALSE(saved.empty());
  EXPECT_EQ(SavedForm(second.Get()), saved);
  first->Close(OLECLOSE_NOSAVE);
  second->Close(OLECLOSE_NOSAVE);
  CoRevokeClassObject(registration);
}

// A designer that shows its own property frame is asked first and the verb ends there; the verb is
// listed for its menus.
TEST(DesignerTest, PropertiesVerbGoesToTheDesignersFrameAndIsListed) {
  Library library;
  Container box(library);
  HostedControl& control = box.Add({20, 20, 120, 60});
  control.GetSite().ShowsPropertyFrame(true);
  ComPtr<IOleObject> object = control.Query<IOleObject>();
  RECT rect = control.Rect();
  EXPECT_EQ(object->DoVerb(OLEIVERB_PROPERTIES, nullptr, &control.GetSite(), 0, box.Window(), &rect), S_OK);
  EXPECT_EQ(control.GetSite().CountOf("ShowPropertyFrame"), 1u);

  ComPtr<IEnumOLEVERB> verbs;
  OLEVERB verb[2]{};
  ULONG count = 0;
  ASSERT_HRESULT_SUCCEEDED(object->EnumVerbs(&verbs));
  ASSERT_EQ(verbs->Next(2, verb, &count), S_FALSE);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(verb[0].lVerb, OLEIVERB_PROPERTIES);
  EXPECT_STREQ(verb[0].lpszVerbName, L"&Properties...");
  EXPECT_EQ(verb[0].grfAttribs, DWORD{OLEVERBATTRIB_ONCONTAINERMENU});
  CoTaskMemFree(verb[0].lpszVerbName);
}

// An MFC-style form: the control in its own window, enlarged, then clipped by the form.
TEST(WindowedSiteTest, ResizeRepaintsAllOfTheBoxAndTheClipHidesWhatIsBeyond) {
  Library library;
  Container box(library);
  HostedControl& control = box.Add({40, 30, 140, 90}, {.windowless = false});
  ComPtr<_ucCardel> cardel = control.Cardel();
  SetCaption(cardel.Get(), L"");
  cardel->put_FrontColor(kFill);
  cardel->put_BorderWidth(4);
  cardel->put_Border(VARIANT_TRUE);
  box.Repaint();

  const RECT larger{40, 30, 240, 130};
  ASSERT_HRESULT_SUCCEEDED(control.Move(larger));
  box.PumpMessages();
  // Where the old right border was, the bigger box has its fill.
  Image image = box.Capture({0, 0, 300, 200});
  EXPECT_TRUE(Near(image.At(138, 60), ToPixel(kFill), 8));

  const RECT clip{0, 0, 200, 300}, inverted{10, 10, 0, 0};
  ComPtr<IOleInPlaceObject> in_place = control.Query<IOleInPlaceObject>();
  ASSERT_HRESULT_SUCCEEDED(in_place->SetObjectRects(&larger, &clip));
  EXPECT_EQ(in_place->SetObjectRects(&larger, &inverted), E_INVALIDARG);
  box.Repaint();
  image = box.Capture({0, 0, 300, 200});
  EXPECT_TRUE(Near(image.At(190, 60), ToPixel(kFill), 8));
  for (const int x : {205, 238}) EXPECT_EQ(image.At(x, 60), Container::BackgroundAt(x, 60)) << x;
}

// WinForms' AxHost: quick activation, then the extent and object rectangles of a later layout.
TEST(WindowedSiteTest, QuickActivationThenExtentThenObjectRectsPlacesTheWindow) {
  Library library;
  Container box(library);
  ComPtr<Site> site = Site::Make(box, {10, 10, 110, 50}, false, L"axHost1");
  ComPtr<IUnknown> unknown;
  ASSERT_HRESULT_SUCCEEDED(library.CreateControl(nullptr, IID_IUnknown, reinterpret_cast<void**>(unknown.GetAddressOf())));
  site->Attach(unknown.Get());
  ComPtr<IQuickActivate> quick;
  ComPtr<IPersistStreamInit> persist;
  ComPtr<IOleObject> object;
  ComPtr<IOleInPlaceObject> in_place;
  ASSERT_TRUE(SUCCEEDED(unknown.As(&quick)) && SUCCEEDED(unknown.As(&persist)) && SUCCEEDED(unknown.As(&object)) &&
              SUCCEEDED(unknown.As(&in_place)));
  QACONTAINER container{sizeof(QACONTAINER)};
  container.pClientSite = site.Get();
  QACONTROL answer{sizeof(QACONTROL)};
  ASSERT_HRESULT_SUCCEEDED(quick->QuickActivate(&container, &answer));
  ASSERT_HRESULT_SUCCEEDED(persist->InitNew());
  RECT position = site->Rect();
  ASSERT_HRESULT_SUCCEEDED(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.Get(), 0, box.Window(), &position));

  const RECT laid_out{30, 40, 230, 120}, clip = box.ClientRect();
  site->SetRect(laid_out);
  SIZEL extent{200 * 2540 / 96, 80 * 2540 / 96};
  ASSERT_HRESULT_SUCCEEDED(object->SetExtent(DVASPECT_CONTENT, &extent));
  ASSERT_HRESULT_SUCCEEDED(in_place->SetObjectRects(&laid_out, &clip));
  HWND window = nullptr;
  RECT placed{};
  ASSERT_HRESULT_SUCCEEDED(in_place->GetWindow(&window));
  GetWindowRect(window, &placed);
  MapWindowPoints(nullptr, box.Window(), reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_TRUE(EqualRect(&placed, &laid_out));
  box.PumpMessages();
  // The new control's fill, the host's button face, reaches the far side of the new rectangle.
  const Image image = box.Capture({0, 0, 300, 200});
  EXPECT_TRUE(Near(image.At(222, 80), ToPixel(GetSysColor(COLOR_BTNFACE)), 8));
  EXPECT_EQ(image.At(235, 80), Container::BackgroundAt(235, 80));

  in_place->InPlaceDeactivate();
  object->Close(OLECLOSE_NOSAVE);
  object->SetClientSite(nullptr);
  site->Detach();
}

}  // namespace
}  // namespace cardel::host
