// A real scripting client: the system's VBScript host creates the registered control by its ProgID in a
// process of its own and uses it late-bound, as a script in a web page or an installer would.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "library.h"
#include "ole_support.h"

namespace cardel::oletest {
namespace {

TEST(ScriptingTest, ScriptSetsAndReadsPropertiesAndCatchesTheOverflow) {
  testhost::Library library;
  library.DllUnregisterServer();
  ASSERT_EQ(library.DllRegisterServer(), S_OK);
  const auto script =
      std::filesystem::temp_directory_path() / (L"cardel-script-" + std::to_wstring(GetCurrentProcessId()) + L".vbs");
  std::ofstream(script, std::ios::binary) << "Dim c\r\n"
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
                                             "Set c = Nothing\r\n";
  const ProcessResult run = RunProcess(L"cscript.exe //nologo \"" + script.wstring() + L"\"");
  std::filesystem::remove(script);
  library.DllUnregisterServer();

  EXPECT_EQ(run.exitCode, 0u) << run.errors;
  std::vector<std::string> lines;
  std::istringstream output(run.output);
  for (std::string line; std::getline(output, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    lines.push_back(line);
  }
  const std::vector<std::string> expected{"100", "Hello", "&HF101", "A", "6 Overflow"};
  EXPECT_EQ(lines, expected) << "standard error:\n" << run.errors;
}

}  // namespace
}  // namespace cardel::oletest
