#include "input/drop_files.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>

#include "input/ansi_text.h"

namespace cardel::input {
namespace {

// Names run from `offset`, each ended by a zero, the list by an empty name. A name cut short by the
// end of the block is dropped: it may be a truncated path.
template <class Char>
std::vector<std::basic_string<Char>> ReadNames(std::span<const uint8_t> block, size_t offset) {
  std::vector<std::basic_string<Char>> names;
  std::basic_string<Char> name;
  for (size_t at = offset; at + sizeof(Char) <= block.size(); at += sizeof(Char)) {
    Char c;
    std::memcpy(&c, block.data() + at, sizeof(Char));
    if (c != 0) {
      name.push_back(c);
      continue;
    }
    if (name.empty()) break;
    names.push_back(std::move(name));
    name.clear();
  }
  return names;
}

std::vector<std::wstring> Widen(const std::vector<std::string>& ansiNames) {
  std::vector<std::wstring> names;
  for (const std::string& ansi : ansiNames) names.push_back(AnsiToWide(ansi));
  return names;
}

}  // namespace

std::vector<std::wstring> ParseDropFiles(std::span<const uint8_t> block) {
  DROPFILES header;
  if (block.size() < sizeof(header)) return {};
  std::memcpy(&header, block.data(), sizeof(header));
  if (header.pFiles < sizeof(header) || header.pFiles >= block.size()) return {};
  if (header.fWide) return ReadNames<wchar_t>(block, header.pFiles);
  return Widen(ReadNames<char>(block, header.pFiles));
}

}  // namespace cardel::input
