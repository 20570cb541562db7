// PictureFromURL against a server of the test's own on 127.0.0.1 and against a file: progress and
// the ring, the bytes taken in, failures, the cache option, cancelling, a control that goes away
// while its transfer runs, a big transfer, and sources that lie about their length or never end.
#include <windows.h>
#include <urlmon.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <numbers>

#include "common/automation_handles.h"
#include "common/gdiplus_session.h"
#include "container.h"
#include "library.h"
#include "loopback_server.h"
#include "picture/url_download.h"
#include "process_memory.h"
#include "test_hooks_door.h"
#include "recorders.h"
#include "test_pictures.h"

namespace cardel::host {
namespace {

using namespace std::chrono_literals;
using testpictures::EncodeBitmap;

constexpr RECT kRect{20, 20, 220, 120};
constexpr DISPID kPictureFromUrl = 0x6003007C;
// Long enough for "/slow.png" to have ended, had it not been stopped.
constexpr auto kSlowTransfer = 1200ms;
const std::vector<bool> kNoArc(10, false);
constexpr long long kMegabyte = 1 << 20;
// What urlmon, the sockets and the heap may take besides the bytes a transfer holds.
constexpr long long kOverhead = 16 * kMegabyte;

// No pixel of these is blue-dominated, so a picture under the ring is not taken for the arc.
std::vector<uint8_t> Picture(uint32_t argb) {
  return EncodeBitmap(120, 80, [argb](int x, int y) { return (x ^ y) & 8 ? argb : 0xFFFFFFFFu; }, L"image/png");
}

// Which tenths of the ring show the accent colour, sampled mid-tenth clockwise from twelve o'clock.
// Centred in this 200 x 100 control, the ring's box is (74, 24, 50, 50).
std::vector<bool> ArcTenths(const Image& image) {
  std::vector<bool> tenths;
  for (int k = 0; k < 10; ++k) {
    const double a = (36.0 * k - 72.0) * std::numbers::pi / 180.0;
    const Pixel p = image.At(99 + int(std::lround(25 * std::cos(a))), 49 + int(std::lround(25 * std::sin(a))));
    tenths.push_back((p & 0xFF) > (p >> 16 & 0xFF) + 0x40);
  }
  return tenths;
}

VARIANT_BOOL FromUrl(_ucCardel* control, const std::wstring& url, VARIANT_BOOL draw = VARIANT_TRUE,
                     VARIANT_BOOL useCache = VARIANT_FALSE) {
  const UniqueBstr u(SysAllocString(url.c_str()));
  VARIANT_BOOL result = 7;
  EXPECT_EQ(control->PictureFromURL(u.get(), useCache, draw, &result), S_OK);
  return result;
}

// An aggregating outer object: the control takes a reference on it whenever a transfer reaches it.
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
    SetCaption(cardel_.Get(), L"");
    cardel_->put_FrontColor(RGB(255, 255, 255));
    cardel_->put_PictureAlignmentH(pCenter);
    cardel_->put_PictureAlignmentV(pMiddle);
    ASSERT_HRESULT_SUCCEEDED(events_.Connect(control_->Unknown()));
    // The control's pixels at every progress event, as the event's handler sees them.
    events_.SetHandler([this](DISPID id, DISPPARAMS*) {
      if (id == event_id::PictureDownloadProgress) atProgress_.push_back(box_.Capture(kRect));
    });
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
    for (int i = 0; i < 500 && atProgress_.empty(); ++i) box_.PumpFor(10ms);
    ASSERT_FALSE(atProgress_.empty());
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
  LoopbackServer server_{{{"/a.png", {png_, "image/png", true, 30ms}},
                          {"/n.png", {png_, "image/png", false, 60ms}},
                          {"/slow.png", {Picture(0xFFC04020), "image/png", true, 250ms}},
                          {"/page.html", {{'<', 'p', '>'}, "text/html"}}}};
};

TEST_F(DownloadTest, APictureWithItsLengthShowsProgressAndArrivesExactly) {
  for (const VARIANT_BOOL draw : {VARIANT_TRUE, VARIANT_FALSE}) {
    events_.Clear();
    atProgress_.clear();
    ASSERT_EQ(FromUrl(cardel_.Get(), server_.Url("/a.png"), draw), VARIANT_TRUE);
    ASSERT_EQ(Outcome(), event_id::PictureDownloadComplete);
    LONG read = 0;
    bool ringShown = false;
    for (size_t i = 0; const EventRecord& e : events_.Events()) {
      if (e.id != event_id::PictureDownloadProgress) continue;
      EXPECT_EQ(e.args[0].ToLong(), LONG(png_.size()));
      EXPECT_GE(e.args[1].ToLong(), read);
      read = e.args[1].ToLong();
      // The arc grows clockwise from twelve o'clock, so its first tenth shows first.
      const std::vector<bool> arc = ArcTenths(atProgress_[i++]);
      ringShown |= read < LONG(png_.size()) && arc[0] && !arc[9];
    }
    EXPECT_EQ(read, LONG(png_.size()));
    EXPECT_EQ(ringShown, draw == VARIANT_TRUE);
    EXPECT_EQ(events_.Ids().back(), event_id::PictureDownloadComplete);
    EXPECT_EQ(Exists(), VARIANT_TRUE);
    EXPECT_EQ(Stream(), png_);
    EXPECT_EQ(ArcTenths(box_.Capture(kRect)), kNoArc);
  }
}

// Drawing the ring changes nothing a handler hears; the picture that arrives is decoded once, and its
// paints do not decode it again.
TEST_F(DownloadTest, TheRingLeavesTheEventsAsTheyAreAndThePictureIsDecodedOnce) {
  const auto heard = [&](VARIANT_BOOL draw) {
    events_.Clear();
    EXPECT_EQ(FromUrl(cardel_.Get(), server_.Url("/a.png"), draw), VARIANT_TRUE);
    EXPECT_EQ(Outcome(), event_id::PictureDownloadComplete);
    std::vector<std::vector<LONG>> events;
    for (const EventRecord& e : events_.Events()) {
      if (e.id == event_id::PrePaint || e.id == event_id::PostPaint) continue;
      std::vector<LONG> event{e.id};
      for (const Variant& arg : e.args) event.push_back(arg.ToLong());
      events.push_back(std::move(event));
    }
    return events;
  };
  EXPECT_EQ(heard(VARIANT_TRUE), heard(VARIANT_FALSE));

  const LONG before = host::PictureDecodesOf(cardel_.Get());
  heard(VARIANT_TRUE);
  box_.Repaint();
  box_.Repaint();
  EXPECT_EQ(host::PictureDecodesOf(cardel_.Get()) - before, 1);
}

// Nothing but the host's own paints here: the ring reaches the screen between notifications, in no
// more paints than there are notifications and the picture's own, which leaves no ring behind.
TEST_F(DownloadTest, TheHostsOwnPaintsShowTheRing) {
  std::vector<DISPID> order;
  events_.SetHandler([&](DISPID id, DISPPARAMS*) { order.push_back(id); });
  ASSERT_EQ(FromUrl(cardel_.Get(), server_.Url("/slow.png")), VARIANT_TRUE);
  ASSERT_EQ(Outcome(), event_id::PictureDownloadComplete);
  const auto firstProgress = std::find(order.begin(), order.end(), event_id::PictureDownloadProgress);
  const auto complete = std::find(order.begin(), order.end(), event_id::PictureDownloadComplete);
  const auto paintsWhileLoading = std::count(firstProgress, complete, event_id::PrePaint);
  EXPECT_GE(paintsWhileLoading, 1);
  EXPECT_LE(paintsWhileLoading, std::count(order.begin(), order.end(), event_id::PictureDownloadProgress) + 1);
  EXPECT_EQ(ArcTenths(box_.Capture(kRect)), kNoArc);
}

// Each repaint turns the 60-degree segment by a tenth of a circle; the end leaves no ring behind.
TEST_F(DownloadTest, WithoutALengthTheSegmentTurnsUntilCompletion) {
  ASSERT_EQ(FromUrl(cardel_.Get(), server_.Url("/n.png")), VARIANT_TRUE);
  ASSERT_EQ(Outcome(), event_id::PictureDownloadComplete);
  ASSERT_GE(atProgress_.size(), 3u);
  for (size_t i = 0; i < atProgress_.size(); ++i) {
    // Spinner angle 36 (i + 1): the segment from 36 (i + 1) - 90 degrees covers tenths i + 1 and i + 2.
    std::vector<bool> expected(10, false);
    expected[(i + 1) % 10] = expected[(i + 2) % 10] = true;
    EXPECT_EQ(ArcTenths(atProgress_[i]), expected) << i;
  }
  EXPECT_EQ(Stream(), png_);
  EXPECT_EQ(ArcTenths(box_.Capture(kRect)), kNoArc);
}

// A file completes inside the call; each failure then meets a picture already there.
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
    ASSERT_EQ(FromUrl(cardel_.Get(), file), VARIANT_TRUE);
    ASSERT_EQ(events_.Ids().back(), event_id::PictureDownloadComplete);
    events_.Clear();
    if (FromUrl(cardel_.Get(), f.url) == VARIANT_TRUE) {
      EXPECT_EQ(Outcome(), event_id::PictureDownloadError);
    }
    EXPECT_EQ(events_.Count(event_id::PictureDownloadComplete), 0u);
    EXPECT_EQ(Exists(), f.pictureKept);
  }
  EXPECT_EQ(FromUrl(cardel_.Get(), L"no such scheme"), VARIANT_FALSE);
}

TEST_F(DownloadTest, OmittedUseCacheAsksForAFreshCopy) {
  Variant url = Variant::String(server_.Url("/page.html"));
  DISPPARAMS params{url.get(), nullptr, 1, 0};
  Variant result;
  ASSERT_EQ(control_->Query<IDispatch>()->Invoke(kPictureFromUrl, IID_NULL, 0, DISPATCH_METHOD, &params,
                                                  result.put(), nullptr, nullptr),
            S_OK);
  EXPECT_TRUE(result.ToBool());
  Outcome();
  EXPECT_NE(server_.LastRequest("/page.html").find("Cache-Control: no-cache"), std::string::npos);
  events_.Clear();
  FromUrl(cardel_.Get(), url->bstrVal, VARIANT_TRUE, VARIANT_TRUE);
  Outcome();
  EXPECT_EQ(server_.LastRequest("/page.html").find("no-cache"), std::string::npos);
}

TEST_F(DownloadTest, ASecondCallCancelsTheFirst) {
  ASSERT_EQ(FromUrl(cardel_.Get(), server_.Url("/slow.png")), VARIANT_TRUE);
  PumpUntilProgress();
  ASSERT_EQ(FromUrl(cardel_.Get(), server_.Url("/a.png")), VARIANT_TRUE);
  ASSERT_EQ(Outcome(), event_id::PictureDownloadComplete);
  box_.PumpFor(kSlowTransfer);
  EXPECT_EQ(events_.Count(event_id::PictureDownloadComplete), 1u);
  EXPECT_EQ(events_.Count(event_id::PictureDownloadError), 0u);
  EXPECT_EQ(Stream(), png_);
}

TEST_F(DownloadTest, AControlClosedOrReleasedMidDownloadHearsNoMore) {
  ASSERT_EQ(FromUrl(cardel_.Get(), server_.Url("/slow.png")), VARIANT_TRUE);
  PumpUntilProgress();
  box_.Remove(*control_);
  const size_t heard = events_.Events().size();
  box_.PumpFor(kSlowTransfer);
  EXPECT_EQ(events_.Events().size(), heard);

  CountingOuter outer;
  ComPtr<IUnknown> inner;
  ASSERT_HRESULT_SUCCEEDED(library_.CreateControl(&outer, IID_IUnknown, reinterpret_cast<void**>(inner.GetAddressOf())));
  ComPtr<_ucCardel> bare;
  inner.As(&bare);
  EXPECT_EQ(FromUrl(bare.Get(), server_.Url("/slow.png")), VARIANT_TRUE);
  box_.PumpFor(200ms);
  bare.Reset();
  inner.Reset();
  const ULONG taken = outer.taken;
  box_.PumpFor(kSlowTransfer);
  EXPECT_EQ(outer.taken, taken);
}

// A picture of megabytes arrives whole: the bytes a plain read gets, every one reported by the last
// progress, and the picture taken is the one served. How fast it arrives against the plain read is the
// benchmark's to show.
TEST_F(DownloadTest, ABigPictureArrivesWhole) {
  uint32_t seed = 1;
  const std::vector<uint8_t> big = EncodeBitmap(
      850, 850, [&seed](int, int) { return (seed = seed * 1664525u + 1013904223u) | 0xFF000000u; }, L"image/png");
  ASSERT_GT(big.size(), 2u << 20);
  LoopbackServer server({{"/big.png", {big}}});
  const std::wstring url = server.Url("/big.png");
  ComPtr<IStream> stream;
  ASSERT_EQ(URLOpenBlockingStreamW(nullptr, url.c_str(), &stream, 0, nullptr), S_OK);
  std::vector<uint8_t> bytes(big.size() + 1);
  size_t read = 0;
  for (ULONG got = 0; stream->Read(bytes.data() + read, ULONG(bytes.size() - read), &got) == S_OK && got;) read += got;
  ASSERT_EQ(read, big.size());

  LONG lastRead = 0;
  events_.SetHandler([&](DISPID id, DISPPARAMS* params) {
    if (id == event_id::PictureDownloadProgress) lastRead = *V_I4REF(&EventArg(*params, 1));
  });
  FromUrl(cardel_.Get(), url);
  ASSERT_EQ(Outcome(), event_id::PictureDownloadComplete);
  EXPECT_EQ(lastRead, LONG(big.size()));
  LONG width = 0, height = 0;
  cardel_->get_PictureGetWidth(&width);
  cardel_->get_PictureGetHeight(&height);
  EXPECT_EQ(width, 850);
  EXPECT_EQ(height, 850);
}

// Progress events heard until the transfer ends, and the memory committed at them.
struct TransferWatch {
  explicit TransferWatch(EventRecorder& events) : before(CommittedPrivateBytes()) {
    events.SetHandler([this](DISPID id, DISPPARAMS* params) {
      if (id != event_id::PictureDownloadProgress) return;
      read = *V_I4REF(&EventArg(*params, 1));
      // Walking the address space costs: a sample each few megabytes.
      if (read < nextSample) return;
      nextSample = read + 4 * kMegabyte;
      worstExcess = std::max(worstExcess, CommittedPrivateBytes() - before - 2LL * read);
    });
  }
  const long long before;
  LONG read = 0;
  long long nextSample = 0;
  // Above twice what arrived: the bytes, and room for as much again.
  long long worstExcess = LLONG_MIN;
};

// 400 MB announced, 4 kB every 10 ms sent: what arrived is all the transfer holds, and letting go of the
// control lets go of it, though the system may hold the transfer a while longer.
TEST_F(DownloadTest, AnAnnouncedLengthReservesNothingThatHasNotArrived) {
  LoopbackServer liar({{"/claims.png", {std::vector<uint8_t>(4096, 'x'), "image/png", true, 10ms, 4096, 1000, 400000000}}});
  TransferWatch watch(events_);
  ASSERT_EQ(FromUrl(cardel_.Get(), liar.Url("/claims.png")), VARIANT_TRUE);
  for (auto end = std::chrono::steady_clock::now() + 30s; watch.read < 32 * 1024 && std::chrono::steady_clock::now() < end;)
    box_.PumpFor(10ms);
  ASSERT_GE(watch.read, 32 * 1024);
  EXPECT_LT(CommittedPrivateBytes() - watch.before, kOverhead) << "after " << watch.read << " bytes";
  box_.Remove(*control_);
  cardel_.Reset();
  box_.PumpFor(50ms);
  EXPECT_LT(CommittedPrivateBytes() - watch.before, kOverhead) << "released";
}

// A body without end, sent as fast as it goes: the bytes held stay near what arrived while the picture
// shown stays, and letting go of the control mid-way gives them back.
TEST_F(DownloadTest, ABodyWithoutEndHoldsWhatArrivedUntilReleased) {
  std::vector<uint8_t> piece(64 * 1024);
  for (size_t i = 0; i < piece.size(); ++i) piece[i] = static_cast<uint8_t>(i * 7 + i / 251);
  // Up to 375 MB, far more than the test waits for: the body must not end while it is watched.
  LoopbackServer server({{"/endless.png", {piece, "image/png", false, 0ms, 0, 6000}}});
  ASSERT_EQ(FromUrl(cardel_.Get(), server_.Url("/a.png")), VARIANT_TRUE);
  ASSERT_EQ(Outcome(), event_id::PictureDownloadComplete);
  events_.Clear();
  TransferWatch watch(events_);
  ASSERT_EQ(FromUrl(cardel_.Get(), server.Url("/endless.png")), VARIANT_TRUE);
  for (auto end = std::chrono::steady_clock::now() + 60s;
       watch.read < 24 * kMegabyte && std::chrono::steady_clock::now() < end;)
    box_.PumpFor(10ms);
  ASSERT_GE(watch.read, 24 * kMegabyte);
  EXPECT_LT(watch.worstExcess, kOverhead);
  EXPECT_EQ(Stream(), png_);
  EXPECT_EQ(events_.Count(event_id::PictureDownloadComplete) + events_.Count(event_id::PictureDownloadError), 0u);
  box_.Remove(*control_);
  cardel_.Reset();
  box_.PumpFor(50ms);
  EXPECT_LT(CommittedPrivateBytes() - watch.before, kOverhead) << "released after " << watch.read << " bytes";
}

// More than any picture announced: the transfer ends at once as a failure, and the picture shown stays.
TEST_F(DownloadTest, AnAnnouncementBeyondAnyPictureFailsAndKeepsThePicture) {
  LoopbackServer liar(
      {{"/huge.png", {std::vector<uint8_t>(4096, 'x'), "image/png", true, 10ms, 4096, 1000, kPictureTransferLimit + 1}}});
  ASSERT_EQ(FromUrl(cardel_.Get(), server_.Url("/a.png")), VARIANT_TRUE);
  ASSERT_EQ(Outcome(), event_id::PictureDownloadComplete);
  events_.Clear();
  ASSERT_EQ(FromUrl(cardel_.Get(), liar.Url("/huge.png")), VARIANT_TRUE);
  EXPECT_EQ(Outcome(), event_id::PictureDownloadError);
  EXPECT_EQ(Stream(), png_);
  EXPECT_EQ(ArcTenths(box_.Capture(kRect)), kNoArc);
}

// The transfer itself, with a limit a test can reach: more bytes than that, or an announcement of more,
// abort it as a failure that holds no bytes.
TEST_F(DownloadTest, ATransferBeyondItsLimitIsAbortedAsAFailure) {
  const std::vector<uint8_t> piece(64 * 1024, 'x');
  LoopbackServer server({{"/endless.png", {piece, "image/png", false, 0ms, 0, 400}},
                         {"/claims.png", {piece, "image/png", true, 0ms, 0, 400, 400000000}}});
  constexpr size_t kLimit = 2 << 20;
  for (const char* path : {"/endless.png", "/claims.png"}) {
    int ended = 0;
    bool succeeded = true;
    uint32_t read = 0;
    ComPtr<UrlDownload> transfer = UrlDownload::Make(
        {[&](UrlDownload& t) { read = t.Counts().bytesRead; },
         [&](UrlDownload& t, bool ok) {
           ++ended;
           succeeded = ok;
           EXPECT_TRUE(t.Bytes().empty()) << path;
         }},
        kLimit);
    ASSERT_EQ(transfer->Start(server.Url(path).c_str(), true), S_OK);
    for (auto end = std::chrono::steady_clock::now() + 30s; !ended && std::chrono::steady_clock::now() < end;)
      box_.PumpFor(10ms);
    EXPECT_EQ(ended, 1) << path;
    EXPECT_FALSE(succeeded) << path;
    // Announced beyond the limit, the transfer ends before its owner hears of any progress.
    EXPECT_EQ(read == 0, std::string(path) == "/claims.png") << path;
  }
}

}  // namespace
}  // namespace cardel::host
