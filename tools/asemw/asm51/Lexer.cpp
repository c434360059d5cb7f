#include "asm51/Lexer.h"

#include <cctype>

namespace torvane::asm51 {

bool IsNameStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '?';
}

bool IsNameChar(char c) {
    return IsNameStart(c) || std::isdigit(static_cast<unsigned char>(c));
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool Token::IsWord(std::string_view word) const {
    if (kind != TokenKind::Name || text.size() != word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(text[i])) != word[i]) return false;
    return true;
}

namespace {

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

bool ParseDigits(std::string_view digits, int base, int64_t& value) {
    if (digits.empty()) return false;
    value = 0;
    for (char c : digits) {
        int d = DigitValue(c);
        if (d >= base) return false;
        // Values are 16-bit in the end; keep the arithmetic from overflowing on
        // absurdly long numbers while still reporting them as too large later.
        value = value * base + d;
        if (value > 0xFFFFFFFFLL) value = 0x100000000LL;
    }
    return true;
}

} // namespace

bool ParseNumber(std::string_view text, int64_t& value) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return ParseDigits(text.substr(2), 16, value);
    if (text.empty()) return false;
    const char suffix = static_cast<char>(std::toupper(static_cast<unsigned char>(text.back())));
    std::string_view body = text.substr(0, text.size() - 1);
    switch (suffix) {
    case 'H':
        return ParseDigits(body, 16, value);
    case 'B':
        return ParseDigits(body, 2, value);
    case 'O':
    case 'Q':
        return ParseDigits(body, 8, value);
    case 'D':
        return ParseDigits(body, 10, value);
    default:
        return ParseDigits(text, 10, value);
    }
}

std::vector<Token> Tokenize(std::string_view line) {
    static const std::string_view kTwoCharOps[] = {"<>", "<=", ">=", "<<", ">>", "==", "!=", "&&", "||"};
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v' || c == 0x1A) {
            ++i;
            continue;
        }
        const size_t start = i;
        if (IsNameStart(c)) {
            while (i < line.size() && IsNameChar(line[i]))
                ++i;
            tokens.push_back({TokenKind::Name, std::string(line.substr(start, i - start)), 0, start});
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            while (i < line.size() && IsNameChar(line[i]))
                ++i;
            std::string text(line.substr(start, i - start));
            int64_t value = 0;
            if (!ParseNumber(text, value)) {
                tokens.push_back({TokenKind::Error, "invalid number '" + text + "'", 0, start});
                return tokens;
            }
            tokens.push_back({TokenKind::Number, text, value, start});
        } else if (c == '\'' || c == '"') {
            std::string text;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                if (line[i] == c) {
                    if (i + 1 < line.size() && line[i + 1] == c) {
                        text += c;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                text += line[i++];
            }
            if (!closed) {
                tokens.push_back({TokenKind::Error, "missing closing quote", 0, start});
                return tokens;
            }
            tokens.push_back({TokenKind::String, std::move(text), 0, start});
        } else {
            size_t length = 1;
            for (std::string_view op : kTwoCharOps)
                if (line.substr(i, 2) == op) length = 2;
            if (length == 1 &&
                std::string_view("+-*/%(),:#@.=<>!~&|^$[]").find(c) == std::string_view::npos) {
                std::string shown = std::isprint(static_cast<unsigned char>(c))
                                        ? std::string(1, c)
                                        : "\\x" + std::string(1, "0123456789ABCDEF"[(c >> 4) & 15]) +
                                              std::string(1, "0123456789ABCDEF"[c & 15]);
                tokens.push_back({TokenKind::Error, "unexpected character '" + shown + "'", 0, start});
                return tokens;
            }
            tokens.push_back({TokenKind::Punct, std::string(line.substr(i, length)), 0, start});
            i += length;
        }
    }
    return tokens;
}

} // namespace torvane::asm51
