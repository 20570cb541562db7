#include "picture/file_bytes.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "test_pictures.h"

namespace cardel {
namespace {

using ole::RuntimeError;

class FileBytesTest : public ::testing::Test {
 protected:
  testpictures::TempFolder folder_;
};

TEST_F(FileBytesTest, ReadsTheWholeFileExactly) {
  std::vector<uint8_t> bytes(70000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
  const FileBytes file = ReadFileBytes(folder_.Write(L"data.bin", bytes));
  EXPECT_FALSE(file.error);
  EXPECT_EQ(file.bytes, bytes);
}

TEST_F(FileBytesTest, TakesAnyUnicodeName) {
  const std::vector<uint8_t> bytes{1, 2, 3};
  const FileBytes file = ReadFileBytes(folder_.Write(L"Bild \u00e4\u4e2d\u0416 \U0001F600.png", bytes));
  EXPECT_FALSE(file.error);
  EXPECT_EQ(file.bytes, bytes);
}

TEST_F(FileBytesTest, AMissingFileIsNotFoundAndIsNotCreated) {
  const std::wstring path = folder_.Path() + L"\\missing.png";
  EXPECT_EQ(ReadFileBytes(path).error, RuntimeError::FileNotFound);
  EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(ReadFileBytes(folder_.Path() + L"\\no folder\\x.png").error, RuntimeError::PathNotFound);
}

TEST_F(FileBytesTest, AnEmptyFileIsASubscriptError) {
  EXPECT_EQ(ReadFileBytes(folder_.Write(L"empty.png", {})).error, RuntimeError::SubscriptOutOfRange);
}

TEST_F(FileBytesTest, FoldersDevicesAndImpossibleNamesAreAccessErrors) {
  EXPECT_EQ(ReadFileBytes(folder_.Path()).error, RuntimeError::PathFileAccessError);
  EXPECT_EQ(ReadFileBytes(L"NUL").error, RuntimeError::PathFileAccessError);
  EXPECT_EQ(ReadFileBytes(L"").error, RuntimeError::PathFileAccessError);
  const std::wstring withNul(L"a\0b.png", 7);
  EXPECT_EQ(ReadFileBytes(withNul).error, RuntimeError::PathFileAccessError);
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
