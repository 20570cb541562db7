// A host thread whose other components keep their own values in thread-local slots: among them the
// numbers the library once took for settings, followed by small numbers, addresses of read-only pages
// and addresses of the host's own data. The control behaves exactly as on a thread with empty slots,
// and the host's data stays as it was.
#include <windows.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "common/automation_handles.h"
#include "common/gdiplus_session.h"
#include "container.h"
#include "dib_surface.h"
#include "library.h"
#include "test_hooks_door.h"
#include "test_pictures.h"

namespace cardel::host {
namespace {

using Pairs = std::vector<std::pair<uintptr_t, uintptr_t>>;

// Each pair in two consecutive slots of this thread, the first value in the lower slot, as the library
// once looked for them; the slots are the host's own, taken from the system.
class ForeignSlots {
 public:
  explicit ForeignSlots(const Pairs& pairs) {
    for (DWORD slot = TlsAlloc(); slot != TLS_OUT_OF_INDEXES; slot = TlsAlloc()) {
      taken_.push_back(slot);
      if (slot >= 63) break;
    }
    size_t next = 0;
    for (size_t i = 0; i + 1 < taken_.size() && next < pairs.size(); ++i) {
      if (taken_[i + 1] != taken_[i] + 1) continue;
      TlsSetValue(taken_[i], reinterpret_cast<void*>(pairs[next].first));
      TlsSetValue(taken_[i + 1], reinterpret_cast<void*>(pairs[next].second));
      ++next, ++i;
    }
    placed_ = next;
  }
  ForeignSlots(const ForeignSlots&) = delete;
  ForeignSlots& operator=(const ForeignSlots&) = delete;
  ~ForeignSlots() {
    for (DWORD slot : taken_) {
      TlsSetValue(slot, nullptr);
      TlsFree(slot);
    }
  }
  size_t Placed() const { return placed_; }

 private:
  std::vector<DWORD> taken_;
  size_t placed_ = 0;
};

// A page the host may read and nobody may write.
class ReadOnlyPage {
 public:
  ReadOnlyPage() : page_(VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READONLY)) {}
  ReadOnlyPage(const ReadOnlyPage&) = delete;
  ReadOnlyPage& operator=(const ReadOnlyPage&) = delete;
  ~ReadOnlyPage() { VirtualFree(page_, 0, MEM_RELEASE); }
  uintptr_t Address() const { return reinterpret_cast<uintptr_t>(page_); }

 private:
  void* page_;
};

// What a control shows and keeps, made and painted on this thread as it stands.
struct Observed {
  VARIANT_BOOL loaded = VARIANT_FALSE;
  std::vector<uint32_t> cold, warm;
  LONG boxBuilds = -1;
  LONGLONG kept = -1;
};

class ForeignSlotsTest : public ::testing::Test {
 protected:
  Observed MakeAndPaint() {
    Observed seen;
    HostedControl& control = form_.Add({0, 0, kSize.cx, kSize.cy});
    const ComPtr<_ucCardel> cardel = control.Cardel();
    cardel->put_Redraw(VARIANT_FALSE);
    SetCaption(cardel.Get(), L"Foreign slots");
    cardel->put_CaptionShadow(VARIANT_TRUE);
    cardel->put_BackShadow(VARIANT_TRUE);
    cardel->put_ShadowSize(6);
    {
      const UniqueSafeArray owned(SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(png_.size())));
      std::copy(png_.begin(), png_.end(), static_cast<uint8_t*>(owned.get()->pvData));
      SAFEARRAY* array = owned.get();
      EXPECT_HRESULT_SUCCEEDED(cardel->PictureFromStream(&array, &seen.loaded));
    }
    const RECTL bounds{0, 0, kSize.cx, kSize.cy};
    for (std::vector<uint32_t>* pixels : {&seen.cold, &seen.warm}) {
      const DibSurface target(kSize.cx, kSize.cy, 0x204060);
      EXPECT_HRESULT_SUCCEEDED(control.Query<IViewObject>()->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr,
                                                                  target.Dc(), &bounds, nullptr, nullptr, 0));
      *pixels = target.All();
    }
    const ComPtr<ICardelTestHooks> hooks = HooksOf(control.Unknown());
    hooks->CountLayerBuilds(0, &seen.boxBuilds);
    hooks->RetainedBytes(&seen.kept);
    form_.Remove(control);
    return seen;
  }

  static constexpr SIZE kSize{360, 200};
  gdip::Session gdiplus_;
  Library library_;
  Container form_{library_, {400, 240}};
  // Noise, so the file is as large as its pixels (about 160 kB): copying it is a large allocation.
  const std::vector<uint8_t> png_ = testpictures::EncodeBitmap(
      220, 220,
      [](int x, int y) {
        uint32_t v = static_cast<uint32_t>(x * 7919 + y * 104729) * 2654435761u;
        return 0xFF000000u | (v >> 8);
      },
      L"image/png");
};

TEST_F(ForeignSlotsTest, TheControlIgnoresWhatOtherComponentsKeepInTheirSlots) {
  ASSERT_GT(png_.size(), 100000u);
  const Observed alone = MakeAndPaint();
  ASSERT_EQ(alone.loaded, VARIANT_TRUE);
  ASSERT_GE(alone.boxBuilds, 1) << "the control keeps its layers";

  ReadOnlyPage page;
  std::vector<LONG> hostData(64, 1000);
  const uintptr_t data = reinterpret_cast<uintptr_t>(hostData.data());
  const struct {
    const char* what;
    Pairs pairs;
  } hosts[] = {
      {"small numbers", {{248, 1}, {249, 7}, {250, 7}, {251, 1}, {252, 1}}},
      {"more small numbers", {{251, 3}, {250, 16}, {249, 0}, {248, 4}, {252, 255}}},
      {"read-only pages",
       {{248, page.Address()}, {249, page.Address()}, {250, page.Address()}, {251, page.Address()},
        {252, page.Address()}}},
      // A pointer under 252 is the collection the key promises: only its publisher can vouch for it.
      {"the host's data", {{248, data}, {249, data}, {250, data}, {251, data}}},
  };
  for (const auto& host : hosts) {
    SCOPED_TRACE(host.what);
    const ForeignSlots slots(host.pairs);
    ASSERT_EQ(slots.Placed(), host.pairs.size());
    const Observed seen = MakeAndPaint();
    EXPECT_EQ(seen.loaded, VARIANT_TRUE) << "PictureFromStream works";
    EXPECT_TRUE(seen.cold == alone.cold) << "same pixels, first paint";
    EXPECT_TRUE(seen.warm == alone.warm) << "same pixels, from the kept layers";
    EXPECT_EQ(seen.boxBuilds, alone.boxBuilds);
    EXPECT_EQ(seen.kept, alone.kept) << "the same budget";
    EXPECT_TRUE(std::all_of(hostData.begin(), hostData.end(), [](LONG v) { return v == 1000; }))
        << "the host's data is untouched";
  }
}

}  // namespace
}  // namespace cardel::host
