// The picture code's pure parts: the stream over borrowed bytes, the PNG chunk check, decoding, the view of
// a caller's byte array and reading a file's bytes.
#include <gtest/gtest.h>
#include <windows.h>

#include <oleauto.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "common/gdiplus_session.h"
#include "ole/icon_structure.h"
#include "picture/byte_array.h"
#include "picture/file_bytes.h"
#include "picture/image_decode.h"
#include "picture/png_structure.h"
#include "picture/span_stream.h"
#include "test_pictures.h"

using namespace Gdiplus::DllExports;

namespace cardel {
namespace {

using Microsoft::WRL::ComPtr;
using ole::RuntimeError;
using testpictures::EncodeBitmap;

LARGE_INTEGER Offset(int64_t v) {
  LARGE_INTEGER l;
  l.QuadPart = v;
  return l;
}

TEST(SpanStreamTest, ReadsSeeksAndReportsItsSize) {
  const std::vector<uint8_t> bytes{1, 2, 3, 4, 5, 6, 7};
  ComPtr<IStream> stream = MakeSpanStream(bytes);
  ASSERT_TRUE(stream);
  uint8_t got[4]{};
  ULONG read = 0;
  EXPECT_EQ(stream->Read(got, 3, &read), S_OK);
  EXPECT_EQ(read, 3u);
  EXPECT_EQ(got[2], 3);

  ULARGE_INTEGER at{};
  ASSERT_EQ(stream->Seek(Offset(-2), STREAM_SEEK_END, &at), S_OK);
  EXPECT_EQ(at.QuadPart, 5u);
  EXPECT_EQ(stream->Read(got, 4, &read), S_FALSE);
  EXPECT_EQ(read, 2u);
  EXPECT_EQ(got[0], 6);
  EXPECT_EQ(got[1], 7);
  EXPECT_EQ(stream->Read(got, 4, &read), S_FALSE);
  EXPECT_EQ(read, 0u);

  STATSTG stat{};
  ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.cbSize.QuadPart, bytes.size());
  EXPECT_EQ(stat.pwcsName, nullptr);
}

TEST(SpanStreamTest, PresentsTheOwnersMemoryRatherThanACopy) {
  std::vector<uint8_t> bytes{10, 20, 30};
  ComPtr<IStream> stream = MakeSpanStream(bytes);
  bytes[1] = 99;
  uint8_t got[3]{};
  ULONG read = 0;
  stream->Read(got, 3, &read);
  EXPECT_EQ(got[1], 99);
}

TEST(SpanStreamTest, RefusesToChangeTheBytes) {
  std::vector<uint8_t> bytes{1, 2, 3};
  ComPtr<IStream> stream = MakeSpanStream(bytes);
  const uint8_t other[2]{8, 9};
  ULONG written = 7;
  EXPECT_EQ(stream->Write(other, 2, &written), STG_E_ACCESSDENIED);
  EXPECT_EQ(written, 0u);
  EXPECT_EQ(stream->SetSize(ULARGE_INTEGER{}), STG_E_ACCESSDENIED);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 2, 3}));
}

class PngStructureTest : public ::testing::Test {
 protected:
  gdip::Session gdiplus_;
  std::vector<uint8_t> png_ = EncodeBitmap(
      7, 5, [](int x, int) { return 0xFF000000u | x * 30; }, L"image/png");
};

TEST_F(PngStructureTest, AnEncodedPngIsSound) {
  EXPECT_FALSE(HasBrokenPngChunks(png_));
  std::vector<uint8_t> trailing = png_;
  trailing.insert(trailing.end(), {1, 2, 3});
  EXPECT_FALSE(HasBrokenPngChunks(trailing));
}

TEST_F(PngStructureTest, EveryCutShortOfIendIsBroken) {
  for (size_t length = 8; length < png_.size(); ++length) {
    EXPECT_TRUE(HasBrokenPngChunks(std::span(png_).first(length))) << length;
  }
}

// A chunk length beyond the bytes, or no IEND chunk.
TEST_F(PngStructureTest, DamagedChunksAreBroken) {
  for (uint8_t high : {0x00, 0x80}) {
    std::vector<uint8_t> bytes = png_;
    bytes[8] = high;
    bytes[9] = 0x10;
    EXPECT_TRUE(HasBrokenPngChunks(bytes)) << int(high);
  }
  std::vector<uint8_t> bytes = png_;
  std::fill(bytes.end() - 12, bytes.end(), 0);
  EXPECT_TRUE(HasBrokenPngChunks(bytes));
}

TEST_F(PngStructureTest, OtherFormatsAndShortBytesAreLeftToTheDecoder) {
  const std::vector<uint8_t> text{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'};
  EXPECT_FALSE(HasBrokenPngChunks(text));
  EXPECT_FALSE(HasBrokenPngChunks(std::span(png_).first(5)));
  EXPECT_FALSE(HasBrokenPngChunks({}));
  EXPECT_FALSE(HasBrokenPngChunks(testpictures::MakePngClaiming(40000, 40000)));
}

struct Size {
  UINT width = 0, height = 0;
  bool operator==(const Size&) const = default;
};

Size SizeOf(Gdiplus::GpImage* image) {
  Size size;
  GdipGetImageWidth(image, &size.width);
  GdipGetImageHeight(image, &size.height);
  return size;
}

uint32_t Stripes(int x, int) { return x % 2 ? 0xFFFF0000u : 0x800000FFu; }

class ImageDecodeTest : public ::testing::Test {
 protected:
  gdip::Session gdiplus_;
};

TEST(IconStructureTest, HostileIconsAndCursorsAreBrokenAndSoundOnesAreNot) {
  for (const auto& hostile : testpictures::HostileIcons()) {
    EXPECT_TRUE(ole::HasBrokenIconStructure(hostile.bytes)) << hostile.what;
    // The same bytes in a picture object's saved form.
    std::vector<uint8_t> saved{0x6C, 0x74, 0, 0};
    const auto length = static_cast<uint32_t>(hostile.bytes.size());
    for (int i = 0; i < 4; ++i) saved.push_back(static_cast<uint8_t>(length >> (8 * i)));
    saved.insert(saved.end(), hostile.bytes.begin(), hostile.bytes.end());
    EXPECT_TRUE(ole::HasBrokenSavedIcon(saved)) << hostile.what;
  }
  const std::vector<uint8_t> icon = testpictures::MakeIco(16, 16, 0xFF336699);
  EXPECT_FALSE(ole::HasBrokenIconStructure(icon));
  EXPECT_FALSE(ole::HasBrokenIconStructure(testpictures::AsCursor(icon)));
  EXPECT_FALSE(ole::HasBrokenIconStructure(EncodeBitmap(4, 4, [](int, int) { return 0xFF000000u; }, L"image/png")));
}

TEST_F(ImageDecodeTest, DecodesEveryFormatTheControlTakes) {
  const struct {
    const wchar_t* mime;
    int width, height;
  } formats[] = {{L"image/png", 30, 20}, {L"image/jpeg", 17, 9}, {L"image/bmp", 5, 3}};
  for (const auto& f : formats) {
    const std::vector<uint8_t> bytes = EncodeBitmap(f.width, f.height, Stripes, f.mime);
    gdip::UniqueImage image = LoadImageFromBytes(bytes);
    ASSERT_TRUE(image) << f.mime;
    EXPECT_EQ(SizeOf(image.get()), (Size{UINT(f.width), UINT(f.height)})) << f.mime;
  }
  const std::vector<uint8_t> gif =
      testpictures::MakeGif(12, 34, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, [](int x, int y) { return x + y; });
  gdip::UniqueImage decoded = LoadImageFromBytes(gif);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(SizeOf(decoded.get()), (Size{12, 34}));
  const auto pixels = testpictures::ReadPixels(reinterpret_cast<Gdiplus::GpBitmap*>(decoded.get()));
  EXPECT_EQ(pixels[0], 0xFFFF0000u);
  EXPECT_EQ(pixels[1], 0xFF00FF00u);
  EXPECT_EQ(pixels[12 + 2], 0xFFFFFFFFu);

  const auto png = testpictures::ReadPixels(
      reinterpret_cast<Gdiplus::GpBitmap*>(LoadImageFromBytes(EncodeBitmap(4, 2, Stripes, L"image/png")).get()));
  EXPECT_EQ(png[0], 0x800000FFu) << "alpha kept";
  EXPECT_EQ(png[1], 0xFFFF0000u);

  const std::vector<uint8_t> icon = testpictures::MakeIco(16, 16, 0xFF00FF00);
  gdip::UniqueImage image = LoadImageFromBytes(icon);
  ASSERT_TRUE(image);
  EXPECT_EQ(SizeOf(image.get()), (Size{16, 16}));
}

TEST_F(ImageDecodeTest, BytesThatAreNoPictureGiveNothing) {
  const std::string text = "This is a text file, not a picture.\r\n";
  EXPECT_FALSE(LoadImageFromBytes({reinterpret_cast<const uint8_t*>(text.data()), text.size()}));
  EXPECT_FALSE(LoadImageFromBytes({}));
  const std::vector<uint8_t> zeros(64, 0);
  EXPECT_FALSE(LoadImageFromBytes(zeros));
}

// Under Wine some of these cuts crash the decoder itself, so this also shows that none reaches it.
TEST_F(ImageDecodeTest, APngCutAnywhereGivesNothingAndDoesNotCrash) {
  const std::vector<uint8_t> png = EncodeBitmap(40, 30, Stripes, L"image/png");
  for (size_t length = 1; length < png.size(); ++length) {
    EXPECT_FALSE(LoadImageFromBytes(std::span(png).first(length))) << length;
  }
}

TEST_F(ImageDecodeTest, AHugeClaimedSizeFailsOrStaysUndecodedWithoutCrashing) {
  const std::vector<uint8_t> png = testpictures::MakePngClaiming(40000, 40000);
  gdip::UniqueImage image = LoadImageFromBytes(png);
  // Windows decodes lazily and may report the claimed size; Wine refuses at once. Neither may crash.
  if (image) {
    EXPECT_EQ(SizeOf(image.get()), (Size{40000, 40000}));
  }
}

struct DestroyArray {
  void operator()(SAFEARRAY* a) const { SafeArrayDestroy(a); }
};
using Array = std::unique_ptr<SAFEARRAY, DestroyArray>;

Array Bytes(LONG lowerBound, std::vector<uint8_t> values) {
  SAFEARRAYBOUND bound{static_cast<ULONG>(values.size()), lowerBound};
  Array a(SafeArrayCreate(VT_UI1, 1, &bound));
  if (!values.empty()) memcpy(a->pvData, values.data(), values.size());
  return a;
}

std::vector<uint8_t> Seen(const ByteArrayView& view) { return {view.bytes().begin(), view.bytes().end()}; }

TEST(ByteArrayViewTest, AZeroBasedByteArrayIsUsedWhole) {
  Array a = Bytes(0, {1, 2, 3});
  const ByteArrayView view(a.get());
  ASSERT_TRUE(view.usable());
  EXPECT_EQ(Seen(view), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(view.bytes().data(), a->pvData);
}

TEST(ByteArrayViewTest, AnArrayReachingBelowZeroIsReadFromIndexZero) {
  Array a = Bytes(-2, {7, 8, 1, 2});
  const ByteArrayView view(a.get());
  ASSERT_TRUE(view.usable());
  EXPECT_EQ(Seen(view), (std::vector<uint8_t>{1, 2}));
}

// No array, no index 0, no elements, other shapes and element types.
TEST(ByteArrayViewTest, OtherArraysAreNotUsable) {
  EXPECT_FALSE(ByteArrayView(nullptr).usable());
  for (LONG lower : {1, -3}) EXPECT_FALSE(ByteArrayView(Bytes(lower, {1, 2, 3}).get()).usable()) << lower;
  EXPECT_FALSE(ByteArrayView(Bytes(0, {}).get()).usable());
  SAFEARRAYBOUND square[2]{{2, 0}, {2, 0}}, four{4, 0};
  EXPECT_FALSE(ByteArrayView(Array(SafeArrayCreate(VT_UI1, 2, square)).get()).usable());
  EXPECT_FALSE(ByteArrayView(Array(SafeArrayCreate(VT_I4, 1, &four)).get()).usable());
  EXPECT_FALSE(ByteArrayView(Array(SafeArrayCreate(VT_VARIANT, 1, &four)).get()).usable());
}

TEST(ByteArrayViewTest, TheArrayCannotBeFreedWhileItIsViewed) {
  Array a = Bytes(0, {1, 2});
  {
    const ByteArrayView view(a.get());
    EXPECT_EQ(SafeArrayDestroy(a.get()), DISP_E_ARRAYISLOCKED);
  }
  EXPECT_EQ(SafeArrayDestroy(a.release()), S_OK);
}

class FileBytesTest : public ::testing::Test {
 protected:
  testpictures::TempFolder folder_;
};

TEST_F(FileBytesTest, ReadsTheWholeFileExactlyUnderAnyUnicodeName) {
  std::vector<uint8_t> bytes(70000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
  for (const wchar_t* name : {L"data.bin", L"Bild \u00e4\u4e2d\u0416 \U0001F600.png"}) {
    const FileBytes file = ReadFileBytes(folder_.Write(name, bytes));
    EXPECT_FALSE(file.error);
    EXPECT_EQ(file.bytes, bytes);
  }
}

TEST_F(FileBytesTest, AMissingFileIsNotFoundAndIsNotCreated) {
  const std::wstring path = folder_.Path() + L"\\missing.png";
  EXPECT_EQ(ReadFileBytes(path).error, RuntimeError::FileNotFound);
  EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(ReadFileBytes(folder_.Path() + L"\\no folder\\x.png").error, RuntimeError::PathNotFound);
}

// An empty file is a subscript error; folders, devices and impossible names are access errors.
TEST_F(FileBytesTest, EmptyFilesFoldersAndDevicesFail) {
  EXPECT_EQ(ReadFileBytes(folder_.Write(L"empty.png", {})).error, RuntimeError::SubscriptOutOfRange);
  for (const std::wstring& path : {folder_.Path(), std::wstring(L"NUL"), std::wstring(), std::wstring(L"a\0b.png", 7)})
    EXPECT_EQ(ReadFileBytes(path).error, RuntimeError::PathFileAccessError) << path.size();
}

TEST_F(FileBytesTest, AFileLockedByItsWriterIsAnAccessError) {
  const std::wstring path = folder_.Write(L"locked.png", {1, 2});
  HANDLE held = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ReadFileBytes(path).error, RuntimeError::PathFileAccessError);
  CloseHandle(held);
  EXPECT_FALSE(ReadFileBytes(path).error);
}

}  // namespace
}  // namespace cardel
