// Checks the test container itself: its window and pixels, the property bag, the ambient dispatch and the
// site's services. One test hosts the real control from end to end.
#include "container.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/automation_handles.h"
#include "common/win_handles.h"
#include "library.h"
#include "property_bag.h"
#include "recorders.h"
#include "site.h"

namespace cardel::host {
namespace {

constexpr RECT kSiteRect{40, 32, 120, 80};

// Pixels of image (taken at origin) that differ from what expected gives for their client point.
template <class Expected>
int Mismatches(const Image& image, POINT origin, Expected expected) {
  int count = 0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) count += image.At(x, y) != expected(origin.x + x, origin.y + y);
  }
  return count;
}

Variant ReadBack(IPropertyBag& bag, const wchar_t* name, VARTYPE wanted, HRESULT* hr = nullptr) {
  Variant value;
  value.get()->vt = wanted;
  const HRESULT result = bag.Read(name, value.get(), nullptr);
  if (hr) *hr = result;
  return value;
}

class ContainerTest : public ::testing::Test {
 protected:
  ComPtr<IDispatch> AmbientDispatch(Site& site) {
    ComPtr<IDispatch> dispatch;
    site.QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.GetAddressOf()));
    return dispatch;
  }
  HRESULT GetAmbient(IDispatch& dispatch, DISPID id, Variant& value) {
    DISPPARAMS none{};
    return dispatch.Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, value.put(), nullptr, nullptr);
  }

  OleApartment ole_;
  Container box_;
};

TEST_F(ContainerTest, ShowsCheckerboardWindowOfRequestedSize) {
  ASSERT_TRUE(IsWindow(box_.Window()));
  EXPECT_TRUE(IsWindowVisible(box_.Window()));
  const RECT client = box_.ClientRect();
  EXPECT_EQ(client.right, 400);
  EXPECT_EQ(client.bottom, 300);

  box_.Repaint();
  const RECT area{3, 5, 61, 47};
  const Image image = box_.Capture(area);
  ASSERT_EQ(image.width, 58);
  ASSERT_EQ(image.height, 42);
  EXPECT_EQ(Mismatches(image, {area.left, area.top}, Container::BackgroundAt), 0);
  EXPECT_NE(Container::BackgroundAt(0, 0), Container::BackgroundAt(Container::kCheckerCell, 0));
}

TEST_F(ContainerTest, PropertyBagRoundTripsVariantKinds) {
  ComPtr<PropertyBag> bag = PropertyBag::Make();
  ComPtr<IFontDisp> font = Ambients().Font();
  const uint8_t bytes[] = {0x89, 'P', 'N', 'G', 0, 255};
  const std::pair<const wchar_t*, Variant> entries[] = {
      {L"Short", Variant::Short(-12)},
      {L"Long", Variant::Long(0x80000012)},
      {L"Text", Variant::String(L"Caption \u00e9\u4e2d")},
      {L"Flag", Variant::Bool(true)},
      {L"Single", Variant::Float(2.5f)},
      {L"Bytes", Variant::Bytes(bytes)},
      {L"Font", Variant::Object(static_cast<IDispatch*>(font.Get()))},
  };
  for (const auto& [name, value] : entries) ASSERT_HRESULT_SUCCEEDED(bag->Write(name, value.in()));

  EXPECT_EQ(ReadBack(*bag.Get(), L"Short", VT_EMPTY)->iVal, -12);
  EXPECT_EQ(ReadBack(*bag.Get(), L"Long", VT_EMPTY).ToLong(), static_cast<long>(0x80000012));
  EXPECT_EQ(ReadBack(*bag.Get(), L"Text", VT_EMPTY).ToString(), L"Caption \u00e9\u4e2d");
  EXPECT_EQ(ReadBack(*bag.Get(), L"Flag", VT_EMPTY)->boolVal, VARIANT_TRUE);
  EXPECT_EQ(ReadBack(*bag.Get(), L"Single", VT_EMPTY)->fltVal, 2.5f);
  EXPECT_EQ(ReadBack(*bag.Get(), L"Bytes", VT_ARRAY | VT_UI1).ToBytes(),
            std::vector<uint8_t>(std::begin(bytes), std::end(bytes)));
  const Variant font_back = ReadBack(*bag.Get(), L"Font", VT_DISPATCH);
  ASSERT_EQ(font_back.vt(), VT_DISPATCH);
  EXPECT_EQ(font_back->pdispVal, font.Get());
  EXPECT_EQ(bag->Writes(),
            (std::vector<std::wstring>{L"Short", L"Long", L"Text", L"Flag", L"Single", L"Bytes", L"Font"}));
}

TEST_F(ContainerTest, PropertyBagConvertsIgnoresCaseAndFailsLikeAForm) {
  ComPtr<PropertyBag> bag = PropertyBag::Make();
  bag->Set(L"CaptionPaddingX", Variant::Short(5));
  bag->Set(L"Caption", Variant::String(L"12"));

  EXPECT_EQ(ReadBack(*bag.Get(), L"captionpaddingx", VT_BSTR).ToString(), L"5");
  const Variant number = ReadBack(*bag.Get(), L"CAPTION", VT_I4);
  EXPECT_EQ(number.vt(), VT_I4);
  EXPECT_EQ(number->lVal, 12);

  HRESULT hr = S_OK;
  bag->Set(L"Caption", Variant::String(L"twelve"));
  ReadBack(*bag.Get(), L"Caption", VT_I4, &hr);
  EXPECT_EQ(hr, DISP_E_TYPEMISMATCH);
  const Variant missing = ReadBack(*bag.Get(), L"PictureArr", VT_EMPTY, &hr);
  EXPECT_EQ(hr, E_INVALIDARG);
  EXPECT_EQ(missing.vt(), VT_EMPTY);

  bag->FailRead(L"captionpaddingx", E_ACCESSDENIED);
  ReadBack(*bag.Get(), L"CaptionPaddingX", VT_I2, &hr);
  EXPECT_EQ(hr, E_ACCESSDENIED);
  bag->FailRead(L"CaptionPaddingX", S_OK);
  ReadBack(*bag.Get(), L"CaptionPaddingX", VT_I2, &hr);
  EXPECT_EQ(hr, S_OK);
  EXPECT_EQ(bag->Reads().size(), 6u);
  EXPECT_EQ(bag->Size(), 2u);
}

TEST_F(ContainerTest, AmbientDispatchAnswersAndForgetsRemovedAmbients) {
  ComPtr<Site> site = Site::Make(box_, kSiteRect, true, L"Label7");
  ComPtr<IDispatch> ambients = AmbientDispatch(*site.Get());
  ASSERT_TRUE(ambients);
  Variant value;

  ASSERT_HRESULT_SUCCEEDED(GetAmbient(*ambients.Get(), DISPID_AMBIENT_USERMODE, value));
  EXPECT_EQ(value.vt(), VT_BOOL);
  EXPECT_EQ(value->boolVal, VARIANT_TRUE);
  ASSERT_HRESULT_SUCCEEDED(GetAmbient(*ambients.Get(), DISPID_AMBIENT_DISPLAYNAME, value));
  EXPECT_EQ(value.ToString(), L"Label7");
  ASSERT_HRESULT_SUCCEEDED(GetAmbient(*ambients.Get(), DISPID_AMBIENT_MESSAGEREFLECT, value));
  EXPECT_FALSE(value.ToBool());
  ASSERT_HRESULT_SUCCEEDED(GetAmbient(*ambients.Get(), DISPID_AMBIENT_FONT, value));
  ASSERT_EQ(value.vt(), VT_DISPATCH);
  ComPtr<IFont> font;
  ASSERT_HRESULT_SUCCEEDED(value->pdispVal->QueryInterface(IID_IFont, reinterpret_cast<void**>(font.GetAddressOf())));
  UniqueBstr face;
  ASSERT_HRESULT_SUCCEEDED(font->get_Name(face.put()));
  EXPECT_STREQ(face.get(), L"Tahoma");

  site->GetAmbients().SetBackColor(0x000080FF);
  ASSERT_HRESULT_SUCCEEDED(GetAmbient(*ambients.Get(), DISPID_AMBIENT_BACKCOLOR, value));
  EXPECT_EQ(value.ToLong(), 0x000080FF);

  site->GetAmbients().Remove(DISPID_AMBIENT_USERMODE);
  EXPECT_EQ(GetAmbient(*ambients.Get(), DISPID_AMBIENT_USERMODE, value), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(GetAmbient(*ambients.Get(), DISPID_AMBIENT_PALETTE, value), DISP_E_MEMBERNOTFOUND);

  DISPID id = 0;
  LPOLESTR name = const_cast<LPOLESTR>(L"usermode");
  EXPECT_HRESULT_SUCCEEDED(ambients->GetIDsOfNames(IID_NULL, &name, 1, 0, &id));
  EXPECT_EQ(id, DISPID_AMBIENT_USERMODE);
  // Without a control there is nobody to tell.
  EXPECT_EQ(site->GetAmbients().Changed(DISPID_AMBIENT_BACKCOLOR), E_UNEXPECTED);
  EXPECT_EQ(site->CountOf("Invoke"), 7u);
  EXPECT_EQ(site->Calls().front(), "Invoke(-709)");
}

TEST_F(ContainerTest, WindowedSiteRefusesWindowlessInterfaces) {
  ComPtr<Site> windowless = Site::Make(box_, kSiteRect, true);
  ComPtr<Site> windowed = Site::Make(box_, kSiteRect, false);
  ComPtr<IOleInPlaceSiteWindowless> w;
  ComPtr<IOleInPlaceSiteEx> ex;
  ComPtr<IOleInPlaceSite> plain;

  EXPECT_HRESULT_SUCCEEDED(
      windowless->QueryInterface(IID_IOleInPlaceSiteWindowless, reinterpret_cast<void**>(w.GetAddressOf())));
  EXPECT_EQ(
      windowed->QueryInterface(IID_IOleInPlaceSiteWindowless, reinterpret_cast<void**>(w.ReleaseAndGetAddressOf())),
      E_NOINTERFACE);
  EXPECT_EQ(windowed->QueryInterface(IID_IOleInPlaceSiteEx, reinterpret_cast<void**>(ex.GetAddressOf())),
            E_NOINTERFACE);
  EXPECT_HRESULT_SUCCEEDED(
      windowed->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(plain.GetAddressOf())));
  EXPECT_EQ(windowed->CanWindowlessActivate(), S_FALSE);
}

TEST_F(ContainerTest, WindowContextIsTheContainerWindowAndControlRect) {
  ComPtr<Site> site = Site::Make(box_, kSiteRect, true);
  ComPtr<IOleInPlaceFrame> frame;
  ComPtr<IOleInPlaceUIWindow> document;
  RECT position{}, clip{};
  OLEINPLACEFRAMEINFO info{};
  info.cb = sizeof info;
  ASSERT_HRESULT_SUCCEEDED(
      site->GetWindowContext(frame.GetAddressOf(), document.GetAddressOf(), &position, &clip, &info));

  EXPECT_TRUE(EqualRect(&position, &kSiteRect));
  const RECT client = box_.ClientRect();
  EXPECT_TRUE(EqualRect(&clip, &client));
  EXPECT_EQ(info.hwndFrame, box_.Window());
  ASSERT_TRUE(frame);
  HWND frame_window = nullptr;
  frame->GetWindow(&frame_window);
  EXPECT_EQ(frame_window, box_.Window());
  EXPECT_EQ(site->Calls(), (std::vector<std::string>{"GetWindowContext", "Frame::GetWindow"}));
}

TEST_F(ContainerTest, WindowlessDcDrawsOnlyInsideTheControl) {
  ComPtr<Site> site = Site::Make(box_, kSiteRect, true);
  box_.Repaint();
  HDC dc = nullptr;
  ASSERT_HRESULT_SUCCEEDED(site->GetDC(nullptr, 0, &dc));
  HDC second = nullptr;
  EXPECT_EQ(site->GetDC(nullptr, 0, &second), E_FAIL);
  const RECT everything = box_.ClientRect();
  UniqueBrush red(CreateSolidBrush(RGB(255, 0, 0)));
  FillRect(dc, &everything, red.get());
  EXPECT_EQ(site->ReleaseDC(reinterpret_cast<HDC>(0x1234)), E_INVALIDARG);
  EXPECT_HRESULT_SUCCEEDED(site->ReleaseDC(dc));
  EXPECT_FALSE(site->HasOpenDc());

  const RECT area{kSiteRect.left - 10, kSiteRect.top - 10, kSiteRect.right + 10, kSiteRect.bottom + 10};
  const Image image = box_.Capture(area);
  EXPECT_EQ(Mismatches(image, {area.left, area.top},
                       [](int x, int y) {
                         const POINT point{x, y};
                         return PtInRect(&kSiteRect, point) ? ToPixel(RGB(255, 0, 0)) : Container::BackgroundAt(x, y);
                       }),
            0);
}

TEST_F(ContainerTest, InvalidateRectWithoutRectInvalidatesTheControl) {
  ComPtr<Site> site = Site::Make(box_, kSiteRect, true);
  box_.Repaint();
  ASSERT_HRESULT_SUCCEEDED(site->InvalidateRect(nullptr, FALSE));
  RECT update{};
  ASSERT_TRUE(GetUpdateRect(box_.Window(), &update, FALSE));
  EXPECT_TRUE(EqualRect(&update, &kSiteRect));
}

TEST_F(ContainerTest, PaintBackgroundDcComesWithTheCheckerboardBeneath) {
  ComPtr<Site> site = Site::Make(box_, kSiteRect, true);
  box_.Repaint();
  HDC dc = nullptr;
  ASSERT_HRESULT_SUCCEEDED(site->GetDC(nullptr, 0, &dc));
  UniqueBrush red(CreateSolidBrush(RGB(255, 0, 0)));
  FillRect(dc, &kSiteRect, red.get());
  site->ReleaseDC(dc);

  const RECT inner{kSiteRect.left + 4, kSiteRect.top + 4, kSiteRect.right - 4, kSiteRect.bottom - 4};
  ASSERT_HRESULT_SUCCEEDED(site->GetDC(&inner, OLEDC_PAINTBKGND, &dc));
  site->ReleaseDC(dc);
  const Image image = box_.Capture(kSiteRect);
  EXPECT_EQ(Mismatches(image, {kSiteRect.left, kSiteRect.top},
                       [&](int x, int y) {
                         const POINT point{x, y};
                         return PtInRect(&inner, point) ? Container::BackgroundAt(x, y) : ToPixel(RGB(255, 0, 0));
                       }),
            0);
}

TEST_F(ContainerTest, RegionAndScrollRequestsInvalidateTheContainer) {
  ComPtr<Site> site = Site::Make(box_, kSiteRect, true);
  box_.Repaint();
  UniqueRegion region(CreateRectRgn(10, 12, 30, 40));
  ASSERT_HRESULT_SUCCEEDED(site->InvalidateRgn(region.get(), FALSE));
  RECT update{};
  ASSERT_TRUE(GetUpdateRect(box_.Window(), &update, FALSE));
  EXPECT_EQ(update.left, 10);
  EXPECT_EQ(update.bottom, 40);

  box_.Repaint();
  const RECT scroll{50, 40, 100, 90};
  const RECT clip{60, 0, 400, 300};
  ASSERT_HRESULT_SUCCEEDED(site->ScrollRect(0, 5, &scroll, &clip));
  ASSERT_TRUE(GetUpdateRect(box_.Window(), &update, FALSE));
  const RECT expected{60, 40, 100, 90};
  EXPECT_TRUE(EqualRect(&update, &expected));
}

TEST_F(ContainerTest, PropertyBagRejectsInjectedWritesAndKeepsTheOldValue) {
  ComPtr<PropertyBag> bag = PropertyBag::Make();
  bag->Set(L"BorderWidth", Variant::Short(2));
  bag->FailWrite(L"borderwidth", STG_E_MEDIUMFULL);
  Variant three = Variant::Short(3);
  EXPECT_EQ(bag->Write(L"BorderWidth", three.get()), STG_E_MEDIUMFULL);
  EXPECT_EQ(bag->Get(L"BorderWidth")->ToLong(), 2);
  EXPECT_EQ(bag->Writes(), std::vector<std::wstring>{L"BorderWidth"});

  short four = 4;
  VARIANT by_reference{};
  by_reference.vt = VT_BYREF | VT_I2;
  by_reference.piVal = &four;
  EXPECT_HRESULT_SUCCEEDED(bag->Write(L"BorderColor", &by_reference));
  four = 5;
  const std::optional<Variant> stored = bag->Get(L"BorderColor");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->vt(), VT_I2);
  EXPECT_EQ(stored->ToLong(), 4);
}

TEST_F(ContainerTest, RecordersReportWhatCannotBeConnected) {
  ComPtr<PropertyBag> no_connection_points = PropertyBag::Make();
  EventRecorder events;
  PropertyNotifyRecorder changes;
  EXPECT_EQ(events.Connect(no_connection_points.Get()), E_NOINTERFACE);
  EXPECT_EQ(changes.Connect(nullptr), E_POINTER);

  VARIANT args[3]{};
  long hdc = 1, x = 2, y = 3;
  for (VARIANT* arg : {&args[0], &args[1], &args[2]}) arg->vt = VT_BYREF | VT_I4;
  args[2].plVal = &hdc;
  args[1].plVal = &x;
  args[0].plVal = &y;
  DISPPARAMS params{args, nullptr, 3, 0};
  EXPECT_EQ(EventArg(params, 0).plVal, &hdc);
  EXPECT_EQ(EventArg(params, 2).plVal, &y);
}

TEST_F(ContainerTest, SiteTracksCaptureAndFocus) {
  ComPtr<Site> site = Site::Make(box_, kSiteRect, true);
  EXPECT_EQ(site->GetCapture(), S_FALSE);
  ASSERT_HRESULT_SUCCEEDED(site->SetCapture(TRUE));
  EXPECT_EQ(site->GetCapture(), S_OK);
  EXPECT_EQ(::GetCapture(), box_.Window());
  ASSERT_HRESULT_SUCCEEDED(site->SetCapture(FALSE));
  EXPECT_EQ(site->GetCapture(), S_FALSE);
  EXPECT_EQ(::GetCapture(), nullptr);

  ASSERT_HRESULT_SUCCEEDED(site->SetFocus(TRUE));
  EXPECT_EQ(site->GetFocus(), S_OK);
  EXPECT_EQ(::GetFocus(), box_.Window());
  ASSERT_HRESULT_SUCCEEDED(site->SetFocus(FALSE));
  EXPECT_EQ(site->GetFocus(), S_FALSE);
  EXPECT_EQ(site->Calls(),
            (std::vector<std::string>{"GetCapture", "SetCapture(1)", "GetCapture", "SetCapture(0)", "GetCapture",
                                      "SetFocus(1)", "GetFocus", "SetFocus(0)", "GetFocus"}));
}

TEST_F(ContainerTest, DefaultWindowMessagesAndCoordinatesGoThroughTheContainer) {
  ComPtr<Site> site = Site::Make(box_, kSiteRect, true);
  LRESULT result = 0;
  ASSERT_HRESULT_SUCCEEDED(site->OnDefWindowMessage(WM_GETTEXTLENGTH, 0, 0, &result));
  EXPECT_EQ(result, GetWindowTextLengthW(box_.Window()));
  EXPECT_GT(result, 0);

  const int dpi = GetDeviceCaps(WindowDc(nullptr).get(), LOGPIXELSX);
  POINTL himetric{2540, 0};
  POINTF pixels{};
  ASSERT_HRESULT_SUCCEEDED(
      site->TransformCoords(&himetric, &pixels, XFORMCOORDS_SIZE | XFORMCOORDS_HIMETRICTOCONTAINER));
  EXPECT_FLOAT_EQ(pixels.x, static_cast<float>(dpi));
  pixels = {static_cast<float>(dpi) / 2, 0};
  ASSERT_HRESULT_SUCCEEDED(
      site->TransformCoords(&himetric, &pixels, XFORMCOORDS_POSITION | XFORMCOORDS_CONTAINERTOHIMETRIC));
  EXPECT_EQ(himetric.x, 1270);
}

TEST(HostedControlTest, HostsControlWindowless) {
  Library library;
  {
    Container box(library);
    const RECT rect{60, 50, 220, 130};
    HostedControl& control = box.Add(rect);
    EventRecorder events;
    PropertyNotifyRecorder changes;
    ASSERT_HRESULT_SUCCEEDED(events.Connect(control.Unknown()));
    ASSERT_HRESULT_SUCCEEDED(changes.Connect(control.Unknown()));
    ASSERT_HRESULT_SUCCEEDED(control.LoadResult());
    ASSERT_TRUE(control.Cardel());

    const Site& site = control.GetSite();
    EXPECT_TRUE(site.InPlaceActive());
    EXPECT_TRUE(site.Windowless());
    EXPECT_EQ(control.OwnWindow(), nullptr);
    EXPECT_EQ(std::count(site.Calls().begin(), site.Calls().end(), "OnInPlaceActivateEx(1)"), 1);

    EXPECT_HRESULT_SUCCEEDED(control.Ambient().Changed(DISPID_AMBIENT_USERMODE));

    box.Repaint();
    EXPECT_HRESULT_SUCCEEDED(control.LastDrawResult());
    const std::vector<DISPID> painted = events.Ids();
    const auto pre = std::find(painted.begin(), painted.end(), event_id::PrePaint);
    EXPECT_NE(pre, painted.end());
    EXPECT_NE(std::find(pre, painted.end(), event_id::PostPaint), painted.end());

    // A new control fills itself with the ambient background colour; the caption sits in the middle.
    const Image image = box.Capture({rect.left - 4, rect.top - 4, rect.left + 4, rect.top + 4});
    EXPECT_EQ(image.At(1, 1), Container::BackgroundAt(rect.left - 3, rect.top - 3));
    EXPECT_EQ(image.At(6, 6), ToPixel(GetSysColor(COLOR_BTNFACE)));

    events.Disconnect();
    changes.Disconnect();
    box.Remove(control);
  }
  EXPECT_EQ(library.DllCanUnloadNow(), S_OK);
}

}  // namespace
}  // namespace cardel::host
