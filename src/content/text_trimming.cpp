#include "content/text_trimming.h"

#include <string>
#include <vector>

#include "content/caption_layout.h"
#include "content/text_units.h"

namespace cardel {
namespace {

enum : int32_t { kNone, kCharacter, kWord, kEllipsisCharacter, kEllipsisWord, kEllipsisPath };

constexpr size_t kNoCut = static_cast<size_t>(-1);

// Places a line may be cut, ascending, up to limit: after every character, or after every word.
std::vector<size_t> Cuts(std::wstring_view line, size_t limit, bool words) {
  std::vector<size_t> cuts;
  for (size_t i = 0; i < limit;) {
    const size_t next = text::NextBoundary(line, i);
    if (!words || (!text::IsLineEndSpace(line[i]) && (next == line.size() || text::IsLineEndSpace(line[next]))))
      cuts.push_back(next);
    i = next;
  }
  return cuts;
}

// Widths only grow as a line gets longer, so the longest cut that fits is found by halving.
size_t LongestFitting(std::wstring_view line, const std::vector<size_t>& cuts, std::wstring_view suffix, float room,
                      TextMeasure& measure) {
  size_t low = 0, high = cuts.size();
  while (low < high) {
    const size_t mid = low + (high - low) / 2;
    std::wstring candidate(line.substr(0, text::TrimLineEnd(line, 0, cuts[mid])));
    candidate += suffix;
    if (measure.Width(candidate) <= room)
      low = mid + 1;
    else
      high = mid;
  }
  return low == 0 ? kNoCut : cuts[low - 1];
}

TrimResult Head(std::wstring_view line, size_t cut, bool ellipsis) {
  return {cut == kNoCut ? 0 : text::TrimLineEnd(line, 0, cut), ellipsis};
}

TrimResult CutAtEnd(std::wstring_view line, float room, bool words, TextMeasure& measure) {
  size_t cut = LongestFitting(line, Cuts(line, line.size(), words), {}, room, measure);
  if (cut == kNoCut && words) cut = LongestFitting(line, Cuts(line, line.size(), false), {}, room, measure);
  return Head(line, cut, false);
}

TrimResult EllipsisAtEnd(std::wstring_view line, float room, bool words, TextMeasure& measure) {
  const std::wstring_view mark(&kEllipsis, 1);
  size_t cut = LongestFitting(line, Cuts(line, line.size(), words), mark, room, measure);
  if (cut == kNoCut && words) cut = LongestFitting(line, Cuts(line, line.size(), false), mark, room, measure);
  if (cut != kNoCut) return Head(line, cut, true);
  return {0, measure.Width(mark) <= room};
}

TrimResult EllipsisInPath(std::wstring_view line, float room, TextMeasure& measure) {
  const size_t separator = line.find_last_of(L"\\/");
  if (separator != std::wstring_view::npos && separator > 0) {
    const size_t tailLength = text::TrimLineEnd(line, separator, line.size()) - separator;
    std::wstring suffix(1, kEllipsis);
    suffix += line.substr(separator, tailLength);
    const size_t cut = LongestFitting(line, Cuts(line, separator, false), suffix, room, measure);
    if (cut != kNoCut) {
      TrimResult result = Head(line, cut, true);
      result.tailStart = separator;
      result.tailLength = tailLength;
      return result;
    }
  }
  return EllipsisAtEnd(line, room, false, measure);
}

}  // namespace

TrimResult TrimLine(std::wstring_view line, float room, int32_t trimming, bool hidesText, TextMeasure& measure) {
  const TrimResult whole{text::TrimLineEnd(line, 0, line.size()), false};
  if (trimming <= kNone || trimming > kEllipsisPath) return whole;
  const bool marks = trimming >= kEllipsisCharacter;
  if (!(marks && hidesText) && measure.Width(line.substr(0, whole.headLength)) <= room) return whole;
  switch (trimming) {
    case kCharacter:
      return CutAtEnd(line, room, false, measure);
    case kWord:
      return CutAtEnd(line, room, true, measure);
    case kEllipsisCharacter:
      return EllipsisAtEnd(line, room, false, measure);
    case kEllipsisWord:
      return EllipsisAtEnd(line, room, true, measure);
    default:
      return EllipsisInPath(line, room, measure);
  }
}

}  // namespace cardel
