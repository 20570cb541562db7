// PictureFromURL against a server of the test's own on 127.0.0.1 and against files: progress events
// and the ring, the bytes taken in, failures, the cache option, cancelling, and a control that goes
// away while its transfer runs.
#include <windows.h>
#include <urlmon.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <numbers>

#include "container.h"
#include "library.h"
#include "loopback_server.h"
#include "recorders.h"
#include "render/gdiplus_session.h"
#include "test_pictures.h"

namespace cardel::testhost {
namespace {

using namespace std::chrono_literals;
using testpictures::EncodeBitmap;

constexpr RECT kRect{20, 20, 220, 120};
constexpr DISPID kPictureFromUrl = 0x6003007C;
constexpr Pixel kWhite = 0xFFFFFF;
// The ring's box for a 200 x 100 control with centred alignment: (74, 24, 50, 50).
constexpr POINT kRingCentre{99, 49};
constexpr int kRingRadius = 25;
// Long enough for "/slow.png" to have ended, had it not been stopped.
constexpr auto kSlowTransfer = 1200ms;

std::vector<uint8_t> Picture(uint32_t argb) {
  return EncodeBitmap(120, 80, [argb](int x, int y) { return (x ^ y) & 8 ? argb : 0xFFFFFFFFu; }, L"image/png");
}

Route Slowly(std::vector<uint8_t> body, bool announceLength, std::chrono::milliseconds pause) {
  return Route{200, "image/png", body, announceLength, body.size() / 4 + 1, pause};
}

// Which tenths of the circle carry the arc's colour, sampled in the middle of each tenth from
// twelve o'clock on: a spinner segment covers two neighbours, the proportional arc a run from 0.
// The test pictures have no blue-dominated pixel, so a picture under the ring is not taken for it.
std::vector<bool> ArcTenths(const Image& image) {
  std::vector<bool> tenths;
  for (int k = 0; k < 10; ++k) {
    const double a = (36.0 * k + 18.0 - 90.0) * std::numbers::pi / 180.0;
    const Pixel p = image.At(kRingCentre.x + int(std::lround(kRingRadius * std::cos(a))),
                             kRingCentre.y + int(std::lround(kRingRadius * std::sin(a))));
    tenths.push_back((p & 0xFF) > (p >> 16 & 0xFF) + 0x40);
  }
  return tenths;
}

bool TrackShown(const Image& image) { return image.At(kRingCentre.x, kRingCentre.y + kRingRadius) != kWhite; }

struct CountingOuter final : IUnknown {
  STDMETHODIMP QueryInterface(REFIID riid, void** object) noexcept override {
    *object = riid == IID_IUnknown ? this : nullptr;
    return *object ? AddRef(), S_OK : E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() noexcept override { return ++taken; }
  STDMETHODIMP_(ULONG) Release() noexcept override { return 1; }
  ULONG taken = 0;
};

class DownloadTest : public testing::Test {
 protected:
  void SetUp() override {
    control_ = &box_.Add(kRect);
    cardel_ = control_->Cardel();
    ASSERT_TRUE(cardel_);
    BSTR empty = SysAllocString(L"");
    cardel_->put_Caption(&empty);
    SysFreeString(empty);
    cardel_->put_FrontColor(RGB(255, 255, 255));
    cardel_->put_PictureAlignmentH(pCenter);
    cardel_->put_PictureAlignmentV(pMiddle);
    ASSERT_HRESULT_SUCCEEDED(events_.Connect(control_->Unknown()));
  }

  VARIANT_BOOL Start(const std::wstring& url, VARIANT_BOOL draw = VARIANT_TRUE, VARIANT_BOOL useCache = 0) {
    BSTR u = SysAllocString(url.c_str());
    VARIANT_BOOL result = 7;
    EXPECT_EQ(cardel_->PictureFromURL(u, useCache, draw, &result), S_OK);
    SysFreeString(u);
    return result;
  }
  // Pumps until the transfer's outcome event, for at most five seconds.
  DISPID Outcome() {
    for (auto end = std::chrono::steady_clock::now() + 5s; std::chrono::steady_clock::now() < end;) {
      for (const EventRecord& e : events_.Events())
        if (e.id == event_id::PictureDownloadComplete || e.id == event_id::PictureDownloadError) return e.id;
      box_.PumpFor(10ms);
    }
    return 0;
  }
  void PumpUntilProgress() {
    for (int i = 0; i < 500 && !events_.Count(event_id::PictureDownloadProgress); ++i) box_.PumpFor(10ms);
    ASSERT_GT(events_.Count(event_id::PictureDownloadProgress), 0u);
  }
  // The control's pixels at every progress event, as the event's handler sees them.
  void CaptureAtProgress() {
    events_.SetHandler([this](DISPID id, DISPPARAMS*) {
      if (id == event_id::PictureDownloadProgress) atProgress_.push_back(box_.Capture(kRect));
    });
  }
  std::vector<uint8_t> Stream() {
    SAFEARRAY* out = nullptr;
    cardel_->PictureGetStream(&out);
    const auto* data = static_cast<const uint8_t*>(out->pvData);
    std::vector<uint8_t> bytes(data, data + out->rgsabound[0].cElements);
    SafeArrayDestroy(out);
    return bytes;
  }
  VARIANT_BOOL Exists() {
    VARIANT_BOOL v = 0;
    cardel_->get_PictureExist(&v);
    return v;
  }

  gdip::Session gdiplus_;
  Library library_;
  Container box_{library_};
  HostedControl* control_ = nullptr;
  ComPtr<_ucCardel> cardel_;
  EventRecorder events_;
  std::vector<Image> atProgress_;
  const std::vector<uint8_t> png_ = Picture(0xFF20C040);
  const std::vector<uint8_t> other_ = Picture(0xFFC04020);
  LoopbackServer server_{{{"/a.png", Slowly(png_, true, 30ms)},
                          {"/n.png", Slowly(png_, false, 60ms)},
                          {"/slow.png", Slowly(other_, true, 250ms)},
                          {"/page.html", Route{200, "text/html", {'<', 'p', '>', 'h', 'i'}}}}};
};

TEST_F(DownloadTest, APictureWithItsLengthShowsProgressAndArrivesExactly) {
  for (const VARIANT_BOOL draw : {VARIANT_TRUE, VARIANT_FALSE}) {
    events_.Clear();
    atProgress_.clear();
    CaptureAtProgress();
    Variant deleted;
    cardel_->PictureDelete(deleted.put());
    ASSERT_EQ(Start(server_.Url("/a.png"), draw), VARIANT_TRUE);
    ASSERT_EQ(Outcome(), event_id::PictureDownloadComplete);
    LONG last = 0;
    bool ringShown = false;
    for (size_t i = 0; const EventRecord& e : events_.Events()) {
      if (e.id != event_id::PictureDownloadProgress) continue;
      EXPECT_EQ(e.args[0].ToLong(), LONG(png_.size()));
      EXPECT_GE(e.args[1].ToLong(), last);
      last = e.args[1].ToLong();
      const std::vector<bool> arc = ArcTenths(atProgress_[i++]);
      // The arc grows clockwise from twelve o'clock, so its first tenth shows first.
      if (last < LONG(png_.size())) ringShown |= TrackShown(atProgress_[i - 1]) && arc[0] && !arc[9];
    }
    EXPECT_EQ(last, LONG(png_.size()));
    EXPECT_EQ(ringShown, draw == VARIANT_TRUE);
    EXPECT_EQ(events_.Ids().back(), event_id::PictureDownloadComplete);
    EXPECT_EQ(Exists(), VARIANT_TRUE);
    EXPECT_EQ(Stream(), png_);
    EXPECT_EQ(ArcTenths(box_.Capture(kRect)), std::vector<bool>(10, false));
  }
}

TEST_F(DownloadTest, WithoutALengthTheSegmentTurnsUntilCompletion) {
  CaptureAtProgress();
  ASSERT_EQ(Start(server_.Url("/n.png")), VARIANT_TRUE);
  ASSERT_EQ(Outcome(), event_id::PictureDownloadComplete);
  ASSERT_GE(atProgress_.size(), 3u);
  int previous = -1;
  for (const Image& image : atProgress_) {
    const std::vector<bool> arc = ArcTenths(image);
    int first = -1;
    for (int k = 0; k < 10; ++k)
      if (arc[k] && arc[(k + 1) % 10] && std::count(arc.begin(), arc.end(), true) == 2) first = k;
    ASSERT_NE(first, -1);
    if (previous != -1) {
      EXPECT_EQ(first, (previous + 1) % 10);
    }
    previous = first;
  }
  EXPECT_EQ(Stream(), png_);
  EXPECT_EQ(ArcTenths(box_.Capture(kRect)), std::vector<bool>(10, false));
}

// A file completes inside the call; the failures then meet a picture that is already there.
TEST_F(DownloadTest, FilesCompleteAtOnceAndFailuresEndInAnError) {
  testpictures::TempFolder folder;
  const std::wstring file = L"file:///" + folder.Write(L"p.png", png_);
  const struct {
    std::wstring url;
    VARIANT_BOOL pictureKept;
  } failures[] = {
      {server_.Url("/missing.png"), VARIANT_TRUE},
      {server_.Url("/page.html"), VARIANT_FALSE},
      {L"http://127.0.0.1:1/refused.png", VARIANT_TRUE},
  };
  for (const auto& f : failures) {
    events_.Clear();
    ASSERT_EQ(Start(file), VARIANT_TRUE);
    ASSERT_EQ(events_.Ids().back(), event_id::PictureDownloadComplete);
    events_.Clear();
    if (Start(f.url) == VARIANT_TRUE) {
      EXPECT_EQ(Outcome(), event_id::PictureDownloadError);
    }
    EXPECT_EQ(events_.Count(event_id::PictureDownloadComplete), 0u);
    EXPECT_EQ(Exists(), f.pictureKept);
  }
  EXPECT_EQ(Start(L"no such scheme"), VARIANT_FALSE);
}

TEST_F(DownloadTest, OmittedUseCacheAsksForAFreshCopy) {
  const std::wstring url = server_.Url("/page.html");
  Variant argument = Variant::String(url);
  DISPPARAMS params{argument.get(), nullptr, 1, 0};
  Variant result;
  ComPtr<IDispatch> dispatch = control_->Query<IDispatch>();
  ASSERT_EQ(dispatch->Invoke(kPictureFromUrl, IID_NULL, 0, DISPATCH_METHOD, &params, result.put(), nullptr, nullptr),
            S_OK);
  EXPECT_TRUE(result.ToBool());
  Outcome();
  EXPECT_NE(server_.LastHeaders("/page.html").find("Cache-Control: no-cache"), std::string::npos);
  events_.Clear();
  Start(url, VARIANT_TRUE, VARIANT_TRUE);
  Outcome();
  EXPECT_EQ(server_.Requests("/page.html"), 2);
  EXPECT_EQ(server_.LastHeaders("/page.html").find("no-cache"), std::string::npos);
}

TEST_F(DownloadTest, ASecondCallCancelsTheFirst) {
  ASSERT_EQ(Start(server_.Url("/slow.png")), VARIANT_TRUE);
  PumpUntilProgress();
  ASSERT_EQ(Start(server_.Url("/a.png")), VARIANT_TRUE);
  ASSERT_EQ(Outcome(), event_id::PictureDownloadComplete);
  box_.PumpFor(kSlowTransfer);
  EXPECT_EQ(events_.Count(event_id::PictureDownloadComplete), 1u);
  EXPECT_EQ(events_.Count(event_id::PictureDownloadError), 0u);
  EXPECT_EQ(Stream(), png_);
}

TEST_F(DownloadTest, AControlClosedOrReleasedMidDownloadHearsNoMore) {
  ASSERT_EQ(Start(server_.Url("/slow.png")), VARIANT_TRUE);
  PumpUntilProgress();
  box_.Remove(*control_);
  const size_t heard = events_.Events().size();
  box_.PumpFor(kSlowTransfer);
  EXPECT_EQ(events_.Events().size(), heard);
  cardel_.Reset();

  // Aggregated, the control takes a reference on the outer object whenever a transfer reaches it.
  CountingOuter outer;
  ComPtr<IUnknown> inner;
  ASSERT_HRESULT_SUCCEEDED(library_.CreateControl(&outer, IID_IUnknown, reinterpret_cast<void**>(inner.GetAddressOf())));
  ComPtr<_ucCardel> bare;
  inner.As(&bare);
  BSTR url = SysAllocString(server_.Url("/slow.png").c_str());
  VARIANT_BOOL started = 0;
  bare->PictureFromURL(url, 0, VARIANT_TRUE, &started);
  SysFreeString(url);
  EXPECT_EQ(started, VARIANT_TRUE);
  box_.PumpFor(200ms);
  bare.Reset();
  inner.Reset();
  const ULONG taken = outer.taken;
  box_.PumpFor(kSlowTransfer);
  EXPECT_EQ(outer.taken, taken);
}

// The transfer ends when the control reports every byte read; decoding and painting the picture
// afterwards is the work PictureFromStream does for any source.
TEST_F(DownloadTest, ABigPictureArrivesAtLeastHalfAsFastAsAPlainDownload) {
  uint32_t seed = 1;
  const std::vector<uint8_t> big = EncodeBitmap(
      850, 850, [&seed](int, int) { return (seed = seed * 1664525u + 1013904223u) | 0xFF000000u; }, L"image/png");
  ASSERT_GT(big.size(), 2u << 20);
  LoopbackServer server({{"/big.png", Route{200, "image/png", big}}});
  const std::wstring url = server.Url("/big.png");
  using Clock = std::chrono::steady_clock;
  Clock::time_point arrived;
  events_.SetHandler([&](DISPID id, DISPPARAMS* params) {
    if (id == event_id::PictureDownloadProgress && *V_I4REF(&EventArg(*params, 1)) == LONG(big.size()))
      arrived = Clock::now();
  });
  Clock::duration plain = Clock::duration::max(), control = Clock::duration::max();
  for (int run = 0; run < 3; ++run) {
    auto start = Clock::now();
    ComPtr<IStream> stream;
    ASSERT_EQ(URLOpenBlockingStreamW(nullptr, url.c_str(), &stream, 0, nullptr), S_OK);
    std::vector<uint8_t> bytes(big.size() + 1);
    ULONG got = 0;
    for (size_t at = 0; stream->Read(bytes.data() + at, ULONG(bytes.size() - at), &got) == S_OK && got;) at += got;
    plain = std::min(plain, Clock::now() - start);

    events_.Clear();
    start = Clock::now();
    Start(url);
    ASSERT_EQ(Outcome(), event_id::PictureDownloadComplete);
    control = std::min(control, arrived - start);
  }
  EXPECT_LE(control, 2 * plain);
}

}  // namespace
}  // namespace cardel::testhost
