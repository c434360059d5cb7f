#include "asm51/Expression.h"

namespace torvane::asm51 {

namespace {

// Intermediate results keep 32 bits, so idioms like 65536-50000 work; the
// final value must fit in 16 bits (or be a small negative number).
constexpr int64_t kMask = 0xFFFFFFFF;
constexpr int64_t kTrue = 0xFFFF;

class Parser {
public:
    Parser(const std::vector<Token>& tokens, size_t begin, size_t end, ExpressionContext& context)
        : tokens_(tokens), pos_(begin), end_(end), context_(context) {}

    Value ParseAll() {
        if (pos_ >= end_) throw AsmError("missing expression");
        Value v = Or();
        if (pos_ < end_) throw AsmError("unexpected " + Shown(tokens_[pos_]) + " in expression");
        return v;
    }

    std::string undefined;

private:
    bool AtPunct(std::string_view p) const { return pos_ < end_ && tokens_[pos_].Is(p); }
    bool AtWord(std::string_view w) const { return pos_ < end_ && tokens_[pos_].IsWord(w); }
    bool Accept(std::string_view p) {
        if (AtPunct(p) || AtWord(p)) {
            ++pos_;
            return true;
        }
        return false;
    }

    static Value Combine(const Value& a, const Value& b, int64_t number) {
        return {number & kMask, a.known && b.known};
    }

    Value Or() {
        Value a = And();
        for (;;) {
            if (Accept("OR") || Accept("|") || Accept("||")) {
                Value b = And();
                a = Combine(a, b, a.number | b.number);
            } else if (Accept("XOR") || Accept("^")) {
                Value b = And();
                a = Combine(a, b, a.number ^ b.number);
            } else {
                return a;
            }
        }
    }

    Value And() {
        Value a = Not();
        while (Accept("AND") || Accept("&") || Accept("&&")) {
            Value b = Not();
            a = Combine(a, b, a.number & b.number);
        }
        return a;
    }

    Value Not() {
        if (Accept("NOT")) {
            Value a = Not();
            return {~a.number & (a.number <= 0xFFFF ? 0xFFFF : kMask), a.known};
        }
        return Relation();
    }

    Value Relation() {
        Value a = Sum();
        for (;;) {
            int op = -1;
            static const std::string_view kOps[][3] = {{"EQ", "=", "=="}, {"NE", "<>", "!="},
                                                       {"LT", "<", ""},   {"LE", "<=", ""},
                                                       {"GT", ">", ""},   {"GE", ">=", ""}};
            for (int i = 0; i < 6 && op < 0; ++i)
                for (std::string_view s : kOps[i])
                    if (!s.empty() && Accept(s)) {
                        op = i;
                        break;
                    }
            if (op < 0) return a;
            Value b = Sum();
            bool r = false;
            switch (op) {
            case 0:
                r = a.number == b.number;
                break;
            case 1:
                r = a.number != b.number;
                break;
            case 2:
                r = a.number < b.number;
                break;
            case 3:
                r = a.number <= b.number;
                break;
            case 4:
                r = a.number > b.number;
                break;
            default:
                r = a.number >= b.number;
                break;
            }
            a = Combine(a, b, r ? kTrue : 0);
        }
    }

    Value Sum() {
        Value a = Product();
        for (;;) {
            if (Accept("+")) {
                Value b = Product();
                a = Combine(a, b, a.number + b.number);
            } else if (Accept("-")) {
                Value b = Product();
                a = Combine(a, b, a.number - b.number);
            } else {
                return a;
            }
        }
    }

    Value Product() {
        Value a = Unary();
        for (;;) {
            if (Accept("*")) {
                Value b = Unary();
                a = Combine(a, b, a.number * b.number);
            } else if (Accept("/") || Accept("MOD") || Accept("%")) {
                const bool divide = tokens_[pos_ - 1].text == "/";
                Value b = Unary();
                if (b.number == 0) {
                    if (b.known) throw AsmError("division by zero");
                    a = Combine(a, b, 0);
                } else {
                    a = Combine(a, b, divide ? a.number / b.number : a.number % b.number);
                }
            } else if (Accept("SHL") || Accept("<<")) {
                Value b = Unary();
                a = Combine(a, b, b.number > 15 ? 0 : a.number << b.number);
            } else if (Accept("SHR") || Accept(">>")) {
                Value b = Unary();
                a = Combine(a, b, b.number > 15 ? 0 : a.number >> b.number);
            } else {
                return a;
            }
        }
    }

    Value Unary() {
        if (++depth_ > 200) throw AsmError("expression nested too deeply");
        Value v;
        if (Accept("-")) {
            v = Unary();
            v.number = -v.number & kMask;
        } else if (Accept("+")) {
            v = Unary();
        } else if (Accept("~")) {
            v = Unary();
            v.number = ~v.number & (v.number <= 0xFFFF ? 0xFFFF : kMask);
        } else if (Accept("!")) {
            v = Unary();
            v.number = v.number == 0 ? 1 : 0;
        } else if (Accept("HIGH")) {
            v = Unary();
            v.number = (v.number >> 8) & 0xFF;
        } else if (Accept("LOW")) {
            v = Unary();
            v.number &= 0xFF;
        } else {
            v = BitPostfix();
        }
        --depth_;
        return v;
    }

    Value BitPostfix() {
        Value v = Primary();
        if (Accept(".")) {
            Value bit = Primary();
            if (!v.known || !bit.known) return {0, false};
            return {BitAddress(v.number, bit.number), true};
        }
        return v;
    }

    Value Primary() {
        if (pos_ >= end_) throw AsmError("expression ends too early");
        const Token& t = tokens_[pos_++];
        switch (t.kind) {
        case TokenKind::Number:
            if (t.value > kMask) throw AsmError("number " + t.text + " does not fit in 32 bits");
            return {t.value, true};
        case TokenKind::String: {
            if (t.text.empty() || t.text.size() > 2)
                throw AsmError("character constant '" + t.text + "' must hold one or two characters");
            int64_t n = 0;
            for (unsigned char c : t.text)
                n = (n << 8) | c;
            return {n, true};
        }
        case TokenKind::Name: {
            if (t.IsWord("DEFINED")) return Defined();
            std::string name = Upper(t.text);
            Value v;
            if (context_.Lookup(name, v)) return v;
            if (undefined.empty()) undefined = t.text;
            return {0, false};
        }
        case TokenKind::Error:
            throw AsmError(t.text);
        case TokenKind::Punct:
            if (t.text == "$") return {context_.Location() & 0xFFFF, true};
            if (t.text == "(" || t.text == "[") {
                Value v = Or();
                if (!Accept(t.text == "(" ? ")" : "]")) throw AsmError("missing ')' in expression");
                return v;
            }
            break;
        }
        throw AsmError("unexpected " + Shown(t) + " in expression");
    }

    Value Defined() {
        const bool paren = Accept("(");
        if (pos_ >= end_ || tokens_[pos_].kind != TokenKind::Name) throw AsmError("DEFINED needs a name");
        const bool known = context_.IsDefined(tokens_[pos_++].text);
        if (paren && !Accept(")")) throw AsmError("missing ')' after DEFINED");
        return {known ? kTrue : 0, true};
    }

    const std::vector<Token>& tokens_;
    size_t pos_, end_;
    ExpressionContext& context_;
    int depth_ = 0;
};

} // namespace

int64_t BitAddress(int64_t byteAddress, int64_t bit) {
    if (bit < 0 || bit > 7) throw AsmError("bit number " + std::to_string(bit) + " is not 0..7");
    if (byteAddress >= 0x20 && byteAddress <= 0x2F) return (byteAddress - 0x20) * 8 + bit;
    if (byteAddress >= 0x80 && byteAddress <= 0xFF && byteAddress % 8 == 0) return byteAddress + bit;
    throw AsmError("address " + std::to_string(byteAddress) + " is not bit-addressable");
}

std::string Shown(const Token& token) {
    switch (token.kind) {
    case TokenKind::String:
        return "'" + token.text + "'";
    case TokenKind::Error:
        return token.text;
    default:
        return "'" + token.text + "'";
    }
}

Value Evaluate(const std::vector<Token>& tokens, size_t begin, size_t end, ExpressionContext& context,
               std::string* undefined) {
    Parser parser(tokens, begin, end, context);
    Value v = parser.ParseAll();
    if (v.number > 0xFFFF && v.number < 0xFFFF0000)
        throw AsmError("value " + std::to_string(v.number) + " does not fit in 16 bits");
    v.number &= 0xFFFF;
    if (undefined) *undefined = parser.undefined;
    return v;
}

} // namespace torvane::asm51
