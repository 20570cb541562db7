// The control's picture members as a client uses them: loading from a file and from an array, the
// failures that remove the picture and those that leave it alone, notifications, and the saved form.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "common/automation_handles.h"
#include "common/gdiplus_session.h"
#include "container.h"
#include "library.h"
#include "ole/errors.h"
#include "property_bag.h"
#include "test_hooks_door.h"
#include "recorders.h"
#include "test_pictures.h"

namespace cardel::host {
namespace {

using ole::AutomationHresult;
using ole::RuntimeError;
using testpictures::EncodeBitmap;

constexpr DISPID kPictureExist = 0x68030016;
constexpr RECT kRect{20, 20, 140, 100};

struct DestroyArray {
  void operator()(SAFEARRAY* a) const { SafeArrayDestroy(a); }
};
using Array = std::unique_ptr<SAFEARRAY, DestroyArray>;

Array MakeArray(const std::vector<uint8_t>& bytes, LONG lowerBound = 0) {
  SAFEARRAYBOUND bound{static_cast<ULONG>(bytes.size()), lowerBound};
  Array a(SafeArrayCreate(VT_UI1, 1, &bound));
  if (!bytes.empty()) memcpy(a->pvData, bytes.data(), bytes.size());
  return a;
}

std::vector<uint8_t> Contents(SAFEARRAY* a) {
  const auto* data = static_cast<const uint8_t*>(a->pvData);
  return {data, data + a->rgsabound[0].cElements};
}

uint32_t Checks(int x, int y) { return (x / 4 + y / 4) % 2 ? 0xFF2040C0u : 0x80FFFFFFu; }

class PictureControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    control_ = &box_.Add(kRect);
    cardel_ = control_->Cardel();
    ASSERT_TRUE(cardel_);
    ASSERT_HRESULT_SUCCEEDED(changes_.Connect(control_->Unknown()));
    ASSERT_HRESULT_SUCCEEDED(events_.Connect(control_->Unknown()));
    box_.Repaint();
  }
  void TearDown() override {
    changes_.Disconnect();
    events_.Disconnect();
  }

  VARIANT_BOOL FromArray(SAFEARRAY* array) {
    SAFEARRAY* passed = array;
    VARIANT_BOOL result = 1;
    EXPECT_EQ(cardel_->PictureFromStream(&passed, &result), S_OK);
    EXPECT_EQ(passed, array);
    return result;
  }
  VARIANT_BOOL FromBytes(const std::vector<uint8_t>& bytes) {
    Array a = MakeArray(bytes);
    return FromArray(a.get());
  }
  HRESULT FromPath(const std::wstring& path, VARIANT_BOOL* result) {
    const UniqueBstr owned(SysAllocStringLen(path.data(), static_cast<UINT>(path.size())));
    BSTR name = owned.get();
    return cardel_->PictureFromPath(&name, result);
  }
  std::vector<uint8_t> Stream() {
    SAFEARRAY* out = nullptr;
    EXPECT_EQ(cardel_->PictureGetStream(&out), S_OK);
    Array owned(out);
    EXPECT_EQ(out->cDims, 1);
    EXPECT_EQ(out->rgsabound[0].lLbound, 0);
    return Contents(out);
  }
  VARIANT_BOOL Exists() {
    VARIANT_BOOL v = 1;
    cardel_->get_PictureExist(&v);
    return v;
  }
  std::pair<LONG, LONG> Size() {
    LONG w = -1, h = -1;
    cardel_->get_PictureGetWidth(&w);
    cardel_->get_PictureGetHeight(&h);
    return {w, h};
  }

  gdip::Session gdiplus_;
  Library library_;
  Container box_{library_};
  HostedControl* control_ = nullptr;
  ComPtr<_ucCardel> cardel_;
  PropertyNotifyRecorder changes_;
  EventRecorder events_;
  testpictures::TempFolder folder_;
  const std::vector<uint8_t> png_ = EncodeBitmap(30, 20, Checks, L"image/png");
};

TEST_F(PictureControlTest, EachFormatLoadsFromAFileWithItsSizeAndExactBytes) {
  const struct {
    const wchar_t* name;
    std::vector<uint8_t> bytes;
    LONG width, height;
  } files[] = {
      {L"a.png", png_, 30, 20},
      {L"b.jpg", EncodeBitmap(41, 13, Checks, L"image/jpeg"), 41, 13},
      {L"c.gif", testpictures::MakeGif(8, 24, {0, 0xFFFFFF, 0xFF, 0xFF00}, [](int x, int) { return x; }), 8, 24},
      {L"d.bmp", EncodeBitmap(3, 5, Checks, L"image/bmp"), 3, 5},
      {L"e.ico", testpictures::MakeIco(32, 32, 0xC0FF8000), 32, 32},
  };
  for (const auto& f : files) {
    VARIANT_BOOL result = 0;
    ASSERT_EQ(FromPath(folder_.Write(f.name, f.bytes), &result), S_OK);
    EXPECT_EQ(result, VARIANT_TRUE) << f.name;
    EXPECT_EQ(Exists(), VARIANT_TRUE);
    EXPECT_EQ(Size(), std::make_pair(f.width, f.height)) << f.name;
    EXPECT_EQ(Stream(), f.bytes) << f.name;
  }
}

TEST_F(PictureControlTest, AUnicodePathLoads) {
  VARIANT_BOOL result = 0;
  ASSERT_EQ(FromPath(folder_.Write(L"\u5199\u771f \u00e9t\u00e9.png", png_), &result), S_OK);
  EXPECT_EQ(result, VARIANT_TRUE);
}

TEST_F(PictureControlTest, InputThatIsNoPictureRemovesItButKeepsTheLastSize) {
  const std::string text = "plain text, no picture";
  std::vector<uint8_t> truncated(png_.begin(), png_.end() - 20);
  SAFEARRAYBOUND square[2]{{4, 0}, {4, 0}};
  Array twoDimensions(SafeArrayCreate(VT_UI1, 2, square));
  Array arrays[] = {
      MakeArray({text.begin(), text.end()}), MakeArray(truncated), MakeArray(png_, 1), std::move(twoDimensions),
      Array(nullptr), MakeArray({}),
  };
  for (Array& array : arrays) {
    ASSERT_EQ(FromBytes(png_), VARIANT_TRUE);
    const std::vector<uint8_t> before = array && array->cDims == 1 ? Contents(array.get()) : std::vector<uint8_t>{};
    EXPECT_EQ(FromArray(array.get()), VARIANT_FALSE);
    EXPECT_EQ(Exists(), VARIANT_FALSE);
    EXPECT_TRUE(Stream().empty());
    EXPECT_EQ(Size(), std::make_pair(30L, 20L));
    if (array && array->cDims == 1) {
      EXPECT_EQ(Contents(array.get()), before);
    }
  }
}

TEST_F(PictureControlTest, TheCallersArrayIsCopiedNotFollowed) {
  Array array = MakeArray(png_);
  ASSERT_EQ(FromArray(array.get()), VARIANT_TRUE);
  static_cast<uint8_t*>(array->pvData)[0] = 0;
  EXPECT_EQ(Stream(), png_);
}

// The picture's own properties reshape what is drawn from the decoded image; only a new picture decodes.
TEST_F(PictureControlTest, APictureIsDecodedOnceOverItsPropertyChanges) {
  const LONG before = host::PictureDecodesOf(cardel_.Get());
  const auto decodes = [&] { return host::PictureDecodesOf(cardel_.Get()) - before; };
  ASSERT_EQ(FromBytes(png_), VARIANT_TRUE);
  box_.Repaint();
  EXPECT_EQ(decodes(), 1);
  const std::function<HRESULT()> changes[] = {
      [&] { return cardel_->put_PictureGrayScale(VARIANT_TRUE); },
      [&] { return cardel_->put_PictureShadow(VARIANT_TRUE); },
      [&] { return cardel_->put_PictureAngle(30); },
      [&] { return cardel_->put_PictureColorize(VARIANT_TRUE); },
      [&] { return cardel_->put_PictureSetWidth(25); },
      [&] { return cardel_->put_PictureSetHeight(15); },
      [&] { return cardel_->put_PictureAlignmentH(static_cast<PictureAlignmentH>(1)); },
      [&] { return cardel_->put_PictureContrast(20); },
  };
  for (const auto& change : changes) {
    ASSERT_HRESULT_SUCCEEDED(change());
    box_.Repaint();
  }
  EXPECT_EQ(decodes(), 1);
  ASSERT_EQ(FromBytes(png_), VARIANT_TRUE);
  box_.Repaint();
  EXPECT_EQ(decodes(), 2);
}

TEST_F(PictureControlTest, EveryChangeOfPictureNotifiesAndRepaints) {
  const auto expectNotifiedAndPainted = [&](const char* what) {
    EXPECT_EQ(changes_.Changed(), (std::vector<DISPID>{kPictureExist, DISPID_UNKNOWN})) << what;
    EXPECT_EQ(events_.Count(event_id::PrePaint), 1u) << what;
    changes_.Clear();
    events_.Clear();
  };
  changes_.Clear();
  events_.Clear();
  VARIANT deleted;
  VariantInit(&deleted);
  V_VT(&deleted) = VT_I4;
  ASSERT_EQ(cardel_->PictureDelete(&deleted), S_OK);
  EXPECT_EQ(V_VT(&deleted), VT_EMPTY);
  expectNotifiedAndPainted("delete without a picture");
  FromBytes(png_);
  expectNotifiedAndPainted("loaded");
  FromBytes({1, 2, 3});
  expectNotifiedAndPainted("failed");
  VARIANT_BOOL result = 0;
  FromPath(folder_.Write(L"p.png", png_), &result);
  expectNotifiedAndPainted("from a file");
  cardel_->PictureDelete(&deleted);
  expectNotifiedAndPainted("deleted");
  EXPECT_EQ(Exists(), VARIANT_FALSE);
  EXPECT_EQ(Size(), std::make_pair(30L, 20L));
  EXPECT_TRUE(Stream().empty());
}

TEST_F(PictureControlTest, FileErrorsReachTheCallerAndChangeNothing) {
  ASSERT_EQ(FromBytes(png_), VARIANT_TRUE);
  changes_.Clear();
  const struct {
    std::wstring path;
    RuntimeError error;
    const wchar_t* text;
  } cases[] = {
      {folder_.Path() + L"\\missing.png", RuntimeError::FileNotFound, L"File not found"},
      {folder_.Path(), RuntimeError::PathFileAccessError, L"Path/File access error"},
      {folder_.Write(L"empty.png", {}), RuntimeError::SubscriptOutOfRange, L"Subscript out of range"},
  };
  for (const auto& c : cases) {
    SetErrorInfo(0, nullptr);
    VARIANT_BOOL result = 7;
    EXPECT_EQ(FromPath(c.path, &result), AutomationHresult(c.error));
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
    UniqueBstr description;
    info->GetDescription(description.put());
    EXPECT_STREQ(description.get(), c.text);
    EXPECT_EQ(result, 7);
    EXPECT_EQ(Exists(), VARIANT_TRUE);
    EXPECT_EQ(Stream(), png_);
  }
  EXPECT_TRUE(changes_.Changed().empty());
  EXPECT_EQ(GetFileAttributesW((folder_.Path() + L"\\missing.png").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PictureControlTest, NullArgumentsAreRefused) {
  VARIANT_BOOL result = 0;
  SAFEARRAY* none = nullptr;
  EXPECT_EQ(cardel_->PictureFromStream(nullptr, &result), E_POINTER);
  EXPECT_EQ(cardel_->PictureFromStream(&none, nullptr), E_POINTER);
  EXPECT_EQ(cardel_->PictureFromPath(nullptr, &result), E_POINTER);
  EXPECT_EQ(cardel_->PictureGetStream(nullptr), E_POINTER);
  EXPECT_EQ(cardel_->PictureDelete(nullptr), E_POINTER);
  BSTR empty = nullptr;
  EXPECT_EQ(cardel_->PictureFromPath(&empty, &result), AutomationHresult(RuntimeError::PathFileAccessError));
}

TEST_F(PictureControlTest, TheSavedFormKeepsThePicture) {
  ASSERT_EQ(FromBytes(png_), VARIANT_TRUE);
  ComPtr<PropertyBag> bag = PropertyBag::Make();
  ASSERT_HRESULT_SUCCEEDED(control_->Save(*bag.Get()));
  HostedControl& copy = box_.Add({150, 20, 260, 100}, ControlOptions{.load_from = bag.Get()});
  ASSERT_HRESULT_SUCCEEDED(copy.LoadResult());
  ComPtr<_ucCardel> loaded = copy.Cardel();
  VARIANT_BOOL exists = 0;
  loaded->get_PictureExist(&exists);
  EXPECT_EQ(exists, VARIANT_TRUE);
  LONG width = 0;
  loaded->get_PictureGetWidth(&width);
  EXPECT_EQ(width, 30);
  SAFEARRAY* out = nullptr;
  ASSERT_EQ(loaded->PictureGetStream(&out), S_OK);
  Array owned(out);
  EXPECT_EQ(Contents(out), png_);
}

TEST_F(PictureControlTest, ASavedFormWhosePictureDoesNotDecodeHasNone) {
  ComPtr<PropertyBag> bag = PropertyBag::Make();
  bag->Set(L"PicturePresent", Variant::Bool(true));
  const std::vector<uint8_t> truncated(png_.begin(), png_.begin() + 40);
  bag->Set(L"PictureArr", Variant::Bytes(truncated));
  HostedControl& copy = box_.Add({150, 20, 260, 100}, ControlOptions{.load_from = bag.Get()});
  ASSERT_HRESULT_SUCCEEDED(copy.LoadResult());
  VARIANT_BOOL exists = 1;
  copy.Cardel()->get_PictureExist(&exists);
  EXPECT_EQ(exists, VARIANT_FALSE);
  SAFEARRAY* out = nullptr;
  ASSERT_EQ(copy.Cardel()->PictureGetStream(&out), S_OK);
  Array owned(out);
  EXPECT_EQ(out->rgsabound[0].cElements, 0u);
}

TEST_F(PictureControlTest, AHugeClaimedSizeNeitherCrashesNorHangsTheHost) {
  const DWORD start = GetTickCount();
  FromBytes(testpictures::MakePngClaiming(40000, 40000));
  box_.Repaint();
  EXPECT_HRESULT_SUCCEEDED(control_->LastDrawResult());
  EXPECT_LT(GetTickCount() - start, 5000u);
}

}  // namespace
}  // namespace cardel::host
