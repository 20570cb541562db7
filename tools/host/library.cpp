#include "library.h"

#include <string>

#include "VelmarCardel_h.h"
#include "com_object.h"
#include "host_error.h"

namespace cardel::host {

namespace {

std::wstring ExeDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) ThrowLastError("GetModuleFileNameW");
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

template <class Function>
void Resolve(HMODULE module, const char* name, Function& out) {
  out = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  if (!out) throw HostError(std::string("GetProcAddress ") + name, HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND));
}

}  // namespace

OleApartment::OleApartment() { ThrowIfFailed(OleInitialize(nullptr), "OleInitialize"); }

OleApartment::~OleApartment() { OleUninitialize(); }

Library::Library(const wchar_t* file_name) {
  // A full path, so that a stray copy elsewhere on the search path is never picked up.
  module_.reset(LoadLibraryW((ExeDirectory() + file_name).c_str()));
  if (!module_) ThrowLastError("LoadLibraryW VelmarCardel.ocx");
  Resolve(module_.get(), "DllGetClassObject", DllGetClassObject);
  Resolve(module_.get(), "DllCanUnloadNow", DllCanUnloadNow);
  Resolve(module_.get(), "DllRegisterServer", DllRegisterServer);
  Resolve(module_.get(), "DllUnregisterServer", DllUnregisterServer);
}

HRESULT Library::CreateControl(IUnknown* outer, REFIID riid, void** out) const {
  if (!out) return E_POINTER;
  *out = nullptr;
  ComPtr<IClassFactory> factory;
  const HRESULT hr =
      DllGetClassObject(CLSID_ucCardel, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf()));
  if (FAILED(hr)) return hr;
  return factory->CreateInstance(outer, riid, out);
}

}  // namespace cardel::host
