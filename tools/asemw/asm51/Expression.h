#pragma once
// Expressions of the Intel dialect, evaluated over tokens. Results are 16-bit
// unsigned values as the 8051 assemblers of that family give them: -1 is
// 0FFFFH and a true comparison is 0FFFFH; intermediate results keep 32 bits
// so that 65536-50000 means what its writer meant. Precedence, loosest first:
//
//   OR XOR | ^ ||          AND & &&          NOT (unary)
//   EQ NE LT LE GT GE = <> < <= > >= == !=
//   + -                    * / MOD SHL SHR % << >>
//   unary + - HIGH LOW ~ !     postfix .bit     ( ) numbers names $ 'c'
//
// `byte.bit` forms a bit address: a byte of 20H..2FH gives (byte-20H)*8+bit,
// an SFR whose address is a multiple of 8 gives its address + bit.

#include "asm51/Lexer.h"

#include <stdexcept>

namespace torvane::asm51 {

// A fault in one statement; the assembler reports it with the statement's
// origin and goes on with the next line.
class AsmError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Value {
    int64_t number = 0; // 0..0FFFFH
    bool known = true;  // false while a forward reference is not resolved yet
};

class ExpressionContext {
public:
    virtual ~ExpressionContext() = default;
    // The value of a symbol (name in upper case), or false when it has none
    // yet. `known` false marks a value taken over from an earlier pass.
    virtual bool Lookup(const std::string& name, Value& value) = 0;
    virtual int64_t Location() const = 0;
    // For DEFINED(name) in conditions; the name as written.
    virtual bool IsDefined(const std::string& name) = 0;
};

// Evaluates tokens[begin, end) as one expression; throws AsmError.
// Undefined names evaluate to 0 with known == false; `undefined` receives the
// first such name.
Value Evaluate(const std::vector<Token>& tokens, size_t begin, size_t end, ExpressionContext& context,
               std::string* undefined = nullptr);

int64_t BitAddress(int64_t byteAddress, int64_t bit);

// How a token is quoted in messages.
std::string Shown(const Token& token);

} // namespace torvane::asm51
