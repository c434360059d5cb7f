#pragma once
// Tokens of one line of 8051 source in the Intel dialect. The lexer keeps no
// state between lines (comments are removed before it runs), so the editor
// can use it on any single line.
//
//   Name     letters, digits, '_' and '?', not starting with a digit
//   Number   digits with an optional B/O/Q/D/H suffix, or 0x..; value set
//   String   '...' or "...", a doubled quote stands for itself; text set
//   Punct    operators and punctuation, longest match: <> <= >= << >> == !=
//            && || and the single characters + - * / % ( ) , : # @ . = < >
//            ! ~ & | ^ $
// A malformed number or an open string ends the line with an Error token
// whose text says what is wrong.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace torvane::asm51 {

enum class TokenKind { Name, Number, String, Punct, Error };

struct Token {
    TokenKind kind;
    std::string text;  // as written; for String the contents, for Error the message
    int64_t value = 0; // Number only
    size_t column = 0; // 0-based offset in the line
    bool Is(std::string_view punct) const { return kind == TokenKind::Punct && text == punct; }
    // Names and keywords compare without regard to case.
    bool IsWord(std::string_view word) const;
};

std::vector<Token> Tokenize(std::string_view line);

// The value of a number as written ("0FFH", "1010B", "0x1F"); false when the
// text is not a number of the dialect.
bool ParseNumber(std::string_view text, int64_t& value);

bool IsNameStart(char c);
bool IsNameChar(char c);
std::string Upper(std::string_view text);

} // namespace torvane::asm51
