#include "control/saved_properties.h"

#include <array>
#include <cstddef>

namespace cardel {
namespace {

// The terms of the rows' saved forms.
using enum SavedKind;

struct SavedForm {
  bool saved = true;
  const wchar_t* key = nullptr;  // the property's name when null
  SavedKind kind = Int32;
  int32_t fallback = 0;
  bool always = false;
  Prop after = Prop::Count;  // written right after this property rather than in reading order
};

constexpr SavedForm Saved(SavedKind kind, int32_t fallback) { return {.kind = kind, .fallback = fallback}; }
constexpr SavedForm SavedAs(const wchar_t* key, SavedKind kind, int32_t fallback) {
  return {.key = key, .kind = kind, .fallback = fallback};
}
constexpr SavedForm SavedAlways(SavedKind kind, int32_t fallback) {
  return {.kind = kind, .fallback = fallback, .always = true};
}
constexpr SavedForm SavedAfter(Prop after, SavedKind kind, int32_t fallback) {
  return {.kind = kind, .fallback = fallback, .after = after};
}
constexpr SavedForm Unsaved{.saved = false};

struct Row {
  SavedForm form;
  const wchar_t* name;
  Prop target;
  SavedSpecial special;
};

constexpr Row kRows[] = {
#define CARDEL_STORED(name, dispid, holder, stored, published, start, min, max, effects, saved) \
  {saved, L"" #name, Prop::name, SavedSpecial::None},
#define CARDEL_OWN(name, dispid) {{}, L"" #name, Prop::Count, SavedSpecial::name},
#define CARDEL_SAVED(name) {{}, L"" #name, Prop::Count, SavedSpecial::name},
#include "control/property_rows.def"
};

constexpr size_t CountSaved() {
  size_t n = 0;
  for (const Row& row : kRows) n += row.form.saved;
  return n;
}

constexpr auto kSaved = [] {
  std::array<SavedProperty, CountSaved()> saved{};
  size_t n = 0;
  for (const Row& row : kRows) {
    if (!row.form.saved) continue;
    const SavedForm& f = row.form;
    saved[n++] = {f.key ? f.key : row.name, f.kind, f.fallback, f.always, row.target, row.special};
  }
  return saved;
}();

// Reading order, except that a row written after another follows it.
constexpr auto kWriteOrder = [] {
  std::array<uint8_t, kSaved.size()> order{};
  size_t n = 0, index = 0;
  for (const Row& row : kRows) {
    if (!row.form.saved) continue;
    if (row.form.after == Prop::Count) order[n++] = static_cast<uint8_t>(index);
    if (row.special == SavedSpecial::None) {
      size_t later = 0;
      for (const Row& other : kRows) {
        if (!other.form.saved) continue;
        if (other.form.after == row.target) order[n++] = static_cast<uint8_t>(later);
        ++later;
      }
    }
    ++index;
  }
  return order;
}();

// Every row written after another then has its place: the other is saved and itself in reading order.
constexpr bool AnchorsInReadingOrder() {
  for (const Row& row : kRows) {
    if (!row.form.saved || row.form.after == Prop::Count) continue;
    bool found = false;
    for (const Row& anchor : kRows)
      found |= anchor.special == SavedSpecial::None && anchor.target == row.form.after && anchor.form.saved &&
               anchor.form.after == Prop::Count;
    if (!found) return false;
  }
  return true;
}
static_assert(AnchorsInReadingOrder(), "a property is written after one that is not saved in reading order");
static_assert(kSaved.size() <= 256, "write order indices are bytes");

}  // namespace

std::span<const SavedProperty> SavedProperties() noexcept { return kSaved; }

std::span<const uint8_t> SavedWriteOrder() noexcept { return kWriteOrder; }

}  // namespace cardel
