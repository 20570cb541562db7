// A real scripting client: the system's VBScript host creates the registered control by its ProgID in a
// process of its own and uses it late-bound, as a script in a web page or an installer would.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "library.h"
#include "ole_support.h"

namespace cardel::oletest {
namespace {

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

class ScriptingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library_.DllUnregisterServer();
    ASSERT_EQ(library_.DllRegisterServer(), S_OK);

    wchar_t temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    directory_ = std::wstring(temp) + L"cardel-script-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(directory_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  }

  void TearDown() override {
    for (const auto& file : files_) DeleteFileW(file.c_str());
    RemoveDirectoryW(directory_.c_str());
    library_.DllUnregisterServer();
  }

  // Writes the script and runs it to its end with the console host.
  ProcessResult RunScript(const wchar_t* name, std::string_view script) {
    const std::wstring path = directory_ + L"\\" + name;
    UniqueKernelHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
      file.release();
      ADD_FAILURE() << "cannot write " << Narrow(path);
      return {};
    }
    files_.push_back(path);
    DWORD written = 0;
    WriteFile(file.get(), script.data(), static_cast<DWORD>(script.size()), &written, nullptr);
    file.reset();
    return RunProcess(L"cscript.exe //nologo \"" + path + L"\"");
  }

  testhost::Library library_;
  std::wstring directory_;
  std::vector<std::wstring> files_;
};

TEST_F(ScriptingTest, ScriptSetsAndReadsPropertiesAndCatchesTheOverflow) {
  const ProcessResult run = RunScript(L"properties.vbs",
                                      "Dim c\r\n"
                                      "Set c = CreateObject(\"VelmarCardel.ucCardel\")\r\n"
                                      "c.BackColorOpacity = 150\r\n"
                                      "c.Caption = \"Hello\"\r\n"
                                      "c.IconCharCode = \"U+F101\"\r\n"
                                      "WScript.Echo c.BackColorOpacity\r\n"
                                      "WScript.Echo c.Caption\r\n"
                                      "WScript.Echo c.IconCharCode\r\n"
                                      "WScript.Echo c.ChrW2(65)\r\n"
                                      "On Error Resume Next\r\n"
                                      "c.PictureContrast = 40000\r\n"
                                      "WScript.Echo Err.Number & \" \" & Err.Description\r\n"
                                      "Set c = Nothing\r\n");
  EXPECT_EQ(run.exitCode, 0u) << run.errors;
  const std::vector<std::string> expected{"100", "Hello", "&HF101", "A", "6 Overflow"};
  EXPECT_EQ(Lines(run.output), expected) << "standard error:\n" << run.errors;
}

}  // namespace
}  // namespace cardel::oletest
