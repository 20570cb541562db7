// The control over many lives in a form, and its lengths at the screen's DPI.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "common/win_handles.h"
#include "container.h"
#include "gdi_objects.h"
#include "library.h"

namespace cardel::host {
namespace {

constexpr RECT kRect{20, 20, 320, 120};
// Lives are small: under Wine, blending the cached shadows costs in proportion to their area.
constexpr RECT kLifeRect{4, 4, 84, 44};
constexpr SIZE kLifeForm{88, 48};

// GDI+ objects are plain heap blocks of the process, and so is everything else a life might keep. The
// process's committed memory does not show them: heaps keep what the first lives freed and hand it out
// again, so a steady leak hides there for long. The heaps' busy blocks show every byte.
long long HeapBytesInUse() {
  std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
  heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
  long long busy = 0;
  for (HANDLE heap : heaps) {
    if (!HeapLock(heap)) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heap, &entry))
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) busy += entry.cbData;
    HeapUnlock(heap);
  }
  return busy;
}

// Everything that makes a paint create GDI and GDI+ objects of its own: both shadow caches, a gradient
// brush, the caption's font and path, the border's pen.
void Decorate(_ucCardel& cardel) {
  cardel.put_Gradient(VARIANT_TRUE);
  cardel.put_BorderCornerLeftTop(10);
  cardel.put_CallOut(VARIANT_TRUE);
  cardel.put_Border(VARIANT_TRUE);
  cardel.put_BorderWidth(2);
  cardel.put_ShadowSize(4);
  cardel.put_ShadowColorOpacity(50);
  cardel.put_BackShadow(VARIANT_TRUE);
  cardel.put_CaptionShadow(VARIANT_TRUE);
  SetCaption(&cardel, L"Velmar Cardel");
}

// One life as a form gives it: created, initialised through IPersistStreamInit, activated, decorated or
// not, painted or not, and destroyed.
void Live(Container& form, bool decorate, bool paint) {
  HostedControl& control = form.Add(kLifeRect, {.init_through_bag = false});
  if (decorate) Decorate(*control.Cardel().Get());
  if (paint) form.Repaint();
  form.Remove(control);
}

TEST(LifecycleTest, ThousandLivesLeakNoGdiObjectsAndNoMemory) {
  Library library;
  {
    Container form(library, kLifeForm);
    // The first lives fill what GDI+, the fonts and OLE keep for the whole process.
    for (int i = 0; i < 20; ++i) Live(form, true, true);
    const size_t gdi = LiveGdiObjects();
    const long long memory = HeapBytesInUse();
    // Decorating costs tens of milliseconds a life under Wine, so one life in ten is decorated. Half the
    // decorated lives, their shadow caches still cold, and one plain life in nine end without a paint.
    for (int i = 0; i < 1000; ++i) Live(form, i % 10 == 0, i % 10 != 5 && i % 20 != 10);
    EXPECT_EQ(LiveGdiObjects(), gdi);
    // The lives together keep under a kilobyte; a GDI+ path of a few hundred bytes leaked by each decorated
    // paint would pass 16 KB.
    EXPECT_LT(HeapBytesInUse() - memory, 16 * 1024) << "bytes kept by 1000 lives";
  }
  {
    // Never sited, never activated, never painted.
    ComPtr<IPersistStreamInit> unsited;
    ASSERT_HRESULT_SUCCEEDED(
        library.CreateControl(nullptr, IID_IPersistStreamInit, reinterpret_cast<void**>(unsited.GetAddressOf())));
    ASSERT_HRESULT_SUCCEEDED(unsited->InitNew());
  }
  EXPECT_EQ(library.DllCanUnloadNow(), S_OK);
}

// The run's DPI: 96 unless the test's environment names another, whose prefix was made with it.
int ExpectedDpi() {
  const char* named = std::getenv("CARDEL_EXPECTED_DPI");
  return named ? std::atoi(named) : 96;
}

// Lengths are kept at 96 DPI and painted at the screen's, rounded half to even: BorderWidth 2 at 1.25 is
// 2.5 and paints 2; 3 at 1.5 is 4.5 and paints 4.
TEST(DpiTest, BorderWidthIsPaintedAtTheScreensScale) {
  const struct {
    int dpi;
    double scale;
    int painted_two, painted_three;
  } expected[] = {{96, 1.0, 2, 3}, {120, 1.25, 2, 4}, {144, 1.5, 3, 4}};
  const int dpi = ExpectedDpi();
  const auto* run = std::find_if(std::begin(expected), std::end(expected), [&](const auto& e) { return e.dpi == dpi; });
  ASSERT_NE(run, std::end(expected)) << dpi << " DPI";

  Library library;
  Container form(library);
  ComPtr<_ucCardel> cardel = form.Add(kRect).Cardel();
  double scale = 0;
  ASSERT_HRESULT_SUCCEEDED(cardel->GetWindowsDPI(&scale));
  ASSERT_DOUBLE_EQ(scale, run->scale);
  SetCaption(cardel.Get(), L"");
  cardel->put_FrontColor(RGB(255, 255, 255));
  cardel->put_BorderColor(RGB(0, 0, 0));
  // Outside, the stroke fills a frame as wide as itself at the control's edge, whatever Wine does with pen
  // alignment, and the white box begins where it ends.
  cardel->put_BorderPosition(bpOutside);
  cardel->put_Border(VARIANT_TRUE);
  // Drawn onto a screen-compatible bitmap, where Wine's GDI+ strokes an opaque pen with GDI as it does on a
  // window; on 32-bit bitmaps, where the form's paint is composed, it rasterizes pens itself, and a 3-pixel
  // pen there covers 4 pixel centres.
  WindowDc screen(form.Window());
  UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), 12, 1));
  ASSERT_TRUE(memory && bitmap);
  SelectedObject selected(memory.get(), bitmap.get());
  const LONG middle = (kRect.bottom - kRect.top) / 2;
  for (const auto& [width, painted] : {std::pair{2, run->painted_two}, std::pair{3, run->painted_three}}) {
    cardel->put_BorderWidth(static_cast<short>(width));
    PatBlt(memory.get(), 0, 0, 12, 1, WHITENESS);
    LONG top = -middle;
    ASSERT_HRESULT_SUCCEEDED(cardel->Draw(static_cast<LONG>(reinterpret_cast<intptr_t>(memory.get())), 0, 0, &top));
    int black = 0;
    for (int x = 0; x < 12; ++x) black += (GetPixel(memory.get(), x, 0) & 0xFFFFFF) == 0;
    EXPECT_EQ(black, painted) << "BorderWidth " << width << " at " << dpi << " DPI";
  }
}

}  // namespace
}  // namespace cardel::host
