#include "picture/png_structure.h"

#include <gtest/gtest.h>

#include "render/gdiplus_session.h"
#include "test_pictures.h"

namespace cardel {
namespace {

using testpictures::EncodeBitmap;

class PngStructureTest : public ::testing::Test {
 protected:
  gdip::Session gdiplus_;
  std::vector<uint8_t> png_ = EncodeBitmap(7, 5, [](int x, int) { return 0xFF000000u | x * 30; }, L"image/png");
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

TEST_F(PngStructureTest, AChunkLengthBeyondTheBytesIsBroken) {
  std::vector<uint8_t> bytes = png_;
  // The first chunk's length field, made larger than anything in the file.
  bytes[8] = 0x00;
  bytes[9] = 0x10;
  EXPECT_TRUE(HasBrokenPngChunks(bytes));
  bytes[8] = 0x80;
  EXPECT_TRUE(HasBrokenPngChunks(bytes));
}

TEST_F(PngStructureTest, AMissingIendIsBroken) {
  std::vector<uint8_t> bytes = png_;
  bytes.resize(bytes.size() - 12);
  bytes.insert(bytes.end(), 12, 0);
  EXPECT_TRUE(HasBrokenPngChunks(bytes));
}

TEST_F(PngStructureTest, OtherFormatsAndShortBytesAreLeftToTheDecoder) {
  const std::vector<uint8_t> text{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'};
  EXPECT_FALSE(HasBrokenPngChunks(text));
  EXPECT_FALSE(HasBrokenPngChunks(std::span(png_).first(5)));
  EXPECT_FALSE(HasBrokenPngChunks({}));
  EXPECT_FALSE(HasBrokenPngChunks(testpictures::MakePngClaiming(40000, 40000)));
}

}  // namespace
}  // namespace cardel
