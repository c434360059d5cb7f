#pragma once
// Where word wrap cuts a line into segments.
//
// A line (its characters with its CR, if any) is cut into segments that each
// fit the wrap width in display columns, TABs expanded to their stops from
// the segment's own start (each segment is a row of its own). At the first
// character that would pass the width:
//   - a blank there (a byte of 32 or less, or 160): the whole run of blanks
//     stays at the end of the segment and the cut follows it;
//   - otherwise the cut goes back to just after the last blank of the
//     segment, or, when the segment has none, falls at that character.
// A segment never holds more than kMaxNodeLength characters. A line shorter
// than 2048 characters is left whole when the override option is on and its
// first character is one of the override characters. A word-break handler,
// when set, chooses the cuts instead (see TWordBreakProc).

#include "editor/LineNode.h"
#include "highlight/TabStops.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

// OnWordBreakProc(lpch, ichCurrent, cch, code): asked with code 0 for the
// segment that starts at ichCurrent of the line lpch (cch characters), it
// returns the length of that segment (values outside 1..cch - ichCurrent fall
// back to the built-in rule).
using TWordBreakProc =
    std::function<int32_t(const char* lpch, int32_t ichCurrent, int32_t cch, int32_t code)>;

namespace editor {

inline constexpr const char* kDefaultWrapOverride = ">|:";

struct TWrapRule {
    int32_t columns = 80; // wrap width in display columns, at least 1
    const TTabStops* tabs = nullptr;
    bool overrideOn = false; // smoWrapOverride
    std::string overrideChars = kDefaultWrapOverride;
    TWordBreakProc wordBreak;
};

// Appends the lengths of the line's segments to lengths (at least one; they
// add up to line.size()).
void CutLine(std::string_view line, const TWrapRule& rule, std::vector<int32_t>& lengths);

// Cuts only where a node must end: after kMaxNodeLength characters (word
// wrap off).
void CutAtNodeLength(std::string_view line, std::vector<int32_t>& lengths);

} // namespace editor
} // namespace torvane
