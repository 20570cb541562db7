// The control as containers we did not write drive it: inactive rendering into zoomed, printer and
// metafile targets, a windowed site that resizes and clips, and a WinForms-style activation.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <functional>
#include <optional>

#include "container.h"
#include "host_error.h"
#include "library.h"
#include "site.h"
#include "VelmarCardel_h.h"

namespace cardel::testhost {
namespace {

constexpr COLORREF kFill = RGB(200, 40, 40);
constexpr COLORREF kBorder = RGB(0, 0, 0);
constexpr SIZE kOwn{200, 80};

bool Near(Pixel a, Pixel b, int tolerance = 8) {
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)) > tolerance) return false;
  return true;
}

// A white 32-bit DIB selected into a memory DC, standing for a printer page, a zoomed view or a
// document's picture.
class Page {
 public:
  Page(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    dc_.reset(CreateCompatibleDC(nullptr));
    bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
    if (!dc_ || !bitmap_) throw HostError("creating a page", E_OUTOFMEMORY);
    selected_.emplace(dc_.get(), bitmap_.get());
    std::fill_n(static_cast<Pixel*>(bits_), width * height, 0xFFFFFF);
  }
  HDC dc() const { return dc_.get(); }
  Pixel At(int x, int y) const {
    GdiFlush();
    return static_cast<const Pixel*>(bits_)[y * width_ + x] & 0xFFFFFF;
  }
  // The smallest rectangle holding every pixel of the colour; empty when there is none.
  RECT Extent(COLORREF colour) const {
    RECT found{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if (Near(At(x, y), ToPixel(colour), 24)) found = {std::min<LONG>(found.left, x), std::min<LONG>(found.top, y),
                                                          std::max<LONG>(found.right, x + 1),
                                                          std::max<LONG>(found.bottom, y + 1)};
    return found.left == INT_MAX ? RECT{} : found;
  }

 private:
  int width_, height_;
  UniqueMemoryDc dc_;
  UniqueBitmap bitmap_;
  void* bits_ = nullptr;
  std::optional<SelectedObject> selected_;
};

::testing::AssertionResult SameRect(const RECT& actual, const RECT& expected, int tolerance) {
  if (std::abs(actual.left - expected.left) <= tolerance && std::abs(actual.top - expected.top) <= tolerance &&
      std::abs(actual.right - expected.right) <= tolerance && std::abs(actual.bottom - expected.bottom) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << actual.left << "," << actual.top << ")-(" << actual.right << ","
                                       << actual.bottom << ") instead of (" << expected.left << "," << expected.top
                                       << ")-(" << expected.right << "," << expected.bottom << ")";
}

// The box leaves its last column and row of pixels to the outline's edge: at any scale, the fill ends
// that much before the target's edge.
RECT WithoutLastPixel(const RECT& target) {
  return {target.left, target.top, target.right - (target.right - target.left) / kOwn.cx,
          target.bottom - (target.bottom - target.top) / kOwn.cy};
}

// A square opaque box of one colour, no caption, made at 200 x 80 and never put on a site.
ComPtr<IUnknown> MakeLooseBox(const Library& library) {
  ComPtr<IUnknown> unknown;
  ThrowIfFailed(library.CreateControl(nullptr, IID_IUnknown, reinterpret_cast<void**>(unknown.GetAddressOf())),
                "creating ucCardel");
  ComPtr<IPersistStreamInit> persist;
  ThrowIfFailed(unknown.As(&persist), "IPersistStreamInit");
  ThrowIfFailed(persist->InitNew(), "InitNew");
  ComPtr<_ucCardel> box;
  ThrowIfFailed(unknown.As(&box), "_ucCardel");
  BSTR empty = SysAllocString(L"");
  box->put_Caption(&empty);
  SysFreeString(empty);
  box->put_FrontColor(kFill);
  box->put_BackColorOpacity(100);
  box->put_BackShadow(VARIANT_FALSE);
  box->put_CallOut(VARIANT_FALSE);
  box->put_Border(VARIANT_FALSE);
  box->put_BorderCornerLeftTop(0);
  box->put_BorderCornerRightTop(0);
  box->put_BorderCornerBottomLeft(0);
  box->put_BorderCornerBottomRight(0);
  const HDC screen = ::GetDC(nullptr);
  SIZEL extent{MulDiv(kOwn.cx, 2540, GetDeviceCaps(screen, LOGPIXELSX)),
               MulDiv(kOwn.cy, 2540, GetDeviceCaps(screen, LOGPIXELSY))};
  ::ReleaseDC(nullptr, screen);
  ComPtr<IOleObject> object;
  ThrowIfFailed(unknown.As(&object), "IOleObject");
  ThrowIfFailed(object->SetExtent(DVASPECT_CONTENT, &extent), "SetExtent");
  return unknown;
}

HRESULT DrawInto(IUnknown* control, HDC dc, const RECTL& bounds) {
  ComPtr<IViewObject> view;
  if (HRESULT hr = control->QueryInterface(IID_PPV_ARGS(&view)); FAILED(hr)) return hr;
  return view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0);
}

// Office-style inactive rendering: whatever the mapping, the box covers the bounds' device pixels.
TEST(InactiveDrawTest, BoxCoversTheBoundsInDevicePixelsUnderAnyMapping) {
  Library library;
  ComPtr<IUnknown> control = MakeLooseBox(library);
  const struct {
    const char* what;
    std::function<void(HDC)> map;
    RECTL bounds;  // logical
    RECT device;
  } cases[] = {
      {"own size, offset", [](HDC) {}, {30, 20, 230, 100}, {30, 20, 230, 100}},
      {"150 % zoom", [](HDC) {}, {10, 20, 310, 140}, {10, 20, 310, 140}},
      {"printer at 300 dpi",
       [](HDC dc) {
         SetMapMode(dc, MM_ANISOTROPIC);
         SetWindowExtEx(dc, 96, 96, nullptr);
         SetViewportExtEx(dc, 300, 300, nullptr);
       },
       {16, 8, 216, 88}, {50, 25, 675, 275}},
      {"half scale with a window origin",
       [](HDC dc) {
         SetMapMode(dc, MM_ANISOTROPIC);
         SetWindowExtEx(dc, 2, 2, nullptr);
         SetViewportExtEx(dc, 1, 1, nullptr);
         SetWindowOrgEx(dc, 40, 20, nullptr);
       },
       {100, 60, 500, 220}, {30, 20, 230, 100}},
      {"y axis up, in tenths of a millimetre",
       [](HDC dc) {
         SetMapMode(dc, MM_ANISOTROPIC);
         SetWindowExtEx(dc, 10, 10, nullptr);
         SetViewportExtEx(dc, 4, -4, nullptr);
         SetViewportOrgEx(dc, 0, 200, nullptr);
       },
       {100, 400, 600, 200}, {40, 40, 240, 120}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Page page(700, 300);
    c.map(page.dc());
    ASSERT_HRESULT_SUCCEEDED(DrawInto(control.Get(), page.dc(), c.bounds));
    SetMapMode(page.dc(), MM_TEXT);
    EXPECT_TRUE(SameRect(page.Extent(kFill), WithoutLastPixel(c.device), 2));
    EXPECT_EQ(page.At(c.device.left / 2, c.device.top / 2), 0xFFFFFFu);
  }
}

// A document keeps an enhanced metafile of the box and plays it at another size.
TEST(InactiveDrawTest, EnhancedMetafilePlaysBackAtThePlayedSize) {
  Library library;
  ComPtr<IUnknown> control = MakeLooseBox(library);
  const HDC screen = ::GetDC(nullptr);
  const RECT frame{0, 0, MulDiv(kOwn.cx, GetDeviceCaps(screen, HORZSIZE) * 100, GetDeviceCaps(screen, HORZRES)),
                   MulDiv(kOwn.cy, GetDeviceCaps(screen, VERTSIZE) * 100, GetDeviceCaps(screen, VERTRES))};
  ::ReleaseDC(nullptr, screen);
  const HDC recorder = CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
  ASSERT_NE(recorder, nullptr);
  const HRESULT drawn = DrawInto(control.Get(), recorder, {0, 0, kOwn.cx, kOwn.cy});
  const HENHMETAFILE picture = CloseEnhMetaFile(recorder);
  ASSERT_HRESULT_SUCCEEDED(drawn);
  ASSERT_NE(picture, nullptr);
  Page page(400, 200);
  const RECT played{50, 10, 350, 130};
  EXPECT_TRUE(PlayEnhMetaFile(page.dc(), picture, &played));
  DeleteEnhMetaFile(picture);
  EXPECT_TRUE(SameRect(page.Extent(kFill), WithoutLastPixel(played), 2));
}

// The same Draw behind the pictures a document keeps: an enhanced metafile and a metafile picture, each
// played at 1.5 times the control's size.
TEST(InactiveDrawTest, DataObjectPicturesPlayBackAtThePlayedSize) {
  Library library;
  ComPtr<IUnknown> control = MakeLooseBox(library);
  ComPtr<IDataObject> data;
  ASSERT_HRESULT_SUCCEEDED(control.As(&data));
  const RECT played{50, 10, 350, 130};
  for (const CLIPFORMAT format : {CLIPFORMAT{CF_ENHMETAFILE}, CLIPFORMAT{CF_METAFILEPICT}}) {
    SCOPED_TRACE(format);
    FORMATETC wanted{format, nullptr, DVASPECT_CONTENT, -1,
                     format == CF_ENHMETAFILE ? DWORD{TYMED_ENHMF} : DWORD{TYMED_MFPICT}};
    EXPECT_EQ(data->QueryGetData(&wanted), S_OK);
    STGMEDIUM medium{};
    ASSERT_HRESULT_SUCCEEDED(data->GetData(&wanted, &medium));
    Page page(400, 200);
    if (format == CF_ENHMETAFILE) {
      EXPECT_TRUE(PlayEnhMetaFile(page.dc(), medium.hEnhMetaFile, &played));
    } else {
      const auto* header = static_cast<const METAFILEPICT*>(GlobalLock(medium.hMetaFilePict));
      ASSERT_NE(header, nullptr);
      EXPECT_EQ(header->mm, MM_ANISOTROPIC);
      SetMapMode(page.dc(), MM_ANISOTROPIC);
      SetViewportOrgEx(page.dc(), played.left, played.top, nullptr);
      SetViewportExtEx(page.dc(), played.right - played.left, played.bottom - played.top, nullptr);
      EXPECT_TRUE(PlayMetaFile(page.dc(), header->hMF));
      GlobalUnlock(medium.hMetaFilePict);
    }
    ReleaseStgMedium(&medium);
    EXPECT_TRUE(SameRect(page.Extent(kFill), WithoutLastPixel(played), 2));
  }
  FORMATETC other{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
  EXPECT_EQ(data->QueryGetData(&other), DV_E_FORMATETC);
  FORMATETC icon{CF_ENHMETAFILE, nullptr, DVASPECT_ICON, -1, TYMED_ENHMF};
  STGMEDIUM none{};
  EXPECT_EQ(data->GetData(&icon, &none), DV_E_DVASPECT);
}

// Insert Object: OleCreate into a storage, OleSave, and OleLoad into a new control, which then saves
// exactly what the first one saved.
TEST(EmbeddingTest, StorageRoundTripKeepsEveryProperty) {
  Library library;
  ComPtr<IClassFactory> factory;
  ASSERT_HRESULT_SUCCEEDED(library.DllGetClassObject(CLSID_ucCardel, IID_PPV_ARGS(&factory)));
  DWORD registration = 0;
  ASSERT_HRESULT_SUCCEEDED(
      CoRegisterClassObject(CLSID_ucCardel, factory.Get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &registration));
  ComPtr<IStorage> storage;
  ASSERT_HRESULT_SUCCEEDED(StgCreateDocfile(
      nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE, 0, &storage));
  auto saved_form = [](IUnknown* object) {
    ComPtr<IPersistStreamInit> persist;
    ComPtr<IStream> stream;
    CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    if (FAILED(object->QueryInterface(IID_PPV_ARGS(&persist))) || FAILED(persist->Save(stream.Get(), FALSE)))
      return std::string();
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    std::string bytes(static_cast<size_t>(stat.cbSize.QuadPart), '\0');
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
    return bytes;
  };
  {
    ComPtr<IOleObject> first;
    ASSERT_HRESULT_SUCCEEDED(OleCreate(CLSID_ucCardel, IID_IOleObject, OLERENDER_NONE, nullptr, nullptr,
                                       storage.Get(), reinterpret_cast<void**>(first.GetAddressOf())));
    ComPtr<_ucCardel> box;
    ASSERT_HRESULT_SUCCEEDED(first.As(&box));
    BSTR caption = SysAllocString(L"Embedded");
    box->put_Caption(&caption);
    SysFreeString(caption);
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
    ComPtr<IPersistStorage> persist;
    ASSERT_HRESULT_SUCCEEDED(first.As(&persist));
    EXPECT_EQ(persist->IsDirty(), S_OK);
    ASSERT_HRESULT_SUCCEEDED(OleSave(persist.Get(), storage.Get(), TRUE));
    ASSERT_HRESULT_SUCCEEDED(persist->SaveCompleted(nullptr));
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    const std::string expected = saved_form(first.Get());
    ASSERT_FALSE(expected.empty());

    ComPtr<IOleObject> second;
    ASSERT_HRESULT_SUCCEEDED(OleLoad(storage.Get(), IID_IOleObject, nullptr, reinterpret_cast<void**>(second.GetAddressOf())));
    EXPECT_EQ(saved_form(second.Get()), expected);
    first->Close(OLECLOSE_NOSAVE);
    second->Close(OLECLOSE_NOSAVE);
  }
  CoRevokeClassObject(registration);
}

// A designer that shows its own property frame gets asked first, and the verb ends there; the verb is
// listed for its menus.
TEST(DesignerTest, PropertiesVerbGoesToTheDesignersFrameAndIsListed) {
  Library library;
  Container box(library);
  HostedControl& control = box.Add({20, 20, 120, 60});
  control.GetSite().ShowsPropertyFrame(true);
  control.GetSite().ClearCalls();
  ComPtr<IOleObject> object = control.Query<IOleObject>();
  RECT rect = control.Rect();
  EXPECT_EQ(object->DoVerb(OLEIVERB_PROPERTIES, nullptr, &control.GetSite(), 0, box.Window(), &rect), S_OK);
  EXPECT_EQ(control.GetSite().CountOf("ShowPropertyFrame"), 1u);

  ComPtr<IEnumOLEVERB> verbs;
  ASSERT_HRESULT_SUCCEEDED(object->EnumVerbs(&verbs));
  OLEVERB verb{};
  ULONG fetched = 0;
  ASSERT_EQ(verbs->Next(1, &verb, &fetched), S_OK);
  EXPECT_EQ(verb.lVerb, OLEIVERB_PROPERTIES);
  EXPECT_STREQ(verb.lpszVerbName, L"&Properties...");
  EXPECT_TRUE(verb.grfAttribs & OLEVERBATTRIB_ONCONTAINERMENU);
  CoTaskMemFree(verb.lpszVerbName);
  EXPECT_EQ(verbs->Next(1, &verb, &fetched), S_FALSE);
}

// An MFC-style form: the control in its own window, enlarged and then clipped by the form.
TEST(WindowedSiteTest, ResizeRepaintsAllOfTheBoxAndTheClipHidesWhatIsBeyond) {
  Library library;
  Container box(library);
  HostedControl& control = box.Add({40, 30, 140, 90}, {.windowless = false});
  ASSERT_NE(control.OwnWindow(), nullptr);
  ComPtr<_ucCardel> cardel = control.Cardel();
  BSTR empty = SysAllocString(L"");
  cardel->put_Caption(&empty);
  SysFreeString(empty);
  cardel->put_FrontColor(kFill);
  cardel->put_BorderColor(kBorder);
  cardel->put_BorderWidth(4);
  cardel->put_Border(VARIANT_TRUE);
  box.Repaint();
  box.PumpMessages();

  const RECT larger{40, 30, 240, 130};
  ASSERT_HRESULT_SUCCEEDED(control.Move(larger));
  box.PumpMessages();
  // Where the old right border was, the bigger box has its fill.
  Image image = box.Capture({0, 0, 300, 200});
  EXPECT_TRUE(Near(image.At(138, 60), ToPixel(kFill)));
  EXPECT_TRUE(Near(image.At(238, 60), ToPixel(kBorder)));

  ComPtr<IOleInPlaceObject> in_place = control.Query<IOleInPlaceObject>();
  const RECT clip{0, 0, 200, 300};
  ASSERT_HRESULT_SUCCEEDED(in_place->SetObjectRects(&larger, &clip));
  box.Repaint();
  box.PumpMessages();
  image = box.Capture({0, 0, 300, 200});
  EXPECT_TRUE(Near(image.At(190, 60), ToPixel(kFill)));
  for (const int x : {205, 230, 238}) EXPECT_EQ(image.At(x, 60), Container::BackgroundAt(x, 60)) << x;
  const RECT inverted{10, 10, 0, 0};
  EXPECT_EQ(in_place->SetObjectRects(&larger, &inverted), E_INVALIDARG);
}

// WinForms' AxHost: quick activation, then the extent and the object rectangles of a later layout, in a
// window of the control's own.
TEST(WindowedSiteTest, QuickActivationThenExtentThenObjectRectsPlacesTheWindow) {
  Library library;
  Container box(library);
  const RECT first{10, 10, 110, 50};
  ComPtr<Site> site = Site::Make(box, first, false, L"axHost1");
  ComPtr<IUnknown> unknown;
  ASSERT_HRESULT_SUCCEEDED(library.CreateControl(nullptr, IID_IUnknown, reinterpret_cast<void**>(unknown.GetAddressOf())));
  site->Attach(unknown.Get());
  ComPtr<IQuickActivate> quick;
  ASSERT_HRESULT_SUCCEEDED(unknown.As(&quick));
  QACONTAINER container{sizeof(QACONTAINER)};
  container.pClientSite = site.Get();
  QACONTROL answer{sizeof(QACONTROL)};
  ASSERT_HRESULT_SUCCEEDED(quick->QuickActivate(&container, &answer));
  ComPtr<IPersistStreamInit> persist;
  ASSERT_HRESULT_SUCCEEDED(unknown.As(&persist));
  ASSERT_HRESULT_SUCCEEDED(persist->InitNew());
  ComPtr<IOleObject> object;
  ASSERT_HRESULT_SUCCEEDED(unknown.As(&object));
  RECT position = first;
  ASSERT_HRESULT_SUCCEEDED(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.Get(), 0, box.Window(), &position));

  const RECT laid_out{30, 40, 230, 120};
  site->SetRect(laid_out);
  SIZEL extent{200 * 2540 / 96, 80 * 2540 / 96};
  ASSERT_HRESULT_SUCCEEDED(object->SetExtent(DVASPECT_CONTENT, &extent));
  ComPtr<IOleInPlaceObject> in_place;
  ASSERT_HRESULT_SUCCEEDED(unknown.As(&in_place));
  const RECT clip = box.ClientRect();
  ASSERT_HRESULT_SUCCEEDED(in_place->SetObjectRects(&laid_out, &clip));
  HWND window = nullptr;
  ASSERT_HRESULT_SUCCEEDED(in_place->GetWindow(&window));
  RECT placed{};
  GetWindowRect(window, &placed);
  MapWindowPoints(nullptr, box.Window(), reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_TRUE(EqualRect(&placed, &laid_out));
  box.PumpMessages();
  const Image image = box.Capture({0, 0, 300, 200});
  // The new control's fill, the host's button face, reaches the far side of the new rectangle.
  EXPECT_TRUE(Near(image.At(222, 80), ToPixel(GetSysColor(COLOR_BTNFACE))));
  EXPECT_EQ(image.At(235, 80), Container::BackgroundAt(235, 80));

  in_place->InPlaceDeactivate();
  object->Close(OLECLOSE_NOSAVE);
  object->SetClientSite(nullptr);
  site->Detach();
}

}  // namespace
}  // namespace cardel::testhost
