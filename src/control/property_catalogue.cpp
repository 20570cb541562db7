#include "control/property_catalogue.h"

#include <array>
#include <type_traits>

#include "common/cardel_interfaces.h"
#include "control/cardel_state.h"
#include "ole/control_base.h"

namespace cardel {
namespace {

// The terms of the rows' start values and clamps.
constexpr std::optional<int32_t> none;
constexpr int32_t kTrue = -1;

struct StartValue {
  constexpr StartValue(std::optional<int32_t> v) : initial(v) {}
  constexpr StartValue(int32_t v) : initial(v) {}
  std::optional<int32_t> initial;
  std::optional<int32_t> created;
};

constexpr StartValue OnCreate(int32_t v) {
  StartValue start(none);
  start.created = v;
  return start;
}

#define CARDEL_HOLDER_Control CardelState
#define CARDEL_HOLDER_Host ole::HostHeldProperties

#define CARDEL_STORED(name, dispid, holder, stored, published, start, min, max, effects, saved) \
  static_assert(std::is_same_v<decltype(CARDEL_HOLDER_##holder::name), stored>, #name " is held as another type");
#define CARDEL_OWN(name, dispid)
#define CARDEL_SAVED(name)
#include "control/property_rows.def"

constexpr std::array<PropertyInfo, static_cast<size_t>(Prop::Count)> kCatalogue{{
#define CARDEL_STORED(name, dispid, holder, stored, published, start, min, max, effects, saved)               \
  {Prop::name, L"" #name, dispid, Holder::holder, offsetof(CARDEL_HOLDER_##holder, name), sizeof(stored), \
   sizeof(published), StartValue(start).initial, min, max, effects, StartValue(start).created},
#define CARDEL_OWN(name, dispid)
#define CARDEL_SAVED(name)
#include "control/property_rows.def"
}};

#undef CARDEL_HOLDER_Control
#undef CARDEL_HOLDER_Host

}  // namespace

std::span<const PropertyInfo> PropertyCatalogue() noexcept { return kCatalogue; }

const PropertyInfo& Describe(Prop prop) noexcept { return kCatalogue[static_cast<size_t>(prop)]; }

int32_t ClampValue(int32_t value, const std::optional<int32_t>& min, const std::optional<int32_t>& max) noexcept {
  if (min && value < *min) value = *min;
  if (max && value > *max) value = *max;
  return value;
}

}  // namespace cardel
