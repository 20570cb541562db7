#include "ole/registration.h"

#include <comcat.h>
#include <olectl.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <cwchar>
#include <string>

#include "common/automation_handles.h"
#include "common/win_handles.h"
#include "ole/module.h"
#include "ole/verbs.h"

using Microsoft::WRL::ComPtr;

namespace ole {
namespace {

std::wstring GuidText(const GUID& guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

HRESULT SetValue(HKEY root, const std::wstring& subKey, const wchar_t* name, const std::wstring& value) {
  cardel::UniqueHkey key;
  LSTATUS status = RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                                   key.put(), nullptr);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  status = RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  return HRESULT_FROM_WIN32(status);
}

HRESULT DeleteTree(const std::wstring& subKey) {
  LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, subKey.c_str());
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
    RegDeleteKeyW(HKEY_CLASSES_ROOT, subKey.c_str());
    return S_OK;
  }
  return HRESULT_FROM_WIN32(status);
}

// The 32- and 64-bit libraries register in registry views of their own, but only class ids, interfaces and a
// few other keys are kept apart: a ProgID is one key for both. It stays while the other one still serves the
// class. (On 32-bit Windows there is one view, where this class was just removed.)
bool RegisteredByOtherBitness(const GUID& clsid) {
  const REGSAM otherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
  cardel::UniqueHkey key;
  return RegOpenKeyExW(HKEY_CLASSES_ROOT, (L"CLSID\\" + GuidText(clsid) + L"\\InprocServer32").c_str(), 0,
                       KEY_READ | otherView, key.put()) == ERROR_SUCCESS;
}

// RegisterTypeLib writes the library under its own locale only, but the system's typelib marshaler asks for
// the neutral one (LoadRegTypeLib with LCID 0) and finds nothing without this key: the interfaces then cannot
// be marshalled to another apartment.
std::wstring NeutralLocaleKey(const TypeLibRegistration& typeLib) {
  wchar_t version[16] = {};
  swprintf(version, 16, L"%x.%x", typeLib.major, typeLib.minor);
  return L"TypeLib\\" + GuidText(*typeLib.libId) + L"\\" + version + L"\\0";
}

const wchar_t* PlatformKeyName() { return sizeof(void*) == 8 ? L"win64" : L"win32"; }

HRESULT RegisterClass(const ClassRegistration& c, const TypeLibRegistration& typeLib, const std::wstring& path) {
  const std::wstring key = L"CLSID\\" + GuidText(*c.clsid);
  const HKEY root = HKEY_CLASSES_ROOT;
  HRESULT hr = S_OK;
  auto set = [&](const std::wstring& sub, const wchar_t* name, const std::wstring& value) {
    if (SUCCEEDED(hr)) hr = SetValue(root, sub, name, value);
  };
  set(key, nullptr, c.description);
  set(key + L"\\InprocServer32", nullptr, path);
  set(key + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
  set(key + L"\\TypeLib", nullptr, GuidText(*typeLib.libId));
  set(key + L"\\Version", nullptr, c.version);
  if (c.progId) {
    set(key + L"\\ProgID", nullptr, c.progId);
    set(key + L"\\VersionIndependentProgID", nullptr, c.progId);
    set(c.progId, nullptr, c.description);
    set(std::wstring(c.progId) + L"\\CLSID", nullptr, GuidText(*c.clsid));
  }
  if (c.isControl) {
    set(key + L"\\Control", nullptr, L"");
    set(key + L"\\MiscStatus", nullptr, L"0");
    set(key + L"\\MiscStatus\\1", nullptr, std::to_wstring(c.miscStatus));
    set(key + L"\\ToolboxBitmap32", nullptr, path + L", " + std::to_wstring(c.toolboxBitmapId));
    set(key + L"\\Implemented Categories\\" + GuidText(CATID_Control), nullptr, L"");
    for (const VerbInfo& verb : ControlVerbs())
      set(key + L"\\Verb\\" + std::to_wstring(verb.verb), nullptr, VerbRegistryValue(verb));
  }
  return hr;
}

}  // namespace

HRESULT RegisterServer(std::span<const ClassRegistration> classes, const TypeLibRegistration& typeLib) {
  const std::wstring path = ModulePath();
  if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());

  ComPtr<ITypeLib> lib;
  // Registered with the module's own path: LoadTypeLibEx's REGKIND_REGISTER writes whatever form of the
  // path the loader used, which under Wine is a "\\?\" path.
  HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, &lib);
  if (SUCCEEDED(hr)) hr = RegisterTypeLib(lib.Get(), const_cast<LPOLESTR>(path.c_str()), nullptr);
  if (SUCCEEDED(hr))
    hr = SetValue(HKEY_CLASSES_ROOT, NeutralLocaleKey(typeLib) + L"\\" + PlatformKeyName(), nullptr, path);
  if (FAILED(hr)) return SELFREG_E_TYPELIB;

  for (const auto& c : classes) {
    hr = RegisterClass(c, typeLib, path);
    if (FAILED(hr)) {
      UnregisterServer(classes, typeLib);
      return SELFREG_E_CLASS;
    }
  }
  return S_OK;
}

HRESULT UnregisterServer(std::span<const ClassRegistration> classes, const TypeLibRegistration& typeLib) {
  HRESULT result = S_OK;
  for (const auto& c : classes) {
    if (FAILED(DeleteTree(L"CLSID\\" + GuidText(*c.clsid)))) result = SELFREG_E_CLASS;
    if (c.progId && !RegisteredByOtherBitness(*c.clsid) && FAILED(DeleteTree(c.progId))) result = SELFREG_E_CLASS;
  }
  // Removed first: UnRegisterTypeLib deletes the version key only once no locale key is left under it. The
  // TypeLib key is one for both registry views, so the other bitness's entry beside this one stays.
  const std::wstring neutral = NeutralLocaleKey(typeLib);
  if (FAILED(DeleteTree(neutral + L"\\" + PlatformKeyName()))) result = SELFREG_E_TYPELIB;
  RegDeleteKeyW(HKEY_CLASSES_ROOT, neutral.c_str());
  // A library that is not registered is already in the state unregistering asks for; UnRegisterTypeLib
  // itself reports that as a failure, with a code that differs between systems.
  cardel::UniqueBstr registeredPath;
  if (SUCCEEDED(
          QueryPathOfRegTypeLib(*typeLib.libId, typeLib.major, typeLib.minor, typeLib.lcid, registeredPath.put()))) {
    HRESULT hr = UnRegisterTypeLib(*typeLib.libId, typeLib.major, typeLib.minor, typeLib.lcid,
                                   sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    if (FAILED(hr) && result == S_OK) result = SELFREG_E_TYPELIB;
  }
  return result;
}

}  // namespace ole
