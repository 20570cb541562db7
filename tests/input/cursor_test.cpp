// Cursors: the pointer the container shows over the control, the custom icon, and the hand cursor
// with the handles it owns.
#include <olectl.h>

#include <gtest/gtest.h>

#include "cursor_images.h"
#include "input_fixture.h"
#include "property_bag.h"

namespace cardel::host {
namespace {

constexpr DISPID kMousePointerHands = 0x68030009;

HCURSOR SystemCursor(LPCWSTR id) { return LoadCursorW(nullptr, id); }

ComPtr<IPictureDisp> IconPicture(HICON icon) {
  PICTDESC description{};
  description.cbSizeofstruct = sizeof(description);
  description.picType = PICTYPE_ICON;
  description.icon.hicon = icon;
  ComPtr<IPictureDisp> picture;
  EXPECT_HRESULT_SUCCEEDED(
      OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE, reinterpret_cast<void**>(picture.GetAddressOf())));
  return picture;
}

HCURSOR HandleOf(IPictureDisp* picture) {
  ComPtr<IPicture> p;
  if (!picture || FAILED(picture->QueryInterface(IID_PPV_ARGS(&p)))) return nullptr;
  OLE_HANDLE handle = 0;
  p->get_Handle(&handle);
  return reinterpret_cast<HCURSOR>(static_cast<UINT_PTR>(handle));
}

class CursorTest : public InputFixture {
 protected:
  // What a container does when the pointer moves over the control: it lets the control choose.
  HCURSOR CursorShownOver() {
    SetCursor(SystemCursor(IDC_NO));
    SendMessageW(box_.Window(), WM_SETCURSOR, reinterpret_cast<WPARAM>(box_.Window()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
  }
  short MousePointer() {
    eMousePointer value{};
    EXPECT_HRESULT_SUCCEEDED(cardel_->get_MousePointer(&value));
    return static_cast<short>(value);
  }
  ComPtr<IPictureDisp> MouseIcon() {
    ComPtr<IPictureDisp> icon;
    EXPECT_HRESULT_SUCCEEDED(cardel_->get_MouseIcon(&icon));
    return icon;
  }
  // The cursor on screen when the MouseDown handler ran.
  HCURSOR CursorDuringMouseDown() {
    HCURSOR seen = nullptr;
    events_.SetHandler([&](DISPID id, DISPPARAMS*) {
      if (id == event_id::MouseDown) seen = GetCursor();
    });
    SetCursor(SystemCursor(IDC_ARROW));
    box_.SendMouse(WM_LBUTTONDOWN, kInside, MK_LBUTTON);
    box_.SendMouse(WM_LBUTTONUP, kInside);
    events_.SetHandler(nullptr);
    return seen;
  }
  void SetUp() override {
    InputFixture::SetUp();
    PointerTo(kInside);
    ASSERT_TRUE(PumpUntilPointerArrived(kInside));
  }
};

TEST_F(CursorTest, StandardPointersAreShownOverTheControl) {
  const std::pair<short, LPCWSTR> shapes[] = {
      {1, IDC_ARROW},      {2, IDC_CROSS},    {3, IDC_IBEAM},       {5, IDC_SIZEALL},   {6, IDC_SIZENESW},
      {7, IDC_SIZENS},     {8, IDC_SIZENWSE}, {9, IDC_SIZEWE},      {10, IDC_UPARROW},  {11, IDC_WAIT},
      {12, IDC_NO},        {13, IDC_APPSTARTING}, {14, IDC_HELP},   {15, IDC_SIZEALL},
  };
  for (const auto& [pointer, id] : shapes) {
    ASSERT_HRESULT_SUCCEEDED(cardel_->put_MousePointer(static_cast<eMousePointer>(pointer)));
    EXPECT_EQ(CursorShownOver(), SystemCursor(id)) << pointer;
  }
}

TEST_F(CursorTest, DefaultPointerLeavesTheChoiceToTheContainer) {
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_MousePointer(static_cast<eMousePointer>(0)));
  // The container's window class has the arrow.
  EXPECT_EQ(CursorShownOver(), SystemCursor(IDC_ARROW));
}

TEST_F(CursorTest, CustomPointerShowsTheMouseIcon) {
  ComPtr<IPictureDisp> icon = IconPicture(CopyIcon(LoadIconW(nullptr, IDI_QUESTION)));
  ASSERT_HRESULT_SUCCEEDED(cardel_->putref_MouseIcon(icon.Get()));
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_MousePointer(static_cast<eMousePointer>(99)));
  EXPECT_EQ(CursorShownOver(), HandleOf(icon.Get()));
}

TEST_F(CursorTest, CustomPointerWithoutIconFallsBackToTheContainer) {
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_MousePointer(static_cast<eMousePointer>(99)));
  EXPECT_EQ(CursorShownOver(), SystemCursor(IDC_ARROW));
}

TEST_F(CursorTest, SystemHandCursorPictureOwnsItsHandle) {
  ComPtr<IPictureDisp> hand;
  ASSERT_EQ(cardel_->GetSystemHandCursor(&hand), S_OK);
  ComPtr<IPicture> picture;
  ASSERT_HRESULT_SUCCEEDED(hand.As(&picture));
  SHORT type = 0;
  picture->get_Type(&type);
  EXPECT_EQ(type, PICTYPE_ICON);
  const HCURSOR handle = HandleOf(hand.Get());
  EXPECT_NE(handle, SystemCursor(IDC_HAND));
  EXPECT_TRUE(SameCursorImage(handle, SystemCursor(IDC_HAND)));
  picture.Reset();
  hand.Reset();
  EXPECT_FALSE(IsLiveCursor(handle));
  EXPECT_TRUE(IsLiveCursor(SystemCursor(IDC_HAND)));
}

TEST_F(CursorTest, HandsInDesignModeTouchNothing) {
  control_->Ambient().SetUserMode(false);
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_MousePointer(static_cast<eMousePointer>(2)));
  changes_.Clear();
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_MousePointerHands(VARIANT_TRUE));
  VARIANT_BOOL hands = 0;
  cardel_->get_MousePointerHands(&hands);
  EXPECT_EQ(hands, VARIANT_TRUE);
  EXPECT_EQ(MousePointer(), 2);
  EXPECT_FALSE(MouseIcon());
  EXPECT_EQ(changes_.Changed(), (std::vector<DISPID>{kMousePointerHands}));
  EXPECT_EQ(CursorDuringMouseDown(), SystemCursor(IDC_ARROW));
}

TEST_F(CursorTest, HandsShowTheHandAtRunTime) {
  changes_.Clear();
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_MousePointerHands(VARIANT_TRUE));
  EXPECT_EQ(MousePointer(), 99);
  ComPtr<IPictureDisp> icon = MouseIcon();
  ASSERT_TRUE(icon);
  EXPECT_TRUE(SameCursorImage(HandleOf(icon.Get()), SystemCursor(IDC_HAND)));
  EXPECT_EQ(CursorShownOver(), HandleOf(icon.Get()));
  // The host's pointer changes without being reported.
  EXPECT_EQ(changes_.Changed(), (std::vector<DISPID>{kMousePointerHands}));
}

TEST_F(CursorTest, HandIsCurrentWhenTheMouseDownHandlerRuns) {
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_MousePointerHands(VARIANT_TRUE));
  const HCURSOR seen = CursorDuringMouseDown();
  EXPECT_NE(seen, SystemCursor(IDC_ARROW));
  EXPECT_TRUE(SameCursorImage(seen, SystemCursor(IDC_HAND)));
}

TEST_F(CursorTest, HandIsCurrentWhenTheMouseMoveHandlerRuns) {
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_MousePointerHands(VARIANT_TRUE));
  HCURSOR seen = nullptr;
  events_.SetHandler([&](DISPID id, DISPPARAMS*) {
    if (id == event_id::MouseMove) seen = GetCursor();
  });
  SetCursor(SystemCursor(IDC_ARROW));
  box_.SendMouse(WM_MOUSEMOVE, kInside);
  EXPECT_TRUE(SameCursorImage(seen, SystemCursor(IDC_HAND)));
}

TEST_F(CursorTest, HandsTrueTwiceDestroysTheFirstCursor) {
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_MousePointerHands(VARIANT_TRUE));
  const HCURSOR first = CursorDuringMouseDown();
  ASSERT_TRUE(IsLiveCursor(first));
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_MousePointerHands(VARIANT_TRUE));
  EXPECT_FALSE(IsLiveCursor(first));
  const HCURSOR second = CursorDuringMouseDown();
  EXPECT_NE(second, first);
  EXPECT_TRUE(SameCursorImage(second, SystemCursor(IDC_HAND)));
}

TEST_F(CursorTest, HandsFalseClearsTheApplicationsPointerAndIcon) {
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_MousePointerHands(VARIANT_TRUE));
  const HCURSOR hand = CursorDuringMouseDown();
  ComPtr<IPictureDisp> custom = IconPicture(CopyIcon(LoadIconW(nullptr, IDI_QUESTION)));
  ASSERT_HRESULT_SUCCEEDED(cardel_->putref_MouseIcon(custom.Get()));
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_MousePointer(static_cast<eMousePointer>(99)));
  for (bool runMode : {true, false}) {
    control_->Ambient().SetUserMode(runMode);
    ASSERT_HRESULT_SUCCEEDED(cardel_->put_MousePointerHands(VARIANT_FALSE));
    EXPECT_EQ(MousePointer(), 0);
    EXPECT_FALSE(MouseIcon());
  }
  EXPECT_FALSE(IsLiveCursor(hand));
  EXPECT_EQ(CursorDuringMouseDown(), SystemCursor(IDC_ARROW));
  EXPECT_TRUE(IsLiveCursor(HandleOf(custom.Get())));
}

TEST_F(CursorTest, SavedHandsApplyWhenLoadedAtRunTimeOnly) {
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_MousePointerHands(VARIANT_TRUE));
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_MousePointer(static_cast<eMousePointer>(0)));
  ASSERT_HRESULT_SUCCEEDED(cardel_->putref_MouseIcon(nullptr));
  ComPtr<PropertyBag> bag = PropertyBag::Make();
  ASSERT_HRESULT_SUCCEEDED(control_->Save(*bag.Get()));
  for (bool runMode : {true, false}) {
    ControlOptions options;
    options.load_from = bag.Get();
    options.ambients = [runMode](Ambients& a) { a.SetUserMode(runMode); };
    HostedControl& loaded = box_.Add(RECT{200, 40, 260, 80}, options);
    ASSERT_HRESULT_SUCCEEDED(loaded.LoadResult());
    eMousePointer pointer{};
    ComPtr<IPictureDisp> icon;
    loaded.Cardel()->get_MousePointer(&pointer);
    loaded.Cardel()->get_MouseIcon(&icon);
    EXPECT_EQ(pointer, runMode ? 99 : 0);
    EXPECT_EQ(static_cast<bool>(icon), runMode);
    box_.Remove(loaded);
  }
}

}  // namespace
}  // namespace cardel::host
