#include "picture/image_decode.h"

#include "common/shared_slots.h"
#include "ole/icon_structure.h"
#include "picture/png_structure.h"
#include "picture/span_stream.h"

namespace cardel {

gdip::UniqueImage LoadImageFromBytes(std::span<const uint8_t> bytes) noexcept {
  if (auto* decodes = reinterpret_cast<LONG*>(LookupSharedSlot(kPictureDecodesKey, 0))) ++*decodes;
  if (bytes.empty() || HasBrokenPngChunks(bytes) || ole::HasBrokenIconStructure(bytes)) return {};
  Microsoft::WRL::ComPtr<IStream> stream = MakeSpanStream(bytes);
  if (!stream) return {};
  // Only a successful load hands over an image; what a failing one leaves in the output is not ours.
  Gdiplus::GpImage* loaded = nullptr;
  if (Gdiplus::DllExports::GdipLoadImageFromStream(stream.Get(), &loaded) != Gdiplus::Ok) return {};
  return gdip::UniqueImage(loaded);
}

}  // namespace cardel
