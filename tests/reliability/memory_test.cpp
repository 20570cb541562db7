// Memory that runs out under the control: a paint or a setter that cannot get its buffers answers run-time
// error 7 "Out of memory", and the control works on once memory is back.
#include <windows.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/automation_handles.h"
#include "container.h"
#include "dib_surface.h"
#include "library.h"
#include "test_hooks_door.h"

namespace cardel::host {
namespace {

constexpr HRESULT kOutOfMemory = static_cast<HRESULT>(0x800A0007);
constexpr RECT kRect{10, 10, 330, 230};

std::wstring ErrorDescription() {
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.GetAddressOf()) != S_OK || !info) return {};
  UniqueBstr text;
  info->GetDescription(text.put());
  return text ? text.get() : L"";
}

HRESULT DrawInto(_ucCardel& cardel) {
  const DibSurface canvas(kRect.right, kRect.bottom);
  LONG y = 0;
  return cardel.Draw(static_cast<LONG>(reinterpret_cast<intptr_t>(canvas.Dc())), 0, 0, &y);
}

HRESULT FromStream(_ucCardel& cardel, const std::vector<uint8_t>& bytes) {
  const UniqueSafeArray owned(SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size())));
  std::copy(bytes.begin(), bytes.end(), static_cast<uint8_t*>(owned.get()->pvData));
  SAFEARRAY* array = owned.get();
  VARIANT_BOOL loaded = VARIANT_FALSE;
  return cardel.PictureFromStream(&array, &loaded);
}

// A control whose next paint builds buffers of its own size: a caption shadow.
class MemoryTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_HRESULT_SUCCEEDED(cardel->put_CaptionShadow(VARIANT_TRUE));
    ASSERT_HRESULT_SUCCEEDED(cardel->put_ShadowSize(4));
  }
  Library library;
  Container form{library, {400, 300}};
  HostedControl& control = form.Add(kRect);
  const ComPtr<_ucCardel> cardel = control.Cardel();
};

TEST_F(MemoryTest, RunningOutIsErrorSevenAndTheControlWorksOn) {

  const struct {
    const char* name;
    std::function<HRESULT()> call;
  } cases[] = {
      // A new caption makes the paint build its caption shadow again, in buffers of the control's size.
      {"paint through Draw", [&] { return SetCaption(cardel.Get(), L"Paint"), DrawInto(*cardel.Get()); }},
      {"Caption setter", [&] { return SetCaption(cardel.Get(), std::wstring(40000, L'x')); }},
      // The caller's bytes are copied before they are decoded.
      {"PictureFromStream", [&] { return FromStream(*cardel.Get(), std::vector<uint8_t>(200000)); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    {
      const RefusedAllocations refused(cardel.Get());
      ASSERT_TRUE(refused.On());
      EXPECT_EQ(c.call(), kOutOfMemory);
      EXPECT_EQ(ErrorDescription(), L"Out of memory");
    }
    EXPECT_HRESULT_SUCCEEDED(c.call()) << "memory is back";
    EXPECT_HRESULT_SUCCEEDED(DrawInto(*cardel.Get()));
  }
}

// A container's paint through IViewObject hears an OLE code, with no automation error object left behind.
TEST_F(MemoryTest, AContainersPaintThatRunsOutIsEOutOfMemory) {
  const DibSurface canvas(kRect.right, kRect.bottom);
  const RECTL bounds{0, 0, kRect.right - kRect.left, kRect.bottom - kRect.top};
  const auto paint = [&] {
    return control.Query<IViewObject>()->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.Dc(), &bounds,
                                              nullptr, nullptr, 0);
  };
  {
    const RefusedAllocations refused(cardel.Get());
    ASSERT_TRUE(refused.On());
    SetErrorInfo(0, nullptr);
    SetCaption(cardel.Get(), L"Paint");
    EXPECT_EQ(paint(), E_OUTOFMEMORY);
    EXPECT_EQ(ErrorDescription(), L"");
  }
  EXPECT_EQ(paint(), S_OK) << "memory is back";
}

}  // namespace
}  // namespace cardel::host
