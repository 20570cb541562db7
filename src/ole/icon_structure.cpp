#include "ole/icon_structure.h"

namespace ole {
namespace {

constexpr size_t kDirectory = 6;
constexpr size_t kEntry = 16;
constexpr size_t kInfoHeader = 40;
constexpr uint32_t kSavedPictureTag = 0x746C;  // "lt": the picture object's saved form
constexpr uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

uint16_t Word(std::span<const uint8_t> b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }
uint32_t Dword(std::span<const uint8_t> b, size_t at) {
  return Word(b, at) | static_cast<uint32_t>(Word(b, at + 2)) << 16;
}

bool IsPng(std::span<const uint8_t> image) {
  if (image.size() < sizeof kPngSignature) return false;
  for (size_t i = 0; i < sizeof kPngSignature; ++i)
    if (image[i] != kPngSignature[i]) return false;
  return true;
}

// One image of the file: a PNG, or a BITMAPINFOHEADER whose colour bitmap and mask fit the entry.
bool IsSoundImage(std::span<const uint8_t> image) {
  if (IsPng(image)) return true;
  if (image.size() < kInfoHeader) return false;
  const uint32_t headerSize = Dword(image, 0);
  const auto width = static_cast<int32_t>(Dword(image, 4));
  const auto doubledHeight = static_cast<int32_t>(Dword(image, 8));
  const uint16_t planes = Word(image, 12), bits = Word(image, 14);
  const uint32_t compression = Dword(image, 16), sizeImage = Dword(image, 20), coloursUsed = Dword(image, 32);
  if (headerSize < kInfoHeader || headerSize > image.size()) return false;
  // The height covers the colour bitmap and the mask, so a drawable image has at least 2.
  if (width <= 0 || doubledHeight < 2 || planes != 1) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  if (compression != 0 && compression != 3) return false;
  if (sizeImage > image.size()) return false;
  const uint64_t paletteLimit = bits <= 8 ? uint64_t{1} << bits : 0;
  if (coloursUsed > paletteLimit && bits <= 8) return false;
  const uint64_t palette = bits <= 8 ? (coloursUsed ? coloursUsed : paletteLimit) : (compression == 3 ? 3 : 0);
  const uint64_t height = static_cast<uint64_t>(doubledHeight) / 2;
  const uint64_t colourRow = (uint64_t(width) * bits + 31) / 32 * 4;
  const uint64_t maskRow = (uint64_t(width) + 31) / 32 * 4;
  const uint64_t needed = headerSize + palette * 4 + (colourRow + maskRow) * height;
  return needed <= image.size();
}

}  // namespace

bool HasBrokenIconStructure(std::span<const uint8_t> bytes) noexcept {
  if (bytes.size() < 4 || Word(bytes, 0) != 0 || (Word(bytes, 2) != 1 && Word(bytes, 2) != 2)) return false;
  if (bytes.size() < kDirectory) return true;
  const uint16_t count = Word(bytes, 4);
  const uint64_t directoryEnd = kDirectory + uint64_t{count} * kEntry;
  if (count == 0 || directoryEnd > bytes.size()) return true;
  for (uint16_t i = 0; i < count; ++i) {
    const size_t entry = kDirectory + size_t{i} * kEntry;
    const uint32_t length = Dword(bytes, entry + 8), offset = Dword(bytes, entry + 12);
    if (offset < directoryEnd || uint64_t{offset} + length > bytes.size()) return true;
    if (!IsSoundImage(bytes.subspan(offset, length))) return true;
  }
  return false;
}

bool HasBrokenSavedIcon(std::span<const uint8_t> saved) noexcept {
  if (saved.size() < 8 || Dword(saved, 0) != kSavedPictureTag) return false;
  const uint32_t length = Dword(saved, 4);
  if (length > saved.size() - 8) return HasBrokenIconStructure(saved.subspan(8));
  return HasBrokenIconStructure(saved.subspan(8, length));
}

}  // namespace ole
