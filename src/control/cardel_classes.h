#pragma once
// The classes this library serves, with what registration writes for each.
#include <array>
#include <span>

#include "common/cardel_interfaces.h"
#include "ole/class_factory.h"
#include "ole/registration.h"

namespace cardel {

struct ServedClass {
  ole::ClassRegistration registration;
  ole::CreateFunction create;
};

HRESULT CreateUcCardel(IUnknown* outer, REFIID riid, void** object) noexcept;
HRESULT CreatePpCardel(IUnknown* outer, REFIID riid, void** object) noexcept;

// Windowless, activated in place as soon as it is visible, and told its site before it loads.
constexpr DWORD kUcCardelMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                                      OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;
constexpr int kToolboxBitmapId = 30000;

inline const ServedClass kClasses[] = {
    {{&CLSID_ucCardel, L"ucCardel", L"VelmarCardel.ucCardel", true, kUcCardelMiscStatus, kToolboxBitmapId, L"1.0"},
     CreateUcCardel},
    {{&CLSID_ppCardel, L"ppCardel", nullptr, false, 0, 0, L"1.0"}, CreatePpCardel},
};

inline std::array<ole::ClassRegistration, 2> ClassRegistrations() {
  return {kClasses[0].registration, kClasses[1].registration};
}

inline const ole::TypeLibRegistration kTypeLibrary{&LIBID_VelmarCardel, 33, 0, 0x0409};

}  // namespace cardel
