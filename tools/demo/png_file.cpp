#include "png_file.h"

#include <vector>

#include "render/gdiplus_handles.h"
#include "render/gdiplus_session.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

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

bool SavePng(const testhost::Image& image, const std::wstring& path) {
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

}  // namespace cardel::demo
