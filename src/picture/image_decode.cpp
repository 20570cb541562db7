#include "picture/image_decode.h"

#include <atomic>

#include "ole/icon_structure.h"
#include "picture/png_structure.h"
#include "picture/span_stream.h"

namespace cardel {
namespace {

std::atomic<long> decodes{0};

}  // namespace

long PictureDecodes() noexcept { return decodes.load(std::memory_order_relaxed); }

gdip::UniqueImage LoadImageFromBytes(std::span<const uint8_t> bytes) noexcept {
  decodes.fetch_add(1, std::memory_order_relaxed);
  if (bytes.empty() || HasBrokenPngChunks(bytes) || ole::HasBrokenIconStructure(bytes)) return {};
  Microsoft::WRL::ComPtr<IStream> stream = MakeSpanStream(bytes);
  if (!stream) return {};
  // Only a successful load hands over an image; what a failing one leaves in the output is not ours.
  Gdiplus::GpImage* loaded = nullptr;
  if (Gdiplus::DllExports::GdipLoadImageFromStream(stream.Get(), &loaded) != Gdiplus::Ok) return {};
  return gdip::UniqueImage(loaded);
}

}  // namespace cardel
