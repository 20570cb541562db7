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

// What the script echoed, a line each, without the line ends and trailing blanks cscript adds.
std::vector<std::string> Lines(const std::string& output) {
  std::vector<std::string> lines;
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

TEST(ScriptingTest, ScriptSetsAndReadsPropertiesAndCatchesTheOverflow) {
  host::Library library;
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
  const std::vector<std::string> lines = Lines(run.output);
  const std::vector<std::string> expected{"100", "Hello", "&HF101", "A", "6 Overflow"};
  EXPECT_EQ(lines, expected) << "standard error:\n" << run.errors;
}

// Scripts pass their variables to by-reference parameters as references to variants: each by-reference
// member takes them as literals are taken (not "type mismatch", 13). Draw gets no device context from a
// script and answers "invalid argument" (5) once its arguments got through; DrawText measures on the screen.
TEST(ScriptingTest, ScriptVariablesReachTheByReferenceMembers) {
  host::Library library;
  library.DllUnregisterServer();
  ASSERT_EQ(library.DllRegisterServer(), S_OK);
  const auto stem = std::filesystem::temp_directory_path() /
                    (L"cardel-variables-" + std::to_wstring(GetCurrentProcessId()));
  const std::filesystem::path script = stem.wstring() + L".vbs", picture = stem.wstring() + L".bmp";
  const unsigned char bitmap[70] = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0,
                                    0, 1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0};
  std::ofstream(picture, std::ios::binary).write(reinterpret_cast<const char*>(bitmap), sizeof bitmap);
  std::ofstream(script, std::ios::binary)
      << "Set c = CreateObject(\"VelmarCardel.ucCardel\")\r\n"
         "t = \"From a variable\"\r\n"
         "c.Caption = t\r\n"
         "WScript.Echo c.Caption\r\n"
         "p = \"" << picture.string() << "\"\r\n"
         "WScript.Echo c.PictureFromPath(p)\r\n"
         "b = c.PictureGetStream()\r\n"
         "WScript.Echo c.PictureFromStream(b)\r\n"
         "On Error Resume Next\r\n"
         "h = 0 : y = 0\r\n"
         "c.Draw h, 0, 0, y\r\n"
         "WScript.Echo Err.Number\r\n"
         "Err.Clear\r\n"
         "Set f = c.Font\r\n"
         "a = 0 : v = 0 : w = False\r\n"
         "r = c.DrawText(h, t, 0, 0, 100, 20, f, 0, 100, a, v, w)\r\n"
         "WScript.Echo Err.Number\r\n"
         "Set c = Nothing\r\n";
  const ProcessResult run = RunProcess(L"cscript.exe //nologo \"" + script.wstring() + L"\"");
  std::filesystem::remove(script);
  std::filesystem::remove(picture);
  library.DllUnregisterServer();

  EXPECT_EQ(run.exitCode, 0u) << run.errors;
  const std::vector<std::string> lines = Lines(run.output);
  const std::vector<std::string> expected{"From a variable", "-1", "-1", "5", "0"};
  EXPECT_EQ(lines, expected) << "standard error:\n" << run.errors;
}

}  // namespace
}  // namespace cardel::oletest
