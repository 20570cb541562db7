#include "test_fonts.h"

#include <olectl.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string_view>
#include <vector>

#include "common/published_font_collection.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace cardel::testing {
namespace {

std::wstring WindowsFontFile(const wchar_t* file) {
  wchar_t directory[MAX_PATH] = {};
  GetWindowsDirectoryW(directory, MAX_PATH);
  return std::wstring(directory) + L"\\Fonts\\" + file;
}

std::vector<char> ReadFile(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Replaces every copy of from (as ASCII and as UTF-16BE, the two ways a name table spells it).
void Rename(std::vector<char>& bytes, std::wstring_view from, std::wstring_view to) {
  for (int wide = 0; wide < 2; ++wide) {
    std::string needle, replacement;
    for (size_t i = 0; i < from.size(); ++i) {
      if (wide) needle.push_back('\0'), replacement.push_back('\0');
      needle.push_back(static_cast<char>(from[i]));
      replacement.push_back(static_cast<char>(to[i]));
    }
    for (auto at = std::search(bytes.begin(), bytes.end(), needle.begin(), needle.end()); at != bytes.end();
         at = std::search(at, bytes.end(), needle.begin(), needle.end()))
      at = std::copy(replacement.begin(), replacement.end(), at);
  }
}

}  // namespace

ComPtr<IFont> MakeFont(const wchar_t* name, double points, bool bold, bool underline, bool strikethrough) {
  CY size{};
  size.int64 = static_cast<LONGLONG>(points * 10000);
  FONTDESC desc{sizeof(FONTDESC), const_cast<LPOLESTR>(name), size, static_cast<SHORT>(bold ? FW_BOLD : FW_NORMAL),
                DEFAULT_CHARSET, FALSE, underline, strikethrough};
  ComPtr<IFont> font;
  OleCreateFontIndirect(&desc, IID_PPV_ARGS(&font));
  return font;
}

PrivateGlyphFont::PrivateGlyphFont() {
  std::vector<char> bytes = ReadFile(WindowsFontFile(L"fontawesome-webfont.ttf"));
  Rename(bytes, kIconFamily, kPrivateFamily);
  wchar_t directory[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, directory);
  file_ = std::wstring(directory) + L"cardel-private-glyphs.ttf";
  std::ofstream(file_.c_str(), std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  GdipNewPrivateFontCollection(collection_.put());
  if (collection_) GdipPrivateAddFontFile(collection_.get(), file_.c_str());
}

PrivateGlyphFont::~PrivateGlyphFont() {
  collection_.reset();
  DeleteFileW(file_.c_str());
}

int PrivateGlyphFont::FamilyCount() const {
  INT count = 0;
  if (collection_) GdipGetFontCollectionFamilyCount(collection_.get(), &count);
  return count;
}

PublishedCollection::PublishedCollection(GpFontCollection* collection)
    : slot_(kFontCollectionKey, reinterpret_cast<uintptr_t>(collection)) {}

}  // namespace cardel::testing
