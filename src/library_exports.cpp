// The four entry points of the in-process server.
#include <windows.h>

#include <iterator>

#include "control/cardel_classes.h"
#include "ole/class_factory.h"
#include "ole/errors.h"
#include "ole/module.h"
#include "ole/registration.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    ole::SetModuleInstance(instance);
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  for (const auto& c : cardel::kClasses)
    if (*c.registration.clsid == clsid) return ole::GetFactory(c.create, riid, object);
  return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() { return ole::ModuleInUse() ? S_FALSE : S_OK; }

STDAPI DllRegisterServer() {
  return ole::GuardedOle([] { return ole::RegisterServer(cardel::ClassRegistrations(), cardel::kTypeLibrary); });
}

STDAPI DllUnregisterServer() {
  return ole::GuardedOle([] { return ole::UnregisterServer(cardel::ClassRegistrations(), cardel::kTypeLibrary); });
}
