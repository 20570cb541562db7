#pragma once
// The few facts about UTF-16 text the caption layout needs: where characters and hard line
// breaks begin and end, and which characters vanish at the end of a line.
#include <cstddef>
#include <string_view>

namespace cardel::text {

inline bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The end of the character starting at pos; a surrogate pair is never split.
inline size_t NextBoundary(std::wstring_view s, size_t pos) {
  if (pos >= s.size()) return s.size();
  if (IsHighSurrogate(s[pos]) && pos + 1 < s.size() && IsLowSurrogate(s[pos + 1])) return pos + 2;
  return pos + 1;
}

// Moves a cut that would fall between the halves of a surrogate pair past the pair.
inline size_t CharacterEnd(std::wstring_view s, size_t cut) {
  if (cut > 0 && cut < s.size() && IsLowSurrogate(s[cut]) && IsHighSurrogate(s[cut - 1])) return cut + 1;
  return cut;
}

// Spaces GDI+ lets hang past the end of a wrapped line instead of drawing them.
inline bool IsLineEndSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == 0x3000; }

// Length of the hard line break at pos (CR LF counts as one), 0 where there is none.
inline size_t HardBreakLength(std::wstring_view s, size_t pos) {
  if (pos >= s.size()) return 0;
  const wchar_t c = s[pos];
  if (c == L'\r') return pos + 1 < s.size() && s[pos + 1] == L'\n' ? 2 : 1;
  return c == L'\n' || c == 0x2028 || c == 0x2029 ? 1 : 0;
}

inline size_t FindHardBreak(std::wstring_view s, size_t from) {
  while (from < s.size() && HardBreakLength(s, from) == 0) ++from;
  return from;
}

// end moved back over trailing line-end spaces, never before start.
inline size_t TrimLineEnd(std::wstring_view s, size_t start, size_t end) {
  while (end > start && IsLineEndSpace(s[end - 1])) --end;
  return end;
}

}  // namespace cardel::text
