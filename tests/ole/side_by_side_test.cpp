// Both libraries on one 64-bit machine: each registered by the regsvr32 of its own bitness lands in its own
// registry view, each serves the script host of its own bitness, and removing one leaves the other working.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "VelmarCardel_h.h"
#include "ole_support.h"

namespace cardel::oletest {
namespace {

struct Bitness {
  const wchar_t* name;
  std::wstring ocx;
  const wchar_t* systemFolder;  // where that bitness's regsvr32 and cscript live
  REGSAM view;
};

std::wstring WindowsPath(std::wstring path) {
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

std::wstring WindowsFolder() {
  wchar_t folder[MAX_PATH] = {};
  GetWindowsDirectoryW(folder, MAX_PATH);
  return folder;
}

std::wstring RegisteredValue(REGSAM view, const std::wstring& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ | view, &opened) != ERROR_SUCCESS) return {};
  wchar_t value[MAX_PATH * 2] = {};
  DWORD size = sizeof value;
  const LSTATUS read = RegGetValueW(opened, nullptr, nullptr, RRF_RT_REG_SZ, nullptr, value, &size);
  RegCloseKey(opened);
  return read == ERROR_SUCCESS ? value : L"";
}

class SideBySideTest : public ::testing::Test {
 protected:
  void SetUp() override {
    script_ = std::filesystem::temp_directory_path() / (L"cardel-bits-" + std::to_wstring(GetCurrentProcessId()) + L".vbs");
    std::ofstream(script_, std::ios::binary) << "Set c = CreateObject(\"VelmarCardel.ucCardel\")\r\n"
                                                "c.Caption = \"Hello\"\r\n"
                                                "c.BackColorOpacity = 150\r\n"
                                                "WScript.Echo c.Caption & \" \" & c.BackColorOpacity\r\n";
  }
  void TearDown() override {
    for (const Bitness& b : bits_) Regsvr32(b, L"/u ");
    std::filesystem::remove(script_);
  }

  DWORD Regsvr32(const Bitness& b, const wchar_t* mode) {
    return RunProcess(WindowsFolder() + L'\\' + b.systemFolder + L"\\regsvr32.exe /s " + mode + L'"' + b.ocx + L'"').exitCode;
  }
  std::string Script(const Bitness& b) {
    ProcessResult run =
        RunProcess(WindowsFolder() + L'\\' + b.systemFolder + L"\\cscript.exe //nologo \"" + script_.wstring() + L'"');
    while (!run.output.empty() && (run.output.back() == '\n' || run.output.back() == '\r')) run.output.pop_back();
    return run.exitCode == 0 ? run.output : "failed: " + run.errors;
  }

  const Bitness bits_[2] = {{L"64-bit", OcxPath(), L"system32", KEY_WOW64_64KEY},
                            {L"32-bit", WindowsPath(CARDEL_OTHER_OCX), L"syswow64", KEY_WOW64_32KEY}};
  std::filesystem::path script_;
};

TEST_F(SideBySideTest, EachLibraryServesClientsOfItsOwnBitness) {
  ASSERT_TRUE(std::filesystem::exists(bits_[1].ocx)) << "build the 32-bit library first";
  const std::wstring server = L"CLSID\\" + GuidText(CLSID_ucCardel) + L"\\InprocServer32";
  const std::wstring typeLib = L"TypeLib\\" + GuidText(LIBID_VelmarCardel) + L"\\21.0\\409\\";
  for (const Bitness& b : bits_) {
    SCOPED_TRACE(b.name);
    ASSERT_EQ(Regsvr32(b, L""), 0u);
  }
  for (const Bitness& b : bits_) {
    SCOPED_TRACE(b.name);
    EXPECT_EQ(RegisteredValue(b.view, server), b.ocx);
    EXPECT_EQ(Script(b), "Hello 100");
  }
  EXPECT_EQ(RegisteredValue(KEY_WOW64_64KEY, typeLib + L"win64"), bits_[0].ocx);
  EXPECT_EQ(RegisteredValue(KEY_WOW64_64KEY, typeLib + L"win32"), bits_[1].ocx);
  // The neutral locale, where the typelib marshaler looks, holds both too; each removal takes only its own.
  const std::wstring neutral = L"TypeLib\\" + GuidText(LIBID_VelmarCardel) + L"\\21.0\\0\\";
  EXPECT_EQ(RegisteredValue(KEY_WOW64_64KEY, neutral + L"win64"), bits_[0].ocx);
  EXPECT_EQ(RegisteredValue(KEY_WOW64_64KEY, neutral + L"win32"), bits_[1].ocx);

  // Removing the 32-bit library leaves the 64-bit one registered and working, and the other way round.
  ASSERT_EQ(Regsvr32(bits_[1], L"/u "), 0u);
  EXPECT_EQ(Script(bits_[0]), "Hello 100");
  EXPECT_EQ(RegisteredValue(KEY_WOW64_64KEY, neutral + L"win64"), bits_[0].ocx);
  EXPECT_NE(Script(bits_[1]), "Hello 100");
  ASSERT_EQ(Regsvr32(bits_[1], L""), 0u);
  ASSERT_EQ(Regsvr32(bits_[0], L"/u "), 0u);
  EXPECT_EQ(Script(bits_[1]), "Hello 100");
  EXPECT_NE(Script(bits_[0]), "Hello 100");
}

}  // namespace
}  // namespace cardel::oletest
