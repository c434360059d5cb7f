#include "editor/SearchText.h"

#include "regex/REParser.h"

#include <cstring>

namespace torvane::editor {

namespace {

constexpr std::array<unsigned char, 256> MakeUpperTable() {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[static_cast<size_t>(c)] = static_cast<unsigned char>(c);
    for (int c = 'a'; c <= 'z'; ++c)
        t[static_cast<size_t>(c)] = static_cast<unsigned char>(c - 32);
    // Windows-1250 letters outside the parallel blocks.
    const unsigned char pairs[][2] = {{0x9A, 0x8A}, {0x9C, 0x8C}, {0x9D, 0x8D}, {0x9E, 0x8E}, {0x9F, 0x8F},
                                      {0xB3, 0xA3}, {0xB9, 0xA5}, {0xBE, 0xBC}, {0xBF, 0xAF}};
    for (const auto& p : pairs)
        t[p[0]] = p[1];
    // 0xE0..0xFE are the lower-case forms of 0xC0..0xDE, except the division
    // sign 0xF7 (its place above holds the multiplication sign).
    for (int c = 0xE0; c <= 0xFE; ++c)
        if (c != 0xF7) t[static_cast<size_t>(c)] = static_cast<unsigned char>(c - 0x20);
    return t;
}

constexpr std::array<unsigned char, 256> kUpper = MakeUpperTable();

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

unsigned char UpperCase(unsigned char c) noexcept {
    return kUpper[c];
}

bool TSkipTable::Prepare(std::string_view text, bool matchCase) {
    std::string pattern(text);
    if (!matchCase)
        for (char& c : pattern)
            c = static_cast<char>(kUpper[static_cast<unsigned char>(c)]);
    if (fReady && matchCase == fMatchCase && pattern == fPattern) return false;
    fPattern = std::move(pattern);
    fMatchCase = matchCase;
    fReady = true;
    const size_t m = fPattern.size();
    fShift.fill(static_cast<std::uint32_t>(m == 0 ? 1 : m));
    for (size_t i = 0; i + 1 < m; ++i) {
        auto shift = static_cast<std::uint32_t>(m - 1 - i);
        fShift[static_cast<unsigned char>(fPattern[i])] = shift;
    }
    return true;
}

template <bool Fold> size_t TSkipTable::Scan(const char* buffer, size_t size, size_t from) const noexcept {
    const size_t m = fPattern.size();
    const char* p = fPattern.data();
    const unsigned char last = static_cast<unsigned char>(p[m - 1]);
    auto fold = [](char c) {
        return Fold ? kUpper[static_cast<unsigned char>(c)] : static_cast<unsigned char>(c);
    };
    for (size_t i = from; i + m <= size;) {
        // Without match case the text is folded like the pattern, and the
        // shift is looked up for the folded character.
        unsigned char c = fold(buffer[i + m - 1]);
        if (c == last) {
            size_t k = 0;
            while (k + 1 < m && fold(buffer[i + k]) == static_cast<unsigned char>(p[k]))
                ++k;
            if (k + 1 >= m) return i;
        }
        i += fShift[c];
    }
    return npos;
}

size_t TSkipTable::FindIn(const char* buffer, size_t size, size_t from) const noexcept {
    if (fPattern.empty()) return npos;
    return fMatchCase ? Scan<false>(buffer, size, from) : Scan<true>(buffer, size, from);
}

std::string ExpandReplacement(std::string_view text, const std::function<std::string(int)>& element) {
    std::string out;
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        char c = text[i++];
        if (c == '%') {
            if (i == n) {
                out += '%';
            } else if (text[i] >= '0' && text[i] <= '9') {
                int number = 0;
                while (i < n && text[i] >= '0' && text[i] <= '9') {
                    if (number <= 255) number = number * 10 + (text[i] - '0');
                    ++i;
                }
                if (number >= 1 && number <= 255) out += element(number);
            } else {
                out += text[i++]; // "%%" and "%c"
            }
            continue;
        }
        if (c != '\\' || i == n) {
            out += c;
            continue;
        }
        c = text[i++];
        switch (c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c) {
        case 'b':
            out += '\b';
            break;
        case 'f':
            out += '\f';
            break;
        case 'n':
        case 'r':
            out += '\r'; // the stored line break
            break;
        case 's':
            out += ' ';
            break;
        case 't':
            out += '\t';
            break;
        case 'x': {
            int value = i < n ? HexValue(text[i]) : -1;
            if (value < 0) {
                out += c;
                break;
            }
            ++i;
            if (i < n && HexValue(text[i]) >= 0) value = value * 16 + HexValue(text[i++]);
            out += static_cast<char>(value);
            break;
        }
        default:
            if (c >= '0' && c <= '7') {
                int value = c - '0';
                for (int digits = 1; digits < 3 && i < n && text[i] >= '0' && text[i] <= '7'; ++digits)
                    value = value * 8 + (text[i++] - '0');
                if (value >= 256) return out;
                out += static_cast<char>(value);
            } else {
                out += c; // "\\" and any other escaped character
            }
        }
    }
    return out;
}

std::string PatternErrorMessage(const TREParser& parser) {
    int caret = parser.ErrorPosition() > 0 ? parser.ErrorPosition() - 1 : 0;
    return parser.ErrorMessage() + "\n" + parser.ParsedText() + "\n" +
           std::string(static_cast<size_t>(caret), ' ') + "^";
}

} // namespace torvane::editor
