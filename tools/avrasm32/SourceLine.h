#pragma once
// Line-level reading of AVR assembler sources for the front end: what avra
// cannot take as it is (C-style comments, `.include <file>`, part names it
// does not know) is recognised here, one line at a time, without changing
// how many lines a file has.

#include <optional>
#include <string>
#include <string_view>

namespace torvane::avrasm {

// Removes `//` and `/* */` comments from a file read line by line; a block
// comment left open at the end of one line goes on in the next. Quoted text
// and `;` comments are kept as they are, so a `//` inside a string or a `/*`
// after a `;` is no comment opener.
class CommentStripper {
public:
    std::string Strip(std::string_view line);
    bool InBlockComment() const { return inBlock_; }

private:
    bool inBlock_ = false;
};

// The file name of an `.include` or `#include` line, written "file", <file>
// or bare; nothing when the line is no include. The line must already be
// stripped of C-style comments.
std::optional<std::string> IncludedName(std::string_view line);

// The part named by a `.device` line, or nothing.
std::optional<std::string> DeviceName(std::string_view line);

// avra's name for a part it does not know itself: a part it knows with the
// same program memory, SRAM start and instruction set, so its range and
// instruction checks still hold. Empty when avra knows `part` (or no stand-in
// exists). Names compare without case.
std::string StandInDevice(std::string_view part);

bool EqualNoCase(std::string_view a, std::string_view b);

} // namespace torvane::avrasm
