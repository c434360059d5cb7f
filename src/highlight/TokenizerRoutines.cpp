// The built-in scan routines of the tokenizer. Each one starts at the cursor,
// consumes what it accepts and says whether it matched; RunRoutine turns the
// movement into the length and puts the cursor back on failure.

#include "highlight/Tokenizer.h"

#include <array>

namespace torvane {
namespace {

constexpr uint8_t kLineBreak = 13;

using CharTable = std::array<bool, 256>;

constexpr CharTable MakeTable(const char* chars, bool letters, bool digits) {
    CharTable t{};
    for (const char* p = chars; *p; ++p)
        t[static_cast<uint8_t>(*p)] = true;
    for (int c = 0; c < 256; ++c) {
        if (letters && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) t[c] = true;
        if (digits && c >= '0' && c <= '9') t[c] = true;
    }
    return t;
}

constexpr CharTable kIdentStart = MakeTable("_", true, false);
constexpr CharTable kIdentBody = MakeTable("_", true, true);
constexpr CharTable kUrlChars = MakeTable("#&-./:=?@\\_|~", true, true);
constexpr CharTable kMailChars = MakeTable("~.@-_", true, true);

// True when the cursor is on a character of table (never at the end).
bool At(const TCharCursor& c, const CharTable& table) {
    return !c.AtEnd() && table[c.Peek()];
}
bool At(const TCharCursor& c, uint8_t ch) {
    return !c.AtEnd() && c.Peek() == ch;
}
bool AtDigit(const TCharCursor& c) {
    return !c.AtEnd() && c.Peek() >= '0' && c.Peek() <= '9';
}
void SkipDigits(TCharCursor& c) {
    while (AtDigit(c))
        c.Next();
}

// Runs of table characters in which a last "." is given back.
int64_t RunWithoutLastDot(TCharCursor& c, const CharTable& table, bool& sawAt) {
    const int64_t start = c.GetPosition();
    sawAt = false;
    while (At(c, table)) {
        sawAt |= c.Peek() == '@';
        c.Next();
    }
    if (c.GetPosition() > start) {
        c.Back();
        if (c.Peek() != '.') c.Next();
    }
    return c.GetPosition() - start;
}

bool QuoteDoubledChar(TCharCursor& c) {
    if (c.AtEnd() || c.Peek() == kLineBreak) return false;
    if (c.Peek() != '\'') {
        c.Next();
        return true;
    }
    c.Next();
    if (!At(c, '\'')) {
        c.Back(); // a single quote ends the text: leave it to the terminator
        return false;
    }
    c.Next();
    return true;
}

bool UrlChars(TCharCursor& c) {
    bool sawAt;
    return RunWithoutLastDot(c, kUrlChars, sawAt) > 0;
}

bool RestOfLineFromLineStart(TCharCursor& c, int64_t tokenStart) {
    if (tokenStart > 0) {
        const int64_t here = c.GetPosition();
        c.SetPosition(tokenStart - 1);
        const bool lineStart = c.Peek() == kLineBreak;
        c.SetPosition(here);
        if (!lineStart) return false;
    }
    while (!c.AtEnd() && c.Peek() != kLineBreak)
        c.Next();
    return true;
}

bool Identifier(TCharCursor& c) {
    if (!At(c, kIdentStart)) return false;
    c.Next();
    while (At(c, kIdentBody))
        c.Next();
    return true;
}

bool NumberOrFloat(TCharCursor& c) {
    if (!AtDigit(c)) return false;
    SkipDigits(c);
    if (At(c, '.')) {
        c.Next();
        if (AtDigit(c))
            SkipDigits(c);
        else
            c.Back(); // "1." is the number 1 followed by a dot
    }
    if (At(c, 'e') || At(c, 'E')) {
        const int64_t mark = c.GetPosition();
        c.Next();
        if (At(c, '+') || At(c, '-')) c.Next();
        if (AtDigit(c))
            SkipDigits(c);
        else
            c.SetPosition(mark); // an exponent needs digits
    }
    return true;
}

bool PascalString(TCharCursor& c) {
    if (!At(c, '\'')) return false;
    c.Next();
    while (!c.AtEnd() && c.Peek() != kLineBreak) {
        const bool quote = c.Peek() == '\'';
        c.Next();
        if (quote) {
            if (!At(c, '\'')) return true;
            c.Next(); // '' stands for one quote
        }
    }
    return true;
}

bool EscapedString(TCharCursor& c, uint8_t quote) {
    if (!At(c, quote)) return false;
    c.Next();
    while (!c.AtEnd() && c.Peek() != kLineBreak) {
        const uint8_t ch = c.Peek();
        c.Next();
        if (ch == quote) return true;
        if (ch == '\\') c.Next(); // whatever follows belongs to the text
    }
    return true;
}

bool SignedNumber(TCharCursor& c) {
    const int64_t mark = c.GetPosition();
    if (At(c, '+') || At(c, '-')) c.Next();
    if (NumberOrFloat(c)) return true;
    c.SetPosition(mark);
    return false;
}

bool Digits(TCharCursor& c) {
    if (!AtDigit(c)) return false;
    SkipDigits(c);
    return true;
}

bool MailUrl(TCharCursor& c) {
    const int64_t mark = c.GetPosition();
    bool sawAt;
    if (RunWithoutLastDot(c, kMailChars, sawAt) > 0 && sawAt) return true;
    c.SetPosition(mark);
    return false;
}

bool HtmlString(TCharCursor& c) {
    if (!At(c, '"')) return false;
    c.Next();
    while (!c.AtEnd()) {
        const uint8_t ch = c.Peek();
        c.Next();
        if (ch == '"' || ch == kLineBreak) return true;
    }
    return true;
}

bool JsLineComment(TCharCursor& c) {
    // A run of "-" followed by ">" keeps its last two dashes out of the
    // comment, so that a terminator can take "-->".
    while (!c.AtEnd() && c.Peek() != kLineBreak) {
        if (c.Peek() != '-') {
            c.Next();
            continue;
        }
        const int64_t runStart = c.GetPosition();
        while (At(c, '-'))
            c.Next();
        const int64_t runLength = c.GetPosition() - runStart;
        if (runLength >= 2 && At(c, '>')) {
            c.SetPosition(c.GetPosition() - 2);
            return true;
        }
    }
    return true;
}

} // namespace

bool TTokenizer::RunRoutine(int32_t number, TCharCursor& c, int32_t& length) {
    const int64_t before = c.GetPosition();
    bool ok = false;
    switch (number) {
    case 0:
        ok = QuoteDoubledChar(c);
        break;
    case 1:
        ok = UrlChars(c);
        break;
    case 2:
        ok = RestOfLineFromLineStart(c, before - length);
        break;
    case 3:
        ok = Identifier(c);
        break;
    case 4:
        ok = NumberOrFloat(c);
        break;
    case 5:
        ok = PascalString(c);
        break;
    case 6:
        ok = EscapedString(c, '"');
        break;
    case 7:
        ok = EscapedString(c, '\'');
        break;
    case 8:
        ok = SignedNumber(c);
        break;
    case 9:
        ok = Digits(c);
        break;
    case 10:
        ok = MailUrl(c);
        break;
    case 11:
        ok = HtmlString(c);
        break;
    case 12:
        ok = JsLineComment(c);
        break;
    case 13:
        ok = EscapedString(c, '\'');
        break;
    default:
        break;
    }
    if (!ok) {
        c.SetPosition(before);
        return false;
    }
    length += static_cast<int32_t>(c.GetPosition() - before);
    return true;
}

} // namespace torvane
