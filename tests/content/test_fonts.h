#pragma once
// Fonts for the caption tests: OLE fonts by name, and FontAwesome renamed so that only a private
// collection knows it, published to the control the way a host does (thread slots, key 252).
#include <windows.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <string>

#include "common/gdiplus_handles.h"
#include "published_slot.h"

namespace cardel::testing {

using Microsoft::WRL::ComPtr;

inline constexpr wchar_t kIconFamily[] = L"FontAwesome";
inline constexpr wchar_t kPrivateFamily[] = L"CardelGlyph";  // same length as FontAwesome
inline constexpr wchar_t kSolidSquare = 0xF0C8;               // FontAwesome's "square"

ComPtr<IFont> MakeFont(const wchar_t* name, double points, bool bold = false, bool underline = false,
                       bool strikethrough = false);

// FontAwesome's file under the family name kPrivateFamily, in a private font collection.
class PrivateGlyphFont {
 public:
  PrivateGlyphFont();
  PrivateGlyphFont(const PrivateGlyphFont&) = delete;
  PrivateGlyphFont& operator=(const PrivateGlyphFont&) = delete;
  ~PrivateGlyphFont();
  Gdiplus::GpFontCollection* Collection() const { return collection_.get(); }
  int FamilyCount() const;

 private:
  std::wstring file_;
  gdip::UniquePrivateFontCollection collection_;
};

// Publishes a font collection to the controls on this thread until destroyed.
class PublishedCollection {
 public:
  explicit PublishedCollection(Gdiplus::GpFontCollection* collection);
  bool Published() const { return slot_.Published(); }

 private:
  host::PublishedSlot slot_;
};

}  // namespace cardel::testing
