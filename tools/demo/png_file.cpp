#include "png_file.h"

#include <wrl/client.h>

#include "common/gdiplus_session.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;
using Microsoft::WRL::ComPtr;

namespace cardel::demo {
namespace {

bool FindPngEncoder(CLSID* clsid) {
  UINT count = 0, bytes = 0;
  if (GetImageEncodersSize(&count, &bytes) != Ok || bytes == 0) return false;
  std::vector<BYTE> buffer(bytes);
  auto* codecs = reinterpret_cast<ImageCodecInfo*>(buffer.data());
  if (GetImageEncoders(count, bytes, codecs) != Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    if (wcscmp(codecs[i].MimeType, L"image/png") == 0) {
      *clsid = codecs[i].Clsid;
      return true;
    }
  }
  return false;
}

}  // namespace

bool SavePng(const host::Image& image, const std::wstring& path) {
  gdip::Session session;
  std::vector<uint32_t> argb(image.pixels.size());
  for (size_t i = 0; i < argb.size(); ++i) argb[i] = 0xFF000000u | image.pixels[i];
  gdip::UniqueBitmap bitmap;
  GdipCreateBitmapFromScan0(image.width, image.height, image.width * 4, PixelFormat32bppARGB,
                            reinterpret_cast<BYTE*>(argb.data()), bitmap.put());
  CLSID png;
  if (!bitmap || !FindPngEncoder(&png)) return false;
  return GdipSaveImageToFile(bitmap.get(), path.c_str(), &png, nullptr) == Ok;
}

std::vector<uint8_t> EncodePng(GpBitmap* bitmap) {
  CLSID png;
  ComPtr<IStream> stream;
  if (!FindPngEncoder(&png) || FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return {};
  if (GdipSaveImageToStream(bitmap, stream.Get(), &png, nullptr) != Ok) return {};
  STATSTG stat{};
  if (FAILED(stream->Stat(&stat, STATFLAG_NONAME))) return {};
  std::vector<uint8_t> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
  LARGE_INTEGER start{};
  ULONG read = 0;
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  if (FAILED(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read)) || read != bytes.size()) return {};
  return bytes;
}

}  // namespace cardel::demo
