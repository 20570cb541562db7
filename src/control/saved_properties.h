#pragma once
// How the control's properties are kept in a saved form: key, variant kind and default of every
// saved value, in reading order, and the order of writing. Both come from property_rows.def; the
// stored members themselves are described by the property catalogue.
#include <cstdint>
#include <span>

#include "control/property_catalogue.h"

namespace cardel {

enum class SavedKind : uint8_t { Int16, Int32, Boolean };

// Values that are not plain scalars of the catalogue.
enum class SavedSpecial : uint8_t {
  None,
#define CARDEL_STORED(...)
#define CARDEL_OWN(name, dispid) name,
#define CARDEL_SAVED(name) name,
#include "control/property_rows.def"
};

struct SavedProperty {
  const wchar_t* key;
  SavedKind kind;
  int32_t fallback;      // the default for reading and writing (scalars)
  bool alwaysWritten;    // written without a default, so the key is always present
  Prop target;           // for scalars
  SavedSpecial special;
};

// Rows in reading order.
std::span<const SavedProperty> SavedProperties() noexcept;

// Indices into SavedProperties() in writing order.
std::span<const uint8_t> SavedWriteOrder() noexcept;

}  // namespace cardel
