#pragma once
// The control's stored scalar properties as a table read at run time: published name and DISPID, where
// the value lives and how wide it is, its start values, its clamp, and what a change does. The rows come
// from property_rows.def; setters, getters, initialisation and the tests read this table.
#include <windows.h>
#include <oaidl.h>
#include <olectl.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "common/system_colours.h"

namespace cardel {

enum class Prop : uint8_t {
#define CARDEL_STORED(name, ...) name,
#define CARDEL_OWN(name, dispid)
#define CARDEL_SAVED(name)
#include "control/property_rows.def"
  Count
};

// What a setter does after storing, in this order.
enum Effect : uint16_t {
  kNotifyAccessibleState = 1 << 0,     // tell assistive technology the control's state changed
  kNotifyAccessibleName = 1 << 1,      // ... or its name
  kApplyHandPointer = 1 << 2,          // take the hand pointer, or give it back
  kNotifyChange = 1 << 3,              // tell the host the property changed
  kSwitchAcrylicSurface = 1 << 4,      // prepare or release the acrylic surface with the new value
  kRebuildBoxShadow = 1 << 5,          // BuildBoxShadow, which also drops the retained stretched shadow
  kDropPictureBrush = 1 << 6,          // drop the picture brush and the retained picture layer
  kDropPictureBrushIfShadow = 1 << 7,  // drop them only while PictureShadow is exactly True
  kDisposeCaptionShadow = 1 << 8,      // dispose the caption shadow image
  kMarkCaptionShadowDirty = 1 << 9,    // the caption shadow must be rebuilt
  kApplyAutoSize = 1 << 10,            // size the control to its content
  // What the control shows changed: drop the retained composed box, and repaint unless Redraw is False.
  kRepaint = 1 << 11,
};

enum class Holder : uint8_t { Control, Host };

struct PropertyInfo {
  Prop prop;
  const wchar_t* name;
  DISPID dispid;
  Holder holder;
  uint16_t offset;         // of the member inside CardelState or ole::HostHeldProperties
  uint8_t storedBytes;     // 2 or 4
  uint8_t publishedBytes;  // 2 or 4
  std::optional<int32_t> initial;  // set by the new-control initialisation when present
  std::optional<int32_t> min;
  std::optional<int32_t> max;
  uint16_t effects;
  std::optional<int32_t> created;  // set when the control is created, whether it is then new or loaded
};

// The published properties outside the scalar table, which have representations of their own.
namespace dispids {
#define CARDEL_STORED(...)
#define CARDEL_OWN(name, dispid) constexpr DISPID name = dispid;
#define CARDEL_SAVED(name)
#include "control/property_rows.def"
}  // namespace dispids

std::span<const PropertyInfo> PropertyCatalogue() noexcept;
const PropertyInfo& Describe(Prop prop) noexcept;

// `ClampValue`: min is tested first, then max.
int32_t ClampValue(int32_t value, const std::optional<int32_t>& min, const std::optional<int32_t>& max) noexcept;

}  // namespace cardel
