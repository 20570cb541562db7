#pragma once
// Picture files made in code for the tests, so that no binary picture is kept in the repository.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/gdiplus_handles.h"

namespace cardel::testpictures {

// 0xAARRGGBB at a pixel.
using PixelRule = std::function<uint32_t(int x, int y)>;

gdip::UniqueBitmap MakeBitmap(int width, int height, const PixelRule& rule);
// The file bytes of image in the format of the GDI+ encoder with that MIME type ("image/png", ...).
std::vector<uint8_t> Encode(Gdiplus::GpImage* image, const wchar_t* mime);
std::vector<uint8_t> EncodeBitmap(int width, int height, const PixelRule& rule, const wchar_t* mime);
// A GIF with a palette of four 0xRRGGBB colours, index(x, y) choosing one per pixel; assembled by hand
// since Wine's GIF encoder writes no image data for 32-bit bitmaps.
std::vector<uint8_t> MakeGif(int width, int height, const std::array<uint32_t, 4>& palette,
                             const std::function<int(int x, int y)>& index);
// A single 32-bit image in an icon file, assembled by hand since GDI+ has no icon encoder.
std::vector<uint8_t> MakeIco(int width, int height, uint32_t argb);
// MakeIco(16, 16, ...) damaged the ways that crash the system's icon and cursor loaders.
struct HostileIcon {
  const char* what;
  std::vector<uint8_t> bytes;
};
std::vector<HostileIcon> HostileIcons();
// Icon bytes turned into a cursor file (type 2), hot spot at 0, 0.
std::vector<uint8_t> AsCursor(std::vector<uint8_t> icon);

// A PNG whose header claims width x height and whose data is a few empty rows: sound in structure,
// absurd in size when the header says so.
std::vector<uint8_t> MakePngClaiming(uint32_t width, uint32_t height);

// Every pixel of the image as 0xAARRGGBB (not premultiplied), rows from the top.
std::vector<uint32_t> ReadPixels(Gdiplus::GpBitmap* bitmap);

// A folder of its own under the temporary folder, removed with what it holds at the end.
class TempFolder {
 public:
  TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();
  const std::wstring& Path() const noexcept { return path_; }
  std::wstring Write(const std::wstring& name, const std::vector<uint8_t>& bytes) const;

 private:
  std::wstring path_;
};

}  // namespace cardel::testpictures
