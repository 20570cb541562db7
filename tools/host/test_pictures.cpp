#include "test_pictures.h"

#include <windows.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <stdexcept>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace cardel::testpictures {
namespace {

CLSID EncoderFor(const wchar_t* mime) {
  UINT count = 0, size = 0;
  if (GdipGetImageEncodersSize(&count, &size) != Ok || size == 0) throw std::runtime_error("no encoders");
  std::vector<uint8_t> storage(size);
  auto* codecs = reinterpret_cast<ImageCodecInfo*>(storage.data());
  if (GdipGetImageEncoders(count, size, codecs) != Ok) throw std::runtime_error("no encoders");
  for (UINT i = 0; i < count; ++i) {
    if (wcscmp(codecs[i].MimeType, mime) == 0) return codecs[i].Clsid;
  }
  throw std::runtime_error("no encoder for the format");
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
void PutBig32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

uint32_t Crc32(const uint8_t* data, size_t size) {
  uint32_t crc = 0xFFFFFFFF;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  PutBig32(out, static_cast<uint32_t>(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutBig32(out, Crc32(out.data() + start, out.size() - start));
}

}  // namespace

gdip::UniqueBitmap MakeBitmap(int width, int height, const PixelRule& rule) {
  gdip::UniqueBitmap bitmap;
  if (GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, bitmap.put()) != Ok)
    throw std::runtime_error("bitmap not created");
  BitmapData data{};
  const GpRect all{0, 0, width, height};
  if (GdipBitmapLockBits(bitmap.get(), &all, ImageLockModeWrite, PixelFormat32bppARGB, &data) != Ok)
    throw std::runtime_error("bitmap not locked");
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(data.Scan0) + y * data.Stride);
    for (int x = 0; x < width; ++x) row[x] = rule(x, y);
  }
  GdipBitmapUnlockBits(bitmap.get(), &data);
  return bitmap;
}

std::vector<uint8_t> Encode(GpImage* image, const wchar_t* mime) {
  const CLSID encoder = EncoderFor(mime);
  IStream* raw = nullptr;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &raw))) throw std::runtime_error("no stream");
  Microsoft::WRL::ComPtr<IStream> stream;
  stream.Attach(raw);
  if (GdipSaveImageToStream(image, stream.Get(), &encoder, nullptr) != Ok) throw std::runtime_error("not encoded");
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  std::vector<uint8_t> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
  const LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  ULONG read = 0;
  stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
  bytes.resize(read);
  return bytes;
}

std::vector<uint8_t> EncodeBitmap(int width, int height, const PixelRule& rule, const wchar_t* mime) {
  gdip::UniqueBitmap bitmap = MakeBitmap(width, height, rule);
  return Encode(bitmap.get(), mime);
}

std::vector<uint8_t> MakeGif(int width, int height, const std::array<uint32_t, 4>& palette,
                             const std::function<int(int x, int y)>& index) {
  std::vector<uint8_t> out{'G', 'I', 'F', '8', '9', 'a'};
  Put16(out, width);
  Put16(out, height);
  out.insert(out.end(), {0xF1, 0, 0});  // a global table of 4 colours
  for (uint32_t colour : palette) out.insert(out.end(), {uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour)});
  out.push_back(',');
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, width);
  Put16(out, height);
  out.push_back(0);
  out.push_back(2);  // the smallest code size, so codes are 3 bits wide

  // A clear code before every second pixel keeps the decoder's table too small to widen its codes,
  // so each pixel can go out as its own 3-bit code.
  constexpr uint32_t kClear = 4, kEnd = 5;
  std::vector<uint8_t> packed;
  uint32_t bits = 0, count = 0;
  const auto put = [&](uint32_t code) {
    bits |= code << count;
    count += 3;
    while (count >= 8) {
      packed.push_back(static_cast<uint8_t>(bits));
      bits >>= 8;
      count -= 8;
    }
  };
  for (int i = 0; i < width * height; ++i) {
    if (i % 2 == 0) put(kClear);
    put(static_cast<uint32_t>(index(i % width, i / width)) & 3);
  }
  put(kEnd);
  if (count) packed.push_back(static_cast<uint8_t>(bits));
  for (size_t at = 0; at < packed.size(); at += 255) {
    const size_t block = std::min<size_t>(255, packed.size() - at);
    out.push_back(static_cast<uint8_t>(block));
    out.insert(out.end(), packed.begin() + at, packed.begin() + at + block);
  }
  out.push_back(0);
  out.push_back(';');
  return out;
}

std::vector<uint8_t> MakeIco(int width, int height, uint32_t argb) {
  const uint32_t maskStride = ((width + 31) / 32) * 4;
  const uint32_t imageSize = 40 + width * height * 4 + maskStride * height;
  std::vector<uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);  // an icon
  Put16(out, 1);  // one image
  out.push_back(static_cast<uint8_t>(width));
  out.push_back(static_cast<uint8_t>(height));
  out.push_back(0);
  out.push_back(0);
  Put16(out, 1);
  Put16(out, 32);
  Put32(out, imageSize);
  Put32(out, 6 + 16);
  Put32(out, 40);
  Put32(out, width);
  Put32(out, height * 2);  // colour rows, then mask rows
  Put16(out, 1);
  Put16(out, 32);
  for (int i = 0; i < 6; ++i) Put32(out, 0);
  for (int i = 0; i < width * height; ++i) Put32(out, argb);
  out.insert(out.end(), maskStride * height, 0);
  return out;
}

std::vector<uint8_t> AsCursor(std::vector<uint8_t> icon) {
  icon[2] = 2;
  for (size_t at : {10u, 11u, 12u, 13u}) icon[at] = 0;
  return icon;
}

std::vector<HostileIcon> HostileIcons() {
  const std::vector<uint8_t> good = MakeIco(16, 16, 0xFF336699);
  auto with = [&](size_t at, uint32_t value, std::vector<uint8_t> bytes) {
    for (size_t i = 0; i < 4 && at + i < bytes.size(); ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    return bytes;
  };
  constexpr size_t kLength = 14, kOffset = 18, kHeader = 22;
  std::vector<HostileIcon> hostile = {
      {"bitmap height 0", with(kHeader + 8, 0, good)},
      {"cursor with bitmap height 0", AsCursor(with(kHeader + 8, 0, good))},
      {"image length 0xFFFFFFFF", with(kLength, 0xFFFFFFFF, good)},
      {"image size field 0xFFFFFFFF", with(kHeader + 20, 0xFFFFFFFF, good)},
      {"image offset past the end", with(kOffset, static_cast<uint32_t>(good.size()), good)},
      {"image offset inside the directory", with(kOffset, 8, good)},
      {"no images", with(4, 0, good)},
      {"width 0", with(kHeader + 4, 0, good)},
      {"7 bits a pixel", with(kHeader + 12, 0x00070001, good)},
      {"header size past the image", with(kHeader, 0x10000, good)},
  };
  for (size_t cut : {size_t{5}, size_t{21}, size_t{40}, good.size() - 1})
    hostile.push_back({"truncated", std::vector<uint8_t>(good.begin(), good.begin() + static_cast<ptrdiff_t>(cut))});
  return hostile;
}

std::vector<uint8_t> MakePngClaiming(uint32_t width, uint32_t height) {
  std::vector<uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  PutBig32(header, width);
  PutBig32(header, height);
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, no interlace
  PutChunk(out, "IHDR", header);
  // A zlib stream of one stored, empty final block: too few rows, but well formed.
  PutChunk(out, "IDAT", {0x78, 0x01, 0x01, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x01});
  PutChunk(out, "IEND", {});
  return out;
}

std::vector<uint32_t> ReadPixels(GpBitmap* bitmap) {
  UINT width = 0, height = 0;
  GdipGetImageWidth(bitmap, &width);
  GdipGetImageHeight(bitmap, &height);
  BitmapData data{};
  const GpRect all{0, 0, static_cast<INT>(width), static_cast<INT>(height)};
  if (GdipBitmapLockBits(bitmap, &all, ImageLockModeRead, PixelFormat32bppARGB, &data) != Ok)
    throw std::runtime_error("bitmap not locked");
  std::vector<uint32_t> pixels(width * height);
  for (UINT y = 0; y < height; ++y)
    memcpy(&pixels[y * width], static_cast<uint8_t*>(data.Scan0) + y * data.Stride, width * 4);
  GdipBitmapUnlockBits(bitmap, &data);
  return pixels;
}

TempFolder::TempFolder() {
  static int made = 0;
  path_ = (std::filesystem::temp_directory_path() / (L"cardel-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                                      std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++made)))
              .wstring();
  if (!std::filesystem::create_directory(path_)) throw std::runtime_error("no temporary folder");
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::wstring TempFolder::Write(const std::wstring& name, const std::vector<uint8_t>& bytes) const {
  const std::wstring full = path_ + L"\\" + name;
  HANDLE file = CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("file not created");
  DWORD written = 0;
  const BOOL ok = bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok || written != bytes.size()) throw std::runtime_error("file not written");
  return full;
}

}  // namespace cardel::testpictures
