#pragma once
// Text helpers of the editor's search: the skip-table (Horspool) matcher for
// plain search texts, the upper-case folding used without match case, the
// expansion of regular-expression replacement texts, and the pattern error
// message.
//
// Replacement texts (regular-expression mode only):
//   %%        a percent sign
//   %n        the text of element n (1..255) of the match; 0 or a number
//             above 255 gives nothing
//   %c        any other character c stands for itself; a final % stays
//   \\        a backslash
//   \ooo      1 to 3 octal digits: that character code; a value of 256 or
//             more ends the expansion there
//   \b \f     backspace, form feed
//   \n \r     a line break
//   \s \t     a space, a TAB
//   \xhh      1 or 2 hexadecimal digits: that character code ("\x" without
//             a digit gives "x")
//   \c        any other character c stands for itself
// Escape letters are compared without regard to case, as in patterns.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace torvane {
class TREParser;
}

namespace torvane::editor {

// The upper-case form of a character of the editor's 8-bit (Windows-1250)
// text: ASCII letters and the accented letters of that code page.
unsigned char UpperCase(unsigned char c) noexcept;

// A plain search text prepared for the skip-table search; rebuilt only when
// the text or the case mode changes.
class TSkipTable {
public:
    // Returns true when the table had to be rebuilt.
    bool Prepare(std::string_view text, bool matchCase);

    size_t Length() const noexcept { return fPattern.size(); }
    bool MatchCase() const noexcept { return fMatchCase; }

    // Index of the first occurrence in buffer[from, size) (starting at or
    // after `from`, lying wholly inside the buffer), or npos.
    size_t FindIn(const char* buffer, size_t size, size_t from) const noexcept;

    static constexpr size_t npos = static_cast<size_t>(-1);

private:
    template <bool Fold> size_t Scan(const char* buffer, size_t size, size_t from) const noexcept;

    std::string fPattern; // folded when !fMatchCase
    bool fMatchCase = true;
    bool fReady = false;
    std::array<std::uint32_t, 256> fShift{};
};

// Expands a replacement text; `element(n)` gives the text of element n of the
// match (1..255).
std::string ExpandReplacement(std::string_view replacement, const std::function<std::string(int)>& element);

// The message shown for a pattern error: the engine's error text, the parsed
// pattern and a caret under the failing position, on three lines.
std::string PatternErrorMessage(const TREParser& parser);

} // namespace torvane::editor
