// The "Picture" page as a property frame drives it: what it loads from the selection, what Apply copies
// back, and the buttons that change the preview and the page's changed flag.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/gdiplus_session.h"
#include "page_driver.h"
#include "proppage/page_layout.h"
#include "test_pictures.h"

namespace cardel::host {
namespace {

using namespace proppage;

// Noise, so that the PNG is well over a thousand bytes and its size shows a thousands separator.
std::vector<uint8_t> NoisyPng() {
  return testpictures::EncodeBitmap(
      64, 32, [](int x, int y) { return 0xFF000000u | ((x * 7919u + y * 104729u) * 2654435761u >> 8); }, L"image/png");
}

std::wstring Grouped(size_t n) {
  wchar_t separator[8] = L",";
  GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, separator, ARRAYSIZE(separator));
  std::wstring digits = std::to_wstring(n);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(at, separator);
  return digits;
}

bool HasPicture(_ucCardel* control) {
  VARIANT_BOOL exists = VARIANT_FALSE;
  control->get_PictureExist(&exists);
  return exists != VARIANT_FALSE;
}

class PicturePageTest : public ::testing::Test {
 protected:
  gdip::Session gdiplus_;
  Library library_;
  std::vector<uint8_t> png_ = NoisyPng();
  ComPtr<_ucCardel> withPicture_ = NewControl(library_);
  ComPtr<_ucCardel> plain_ = NewControl(library_);
  PageDriver driver_{library_};

  void SetUp() override {
    ASSERT_GT(png_.size(), 1000u);
    EXPECT_HRESULT_SUCCEEDED(SetCaption(withPicture_.Get(), L"First"));
    SetPicture(withPicture_.Get(), png_);
    EXPECT_HRESULT_SUCCEEDED(SetCaption(plain_.Get(), L"Second"));
  }
  bool DeleteEnabled() const { return IsWindowEnabled(driver_.Child(kDeleteId)); }
};

TEST_F(PicturePageTest, LoadsAndAppliesOnlyTheFirstSelectedControl) {
  ASSERT_HRESULT_SUCCEEDED(driver_.Select({withPicture_.Get(), plain_.Get()}));
  EXPECT_EQ(driver_.Text(driver_.CaptionEdit()), L"First");
  EXPECT_EQ(driver_.Text(driver_.Child(kInfoId)), L"File Size: " + Grouped(png_.size()) + L" Bytes, Dimensions: 64x32");
  EXPECT_TRUE(DeleteEnabled());
  EXPECT_EQ(driver_.page()->IsPageDirty(), S_FALSE);

  SetWindowTextW(driver_.CaptionEdit(), L"Zeile eins\r\nline two \u03A9");
  EXPECT_HRESULT_SUCCEEDED(SetCaption(withPicture_.Get(), L"changed meanwhile"));
  ASSERT_HRESULT_SUCCEEDED(driver_.page()->Apply());
  EXPECT_EQ(CaptionOf(withPicture_.Get()), L"Zeile eins\r\nline two \u03A9");
  EXPECT_EQ(PictureOf(withPicture_.Get()), png_);
  EXPECT_EQ(CaptionOf(plain_.Get()), L"Second");
  EXPECT_FALSE(HasPicture(plain_.Get()));

  // A selection without a picture empties the info line but leaves "Eliminar" as it was.
  ASSERT_HRESULT_SUCCEEDED(driver_.Select({plain_.Get()}));
  EXPECT_EQ(driver_.Text(driver_.Child(kInfoId)), L"");
  EXPECT_EQ(driver_.Text(driver_.CaptionEdit()), L"Second");
  EXPECT_TRUE(DeleteEnabled());
}

TEST_F(PicturePageTest, DeleteThenApplyRemovesThePictureAndSetsTheEditedCaption) {
  ASSERT_HRESULT_SUCCEEDED(driver_.Select({withPicture_.Get()}));
  driver_.Press(kDeleteId);
  EXPECT_FALSE(DeleteEnabled());
  ASSERT_FALSE(driver_.site().statusChanges.empty());
  EXPECT_TRUE(driver_.site().statusChanges.back() & PROPPAGESTATUS_DIRTY);
  EXPECT_EQ(driver_.page()->IsPageDirty(), S_OK);

  SetWindowTextW(driver_.CaptionEdit(), L"Edited");
  ASSERT_HRESULT_SUCCEEDED(driver_.page()->Apply());
  EXPECT_FALSE(HasPicture(withPicture_.Get()));
  EXPECT_EQ(CaptionOf(withPicture_.Get()), L"Edited");
  EXPECT_EQ(driver_.page()->IsPageDirty(), S_FALSE);
}

TEST_F(PicturePageTest, BrowseLoadsTheChosenFileAndCancellingChangesNothing) {
  ASSERT_HRESULT_SUCCEEDED(driver_.Select({plain_.Get()}));
  driver_.Press(kBrowseId);
  EXPECT_TRUE(driver_.site().statusChanges.empty());
  EXPECT_EQ(driver_.page()->IsPageDirty(), S_FALSE);
  EXPECT_FALSE(DeleteEnabled());

  testpictures::TempFolder folder;
  driver_.site().choice = folder.Write(L"Bild \u03A9\u4E2D.png", png_);
  driver_.Press(kBrowseId);
  EXPECT_TRUE(DeleteEnabled());
  EXPECT_EQ(driver_.page()->IsPageDirty(), S_OK);
  ASSERT_HRESULT_SUCCEEDED(driver_.page()->Apply());
  EXPECT_EQ(PictureOf(plain_.Get()), png_);
}

TEST_F(PicturePageTest, HostsThePreviewInItsWindowAndTearsBothDownOnDeactivate) {
  PROPPAGEINFO info{};
  ASSERT_HRESULT_SUCCEEDED(driver_.page()->GetPageInfo(&info));
  EXPECT_STREQ(info.pszTitle, L"Picture");
  CoTaskMemFree(info.pszTitle);
  ASSERT_NE(driver_.Child(kBrowseId), nullptr);
  EXPECT_NE(FindWindowExW(GetParent(driver_.Child(kBrowseId)), nullptr, L"VelmarCardelControl", nullptr), nullptr);
  ASSERT_HRESULT_SUCCEEDED(driver_.page()->Deactivate());
  EXPECT_EQ(driver_.Child(kBrowseId), nullptr);
}

}  // namespace
}  // namespace cardel::host
