// Taking in a big picture against what the platform needs for the same: PictureFromStream, called as a
// late-bound host calls it (IDispatch::Invoke with the array as a VT_ARRAY | VT_UI1 value), against one
// GDI+ decode of the bytes; PictureFromURL against a plain urlmon read of the same URL plus that decode.
// The picture is noise, so that it does not compress and its file stays as big as its pixels.
#include "picture_load_bench.h"

#include <windows.h>
#include <shlwapi.h>
#include <urlmon.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "common/automation_handles.h"
#include "common/gdiplus_session.h"
#include "container.h"
#include "library.h"
#include "loopback_server.h"
#include "recorders.h"
#include "test_pictures.h"
#include "timing.h"

namespace cardel::bench {
namespace {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;
using host::ComPtr;
using host::Container;
using host::EventRecorder;
using host::HostedControl;
using host::Library;
using host::LoopbackServer;
using Clock = std::chrono::steady_clock;

constexpr int kSide = 1150;  // 4 bytes a pixel of noise: a file of about 5 MB
constexpr int kRuns = 15;
constexpr double kStreamTarget = 1.3, kUrlTarget = 1.25;
// The control shows the picture's top-left part, 1:1, on a box without border or corners.
constexpr int kWidth = 400, kHeight = 300;
constexpr DISPID kPictureFromStream = 0x6003007F;

std::vector<uint8_t> NoisePng() {
  uint32_t seed = 1;
  return testpictures::EncodeBitmap(
      kSide, kSide, [&seed](int, int) { return (seed = seed * 1664525u + 1013904223u) | 0xFF000000u; },
      L"image/png");
}

// What any program does to show the bytes: decode them from a memory stream and read the pixels once,
// which makes a decoder that defers its work do it.
gdip::UniqueBitmap BareDecode(const std::vector<uint8_t>& bytes) {
  ComPtr<IStream> stream;
  stream.Attach(SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size())));
  gdip::UniqueBitmap bitmap;
  if (!stream || GdipCreateBitmapFromStream(stream.Get(), bitmap.put()) != Ok) return {};
  UINT width = 0, height = 0;
  GdipGetImageWidth(bitmap.get(), &width);
  GdipGetImageHeight(bitmap.get(), &height);
  const GpRect all{0, 0, static_cast<INT>(width), static_cast<INT>(height)};
  BitmapData data{};
  if (GdipBitmapLockBits(bitmap.get(), &all, ImageLockModeRead, PixelFormat32bppARGB, &data) != Ok) return {};
  GdipBitmapUnlockBits(bitmap.get(), &data);
  return bitmap;
}

UniqueSafeArray ByteArray(const std::vector<uint8_t>& bytes) {
  UniqueSafeArray array(SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size())));
  if (array) std::copy(bytes.begin(), bytes.end(), static_cast<uint8_t*>(array.get()->pvData));
  return array;
}

// What a plain program gets from urlmon: the whole body, read to its end.
std::vector<uint8_t> PlainRead(const std::wstring& url, size_t expected) {
  ComPtr<IStream> stream;
  if (URLOpenBlockingStreamW(nullptr, url.c_str(), &stream, 0, nullptr) != S_OK) return {};
  std::vector<uint8_t> bytes(expected + 1);
  size_t at = 0;
  for (ULONG got = 0; stream->Read(bytes.data() + at, static_cast<ULONG>(bytes.size() - at), &got) == S_OK && got;)
    at += got;
  bytes.resize(at);
  return bytes;
}

// The control's Image property, a snapshot of its box, as 0x00RRGGBB rows from the top.
std::vector<uint32_t> ImagePixels(_ucCardel& cardel) {
  ComPtr<IPicture> picture;
  OLE_HANDLE handle = 0;
  if (FAILED(cardel.get_Image(&picture)) || !picture || FAILED(picture->get_Handle(&handle))) return {};
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, kWidth, -kHeight, 1, 32, BI_RGB};
  std::vector<uint32_t> pixels(static_cast<size_t>(kWidth) * kHeight);
  const HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(handle)), 0, kHeight,
                             pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (rows != kHeight) return {};
  for (uint32_t& p : pixels) p &= 0xFFFFFF;
  return pixels;
}

// Where the control's snapshot differs from the bare decode in any channel: inside the box, and on its
// last row and column, where the edge of the box's antialiased fill blends the picture with the back.
struct Differing {
  size_t inside = 0, edge = 0;
};
Differing DifferingPixels(const std::vector<uint32_t>& shown, GpBitmap* decoded) {
  if (shown.empty() || !decoded) return {static_cast<size_t>(kWidth) * kHeight, 0};
  const std::vector<uint32_t> bare = testpictures::ReadPixels(decoded);
  Differing differing;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const bool differs =
          shown[static_cast<size_t>(y) * kWidth + x] != (bare[static_cast<size_t>(y) * kSide + x] & 0xFFFFFF);
      (x == kWidth - 1 || y == kHeight - 1 ? differing.edge : differing.inside) += differs;
    }
  return differing;
}

// Median times of each variant; the runs alternate, so a drift of the machine reaches all of them alike.
// A variant returns its own time, so that what it does before or after the part timed is left out.
std::vector<double> Medians(const std::vector<std::function<double(int run)>>& variants) {
  std::vector<std::vector<double>> samples(variants.size());
  for (int run = 0; run < kRuns; ++run)
    for (size_t v = 0; v < variants.size(); ++v) samples[v].push_back(variants[v](run));
  std::vector<double> medians;
  for (auto& s : samples) medians.push_back(Median(std::move(s)));
  return medians;
}

bool Report(const char* what, double control, double bare, double target) {
  const double ratio = control / bare;
  std::printf("%-44s %8.2f %8.2f %6.2fx  %s %.2fx\n", what, control * 1e3, bare * 1e3, ratio,
              ratio <= target ? "within" : "OVER", target);
  return ratio <= target;
}

// Waits for the completion event of a transfer started at start; its time is taken inside the event.
class Completion {
 public:
  explicit Completion(EventRecorder& events) {
    events.SetHandler([this](DISPID id, DISPPARAMS*) {
      progress_ += id == host::event_id::PictureDownloadProgress;
      paints_ += id == host::event_id::PrePaint;
      if (id == host::event_id::PictureDownloadComplete || id == host::event_id::PictureDownloadError) {
        completed_ = id == host::event_id::PictureDownloadComplete;
        done_ = Clock::now();
      }
    });
  }
  // Seconds from start to the event; a failed or missing one counts as a minute.
  double Since(Clock::time_point start) {
    done_ = {};
    completed_ = false;
    progress_ = paints_ = 0;
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (done_ == Clock::time_point{} && Clock::now() < deadline) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
    return completed_ ? std::chrono::duration<double>(done_ - start).count() : 60.0;
  }
  // Of the last transfer, up to its completion.
  int ProgressEvents() const noexcept { return progress_; }
  int Paints() const noexcept { return paints_; }

 private:
  Clock::time_point done_;
  bool completed_ = false;
  int progress_ = 0, paints_ = 0;
};

}  // namespace

bool RunPictureLoadBench() {
  gdip::Session session;
  const std::vector<uint8_t> png = NoisePng();
  const UniqueSafeArray array = ByteArray(png);
  Library library;
  Container form(library, {kWidth + 20, kHeight + 20});
  HostedControl& hosted = form.Add({0, 0, kWidth, kHeight}, {.init_through_bag = false});
  ComPtr<_ucCardel> cardel = hosted.Cardel();
  cardel->put_Border(VARIANT_FALSE);
  cardel->put_CallOut(VARIANT_FALSE);
  const UniqueBstr none(SysAllocString(L""));
  BSTR caption = none.get();
  cardel->put_Caption(&caption);
  form.Repaint();

  SAFEARRAY* bytes = array.get();
  VARIANT_BOOL loaded = VARIANT_FALSE;
  const auto emptied = [&](VARIANT_BOOL redraw) {
    cardel->put_Redraw(VARIANT_FALSE);
    VARIANT ignored;
    cardel->PictureDelete(&ignored);
    cardel->put_Redraw(redraw);
    form.PumpMessages();
  };
  // As a script or any late-bound host passes an array: by value, the variant holding the caller's array.
  const ComPtr<IDispatch> dispatch = hosted.Query<IDispatch>();
  const auto fromStream = [&](VARIANT_BOOL redraw) {
    emptied(redraw);
    VARIANT argument;
    V_VT(&argument) = VT_ARRAY | VT_UI1;
    V_ARRAY(&argument) = bytes;
    DISPPARAMS params{&argument, nullptr, 1, 0};
    VARIANT result;
    VariantInit(&result);
    HRESULT hr = E_FAIL;
    const double seconds = Seconds([&] {
      hr = dispatch->Invoke(kPictureFromStream, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
    });
    loaded = SUCCEEDED(hr) && V_VT(&result) == VT_BOOL ? V_BOOL(&result) : VARIANT_FALSE;
    VariantClear(&result);
    return seconds;
  };
  const auto fromStreamEarlyBound = [&] {
    emptied(VARIANT_FALSE);
    return Seconds([&] { cardel->PictureFromStream(&bytes, &loaded); });
  };
  std::printf("\n%-44s %8s %8s %7s\n", "picture load", "ms", "bare ms", "ratio");
  std::printf("  a %dx%d noise PNG of %zu bytes, medians of %d interleaved runs\n", kSide, kSide, png.size(), kRuns);
  // The first repaint after a load builds the picture layer from the decoded image; later ones reuse it.
  const auto firstRepaint = [&] {
    fromStream(VARIANT_FALSE);
    cardel->put_Redraw(VARIANT_TRUE);
    return Seconds([&] { form.Repaint(); });
  };
  std::vector<double> m = Medians({[&](int) { return Seconds([&] { BareDecode(png); }); },
                                   [&](int) { return fromStream(VARIANT_FALSE); },
                                   [&](int) { return fromStream(VARIANT_TRUE); }, [&](int) { return firstRepaint(); },
                                   [&](int) { return Seconds([&] { form.Repaint(); }); },
                                   [&](int) { return fromStreamEarlyBound(); }});
  const double decode = m[0];
  bool met = loaded == VARIANT_TRUE;
  met &= Report("PictureFromStream by Invoke, Redraw False / decode", m[1], decode, kStreamTarget);
  std::printf("%-44s %8.2f %8.2f %6.2fx  (through the vtable)\n", "PictureFromStream early-bound / decode",
              m[5] * 1e3, decode * 1e3, m[5] / decode);
  std::printf("%-44s %8.2f %8.2f %6.2fx  (the load and its repaint)\n", "PictureFromStream, Redraw True / decode",
              m[2] * 1e3, decode * 1e3, m[2] / decode);
  std::printf("%-44s %8.2f\n%-44s %8.2f\n", "  first repaint after a load", m[3] * 1e3, "  repaint after that",
              m[4] * 1e3);

  const gdip::UniqueBitmap reference = BareDecode(png);
  const Differing differing = DifferingPixels(ImagePixels(*cardel.Get()), reference.get());
  std::printf("%-44s %zu of %d inside, %zu of %d on the edge\n", "pixels of Image differing from the decode",
              differing.inside, (kWidth - 1) * (kHeight - 1), differing.edge, kWidth + kHeight - 1);
  met &= differing.inside == 0;

  // Each run asks for a URL of its own, so that no side is answered from a cache the other filled.
  LoopbackServer server({{"/big.png", {png}}});
  EventRecorder events;
  events.Connect(hosted.Unknown());
  Completion completion(events);
  int request = 0;
  const auto freshUrl = [&] { return server.Url("/big.png?" + std::to_string(++request)); };
  std::vector<double> reads;
  std::vector<double> progressEvents, ringPaints;
  const auto fromUrl = [&](VARIANT_BOOL drawProgress) {
    const UniqueBstr url(SysAllocString(freshUrl().c_str()));
    VARIANT_BOOL started = VARIANT_FALSE;
    const auto start = Clock::now();
    cardel->PictureFromURL(url.get(), VARIANT_TRUE, drawProgress, &started);
    const double seconds = started == VARIANT_TRUE ? completion.Since(start) : 60.0;
    if (drawProgress == VARIANT_TRUE) {
      progressEvents.push_back(completion.ProgressEvents());
      ringPaints.push_back(completion.Paints());
    }
    return seconds;
  };
  m = Medians({[&](int) {
                 const std::wstring url = freshUrl();
                 std::vector<uint8_t> got;
                 const double read = Seconds([&] { got = PlainRead(url, png.size()); });
                 reads.push_back(read);
                 return read + Seconds([&] { BareDecode(got); });
               },
               [&](int) { return fromUrl(VARIANT_TRUE); }, [&](int) { return fromUrl(VARIANT_FALSE); }});
  std::printf("%-44s %8.2f\n", "  plain urlmon read alone", Median(reads) * 1e3);
  met &= Report("PictureFromURL, DrawProgress True / read+decode", m[1], m[0], kUrlTarget);
  std::printf("%-44s %8.0f %8.0f\n", "  progress events, paints (medians)", Median(progressEvents),
              Median(ringPaints));
  met &= Report("PictureFromURL, DrawProgress False / read+decode", m[2], m[0], kUrlTarget);
  SAFEARRAY* arrived = nullptr;
  cardel->PictureGetStream(&arrived);
  const UniqueSafeArray arrivedOwned(arrived);
  const bool same = arrived && arrived->rgsabound[0].cElements == png.size() &&
                    std::equal(png.begin(), png.end(), static_cast<const uint8_t*>(arrived->pvData));
  std::printf("%-44s %s\n", "downloaded bytes equal to the served ones", same ? "yes" : "NO");
  return met && same;
}

}  // namespace cardel::bench
