// What installing the library leaves behind: the registry entries that designers, scripting hosts and
// COM itself read, written both by the entry points and by the system's regsvr32, and removed again on
// uninstall; and the resources in the file that those entries point to.
#include <gtest/gtest.h>

#include <comcat.h>
#include <olectl.h>
#include <wrl/client.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "common/cardel_interfaces.h"
#include "library.h"
#include "common/win_handles.h"
#include "ole_support.h"

namespace cardel::oletest {
namespace {

using Microsoft::WRL::ComPtr;

// Categories a control must not claim: it has not been made safe for untrusted scripts or data.
constexpr GUID kSafeForScripting{0x7DD95801, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}};
constexpr GUID kSafeForInitializing{0x7DD95802, 0x9882, 0x11CF, {0x9F, 0xA9, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xC4}};
constexpr IID kIObjectSafety{0xCB5BDC81, 0x93C1, 0x11CF, {0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0, 0x64}};
// The standard automation marshallers: dual interfaces use the first, pure dispatch interfaces the second.
constexpr CLSID kAutomationMarshaller{0x00020424, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr CLSID kDispatchMarshaller{0x00020420, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

constexpr DWORD kRequiredMiscStatus = OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT | OLEMISC_SETCLIENTSITEFIRST;

const std::wstring kProgId = L"VelmarCardel.ucCardel";

std::wstring ControlKey() { return L"CLSID\\" + GuidText(CLSID_ucCardel); }
std::wstring PageKey() { return L"CLSID\\" + GuidText(CLSID_ppCardel); }
std::wstring TypeLibKey() { return L"TypeLib\\" + GuidText(LIBID_VelmarCardel); }
std::wstring InterfaceKey(const IID& iid) { return L"Interface\\" + GuidText(iid); }

// Every key registration creates; unregistration must remove each of them.
std::vector<std::wstring> RegisteredKeys() {
  return {ControlKey(),
          PageKey(),
          kProgId,
          TypeLibKey(),
          InterfaceKey(IID__ucCardel),
          InterfaceKey(DIID___ucCardel),
          InterfaceKey(IID__ppCardel),
          InterfaceKey(IID_DataObject),
          InterfaceKey(IID_DataObjectFiles)};
}

bool ClassesKeyExists(const std::wstring& subKey) {
  UniqueHkey key;
  return RegOpenKeyExW(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// A string value under HKEY_CLASSES_ROOT, "(none)" when absent.
std::wstring ClassesValue(const std::wstring& subKey, const wchar_t* name = nullptr) {
  wchar_t value[1024] = {};
  DWORD bytes = sizeof value - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CLASSES_ROOT, subKey.c_str(), name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, value, &bytes) !=
      ERROR_SUCCESS)
    return L"(none)";
  return value;
}

// Paths compare without regard to case.
void ExpectValue(const std::wstring& key, const wchar_t* name, const std::wstring& expected, bool path = false) {
  const std::wstring actual = ClassesValue(key, name);
  EXPECT_TRUE(path ? _wcsicmp(actual.c_str(), expected.c_str()) == 0 : actual == expected)
      << "HKCR\\" << Narrow(key) << " [" << (name ? Narrow(name) : "(default)") << "] is \"" << Narrow(actual)
      << "\", expected \"" << Narrow(expected) << '"';
}

// The whole registration as designers and COM read it, for a library at ocx.
void ExpectRegistered(const std::wstring& ocx) {
  const std::wstring control = ControlKey();
  ExpectValue(control + L"\\InprocServer32", nullptr, ocx, true);
  ExpectValue(control + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
  ExpectValue(control + L"\\ProgID", nullptr, kProgId);
  ExpectValue(control + L"\\VersionIndependentProgID", nullptr, kProgId);
  EXPECT_TRUE(ClassesKeyExists(control + L"\\Control"));
  ExpectValue(control + L"\\ToolboxBitmap32", nullptr, ocx + L", 30000", true);
  ExpectValue(control + L"\\TypeLib", nullptr, GuidText(LIBID_VelmarCardel));
  ExpectValue(control + L"\\Version", nullptr, L"1.0");
  EXPECT_TRUE(ClassesKeyExists(control + L"\\Implemented Categories\\" + GuidText(CATID_Control)));
  EXPECT_FALSE(ClassesKeyExists(control + L"\\Implemented Categories\\" + GuidText(kSafeForScripting)));
  EXPECT_FALSE(ClassesKeyExists(control + L"\\Implemented Categories\\" + GuidText(kSafeForInitializing)));
  // Designers list the Properties verb on their menus from here, without a live object.
  ExpectValue(control + L"\\Verb\\-7", nullptr, L"&Properties...,0,2");

  const std::wstring misc = ClassesValue(control + L"\\MiscStatus\\1");
  const DWORD status = std::wcstoul(misc.c_str(), nullptr, 10);
  EXPECT_EQ(status & kRequiredMiscStatus, kRequiredMiscStatus) << "MiscStatus\\1 is " << Narrow(misc);

  ExpectValue(kProgId + L"\\CLSID", nullptr, GuidText(CLSID_ucCardel));
  ExpectValue(PageKey() + L"\\InprocServer32", nullptr, ocx, true);

  // Version keys of type libraries are written in hexadecimal: 33.0 is "21.0".
  EXPECT_TRUE(ClassesKeyExists(TypeLibKey() + L"\\21.0"));
  ExpectValue(TypeLibKey() + L"\\21.0", nullptr, L"VelmarCardel");
  const wchar_t* platform = sizeof(void*) == 8 ? L"win64" : L"win32";
  ExpectValue(TypeLibKey() + L"\\21.0\\409\\" + platform, nullptr, ocx, true);
  // The typelib marshaler looks the library up under the neutral locale.
  ExpectValue(TypeLibKey() + L"\\21.0\\0\\" + platform, nullptr, ocx, true);
  ExpectValue(InterfaceKey(IID__ucCardel) + L"\\ProxyStubClsid32", nullptr, GuidText(kAutomationMarshaller));
  ExpectValue(InterfaceKey(DIID___ucCardel) + L"\\ProxyStubClsid32", nullptr, GuidText(kDispatchMarshaller));
  ExpectValue(InterfaceKey(IID__ucCardel) + L"\\TypeLib", nullptr, GuidText(LIBID_VelmarCardel));

  for (LCID lcid : {0x409, 0}) {
    ComPtr<ITypeLib> lib;
    ASSERT_EQ(LoadRegTypeLib(LIBID_VelmarCardel, 33, 0, lcid, &lib), S_OK) << "locale " << lcid;
    ComPtr<ITypeInfo> coclass;
    EXPECT_EQ(lib->GetTypeInfoOfGuid(CLSID_ucCardel, &coclass), S_OK);
  }
}

void ExpectUnregistered() {
  for (const auto& key : RegisteredKeys()) EXPECT_FALSE(ClassesKeyExists(key)) << "HKCR\\" << Narrow(key) << " remains";
  for (LCID lcid : {0x409, 0}) {
    ComPtr<ITypeLib> lib;
    EXPECT_NE(LoadRegTypeLib(LIBID_VelmarCardel, 33, 0, lcid, &lib), S_OK) << "locale " << lcid;
  }
}

class RegistrationTest : public ::testing::Test {
 protected:
  // Whatever a failed run left behind must not decide this one.
  void SetUp() override { library_.DllUnregisterServer(); }
  void TearDown() override { library_.DllUnregisterServer(); }

  host::Library library_;
  const std::wstring ocx_ = OcxPath();
};

// Registering and unregistering twice both succeed.
TEST_F(RegistrationTest, EntryPointWritesEveryKeyAndRemovesThemAll) {
  ASSERT_EQ(library_.DllRegisterServer(), S_OK);
  ASSERT_EQ(library_.DllRegisterServer(), S_OK);
  ExpectRegistered(ocx_);
  EXPECT_EQ(library_.DllUnregisterServer(), S_OK);
  EXPECT_EQ(library_.DllUnregisterServer(), S_OK);
  ExpectUnregistered();
}

TEST_F(RegistrationTest, Regsvr32RegistersAndUnregisters) {
  const ProcessResult registered = RunProcess(L"regsvr32.exe /s \"" + ocx_ + L"\"");
  EXPECT_EQ(registered.exitCode, 0u) << registered.output << registered.errors;
  ExpectRegistered(ocx_);

  const ProcessResult unregistered = RunProcess(L"regsvr32.exe /s /u \"" + ocx_ + L"\"");
  EXPECT_EQ(unregistered.exitCode, 0u) << unregistered.output << unregistered.errors;
  ExpectUnregistered();
}

// The ProgID creates the control, which is in the control category and claims no safety.
TEST_F(RegistrationTest, ProgIdCreatesAControlNotMarkedSafe) {
  ASSERT_EQ(library_.DllRegisterServer(), S_OK);
  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(kProgId.c_str(), &clsid), S_OK);
  EXPECT_EQ(clsid, CLSID_ucCardel);
  LPOLESTR progId = nullptr;
  ASSERT_EQ(ProgIDFromCLSID(CLSID_ucCardel, &progId), S_OK);
  EXPECT_EQ(std::wstring(progId), kProgId);
  CoTaskMemFree(progId);
  ComPtr<_ucCardel> control;
  ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__ucCardel,
                             reinterpret_cast<void**>(control.GetAddressOf())),
            S_OK);
  ComPtr<IUnknown> safety;
  EXPECT_EQ(control->QueryInterface(kIObjectSafety, reinterpret_cast<void**>(safety.GetAddressOf())), E_NOINTERFACE);

  ComPtr<ICatInformation> categories;
  ASSERT_EQ(CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ICatInformation,
                             reinterpret_cast<void**>(categories.GetAddressOf())),
            S_OK);
  for (const auto& [id, expected] : {std::pair{CATID_Control, S_OK}, std::pair{kSafeForScripting, S_FALSE},
                                     std::pair{kSafeForInitializing, S_FALSE}}) {
    GUID category = id, noneRequired = GUID_NULL;
    EXPECT_EQ(categories->IsClassOfCategories(CLSID_ucCardel, 1, &category, 0, &noneRequired), expected)
        << Narrow(GuidText(category));
  }
}

// Resources of the file itself, which registration points designers and installers to.
TEST(ResourceTest, CarriesTheTypeLibraryAndTheToolboxBitmap) {
  UniqueModule module(LoadLibraryExW(OcxPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  ASSERT_TRUE(module) << "cannot load VelmarCardel.ocx, error " << GetLastError();
  const auto resource = [&](const wchar_t* type, int id) -> std::string {
    HRSRC found = FindResourceW(module.get(), MAKEINTRESOURCEW(id), type);
    if (!found) return {};
    return {static_cast<const char*>(LockResource(LoadResource(module.get(), found))), SizeofResource(module.get(), found)};
  };
  EXPECT_EQ(resource(L"TYPELIB", 1).substr(0, 4), "MSFT");
  const std::string bitmap = resource(RT_BITMAP, 30000);
  ASSERT_GE(bitmap.size(), sizeof(BITMAPINFOHEADER) + 16u * 15u * 3u);
  BITMAPINFOHEADER header;
  std::memcpy(&header, bitmap.data(), sizeof header);
  EXPECT_EQ(header.biWidth, 16);
  EXPECT_EQ(std::abs(header.biHeight), 15);
  EXPECT_EQ(header.biBitCount, 24);
}

TEST(VersionTest, VersionBlockNamesTheLibrary) {
  const std::wstring ocx = OcxPath();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(ocx.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<uint8_t> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(ocx.c_str(), 0, size, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  // One version for the file and the product, from the build; the text forms begin with the same numbers.
  EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
  EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
  const std::wstring numbers = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                               std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                               std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
                               std::to_wstring(LOWORD(fixed->dwFileVersionLS));

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                             &length));
  ASSERT_GE(length, 4u);
  EXPECT_EQ(translation[0], 0x0C0A);
  EXPECT_EQ(translation[1], 1200);

  struct Entry {
    const wchar_t* name;
    const wchar_t* value;
  };
  const auto text = [&](const wchar_t* name) -> std::wstring {
    const std::wstring path = std::wstring(L"\\StringFileInfo\\0C0A04B0\\") + name;
    wchar_t* value = nullptr;
    if (!VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) return L"(missing)";
    return value ? value : L"";
  };
  for (const Entry& e : {Entry{L"ProductName", L"VelmarCardel"}, Entry{L"InternalName", L"VelmarCardel"},
                         Entry{L"OriginalFilename", L"VelmarCardel.ocx"}, Entry{L"OLESelfRegister", L""}})
    EXPECT_EQ(text(e.name), e.value) << Narrow(e.name);
  for (const wchar_t* name : {L"FileVersion", L"ProductVersion"}) {
    const std::wstring value = text(name);
    EXPECT_EQ(value.substr(0, numbers.size()), numbers) << Narrow(name) << " is " << Narrow(value);
    EXPECT_TRUE(value.size() == numbers.size() || value[numbers.size()] == L' ') << Narrow(value);
  }
}

}  // namespace
}  // namespace cardel::oletest
