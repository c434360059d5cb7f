#include "asm51/Instructions.h"

#include <array>
#include <unordered_map>

namespace torvane::asm51 {

namespace {

enum Pattern : uint8_t {
    None,
    pA,
    pAB,
    pC,
    pDPTR,
    pRn,
    pIRi,
    pIDPTR,
    pIADPTR,
    pIAPC,
    pImm8,
    pImm16,
    pDir,
    pBit,
    pNBit,
    pRel,
    pA11,
    pA16
};

struct Form {
    const char* mnemonic;
    std::array<Pattern, 3> operands;
    uint8_t opcode;
};

// clang-format off
constexpr Form kForms[] = {
    {"NOP", {}, 0x00},
    {"AJMP", {pA11}, 0x01}, {"LJMP", {pA16}, 0x02}, {"SJMP", {pRel}, 0x80}, {"JMP", {pIADPTR}, 0x73},
    {"ACALL", {pA11}, 0x11}, {"LCALL", {pA16}, 0x12},
    {"RR", {pA}, 0x03}, {"RRC", {pA}, 0x13}, {"RL", {pA}, 0x23}, {"RLC", {pA}, 0x33},
    {"INC", {pA}, 0x04}, {"INC", {pDir}, 0x05}, {"INC", {pIRi}, 0x06}, {"INC", {pRn}, 0x08}, {"INC", {pDPTR}, 0xA3},
    {"DEC", {pA}, 0x14}, {"DEC", {pDir}, 0x15}, {"DEC", {pIRi}, 0x16}, {"DEC", {pRn}, 0x18},
    {"JBC", {pBit, pRel}, 0x10}, {"JB", {pBit, pRel}, 0x20}, {"JNB", {pBit, pRel}, 0x30},
    {"JC", {pRel}, 0x40}, {"JNC", {pRel}, 0x50}, {"JZ", {pRel}, 0x60}, {"JNZ", {pRel}, 0x70},
    {"RET", {}, 0x22}, {"RETI", {}, 0x32},
    {"ADD", {pA, pImm8}, 0x24}, {"ADD", {pA, pDir}, 0x25}, {"ADD", {pA, pIRi}, 0x26}, {"ADD", {pA, pRn}, 0x28},
    {"ADDC", {pA, pImm8}, 0x34}, {"ADDC", {pA, pDir}, 0x35}, {"ADDC", {pA, pIRi}, 0x36}, {"ADDC", {pA, pRn}, 0x38},
    {"SUBB", {pA, pImm8}, 0x94}, {"SUBB", {pA, pDir}, 0x95}, {"SUBB", {pA, pIRi}, 0x96}, {"SUBB", {pA, pRn}, 0x98},
    {"ORL", {pDir, pA}, 0x42}, {"ORL", {pDir, pImm8}, 0x43}, {"ORL", {pA, pImm8}, 0x44}, {"ORL", {pA, pDir}, 0x45},
    {"ORL", {pA, pIRi}, 0x46}, {"ORL", {pA, pRn}, 0x48}, {"ORL", {pC, pBit}, 0x72}, {"ORL", {pC, pNBit}, 0xA0},
    {"ANL", {pDir, pA}, 0x52}, {"ANL", {pDir, pImm8}, 0x53}, {"ANL", {pA, pImm8}, 0x54}, {"ANL", {pA, pDir}, 0x55},
    {"ANL", {pA, pIRi}, 0x56}, {"ANL", {pA, pRn}, 0x58}, {"ANL", {pC, pBit}, 0x82}, {"ANL", {pC, pNBit}, 0xB0},
    {"XRL", {pDir, pA}, 0x62}, {"XRL", {pDir, pImm8}, 0x63}, {"XRL", {pA, pImm8}, 0x64}, {"XRL", {pA, pDir}, 0x65},
    {"XRL", {pA, pIRi}, 0x66}, {"XRL", {pA, pRn}, 0x68},
    {"MOV", {pA, pImm8}, 0x74}, {"MOV", {pDir, pImm8}, 0x75}, {"MOV", {pIRi, pImm8}, 0x76}, {"MOV", {pRn, pImm8}, 0x78},
    {"MOV", {pDir, pDir}, 0x85}, {"MOV", {pDir, pIRi}, 0x86}, {"MOV", {pDir, pRn}, 0x88},
    {"MOV", {pDPTR, pImm16}, 0x90}, {"MOV", {pBit, pC}, 0x92}, {"MOV", {pC, pBit}, 0xA2},
    {"MOV", {pIRi, pDir}, 0xA6}, {"MOV", {pRn, pDir}, 0xA8},
    {"MOV", {pA, pDir}, 0xE5}, {"MOV", {pA, pIRi}, 0xE6}, {"MOV", {pA, pRn}, 0xE8},
    {"MOV", {pDir, pA}, 0xF5}, {"MOV", {pIRi, pA}, 0xF6}, {"MOV", {pRn, pA}, 0xF8},
    {"MOVC", {pA, pIAPC}, 0x83}, {"MOVC", {pA, pIADPTR}, 0x93},
    {"MOVX", {pA, pIDPTR}, 0xE0}, {"MOVX", {pA, pIRi}, 0xE2}, {"MOVX", {pIDPTR, pA}, 0xF0}, {"MOVX", {pIRi, pA}, 0xF2},
    {"DIV", {pAB}, 0x84}, {"MUL", {pAB}, 0xA4},
    {"CPL", {pBit}, 0xB2}, {"CPL", {pC}, 0xB3}, {"CPL", {pA}, 0xF4},
    {"CLR", {pBit}, 0xC2}, {"CLR", {pC}, 0xC3}, {"CLR", {pA}, 0xE4},
    {"SETB", {pBit}, 0xD2}, {"SETB", {pC}, 0xD3},
    {"CJNE", {pA, pImm8, pRel}, 0xB4}, {"CJNE", {pA, pDir, pRel}, 0xB5},
    {"CJNE", {pIRi, pImm8, pRel}, 0xB6}, {"CJNE", {pRn, pImm8, pRel}, 0xB8},
    {"PUSH", {pDir}, 0xC0}, {"POP", {pDir}, 0xD0},
    {"SWAP", {pA}, 0xC4}, {"DA", {pA}, 0xD4},
    {"XCH", {pA, pDir}, 0xC5}, {"XCH", {pA, pIRi}, 0xC6}, {"XCH", {pA, pRn}, 0xC8},
    {"XCHD", {pA, pIRi}, 0xD6},
    {"DJNZ", {pDir, pRel}, 0xD5}, {"DJNZ", {pRn, pRel}, 0xD8},
};
// clang-format on

const std::unordered_multimap<std::string, const Form*>& FormsByMnemonic() {
    static const auto table = [] {
        std::unordered_multimap<std::string, const Form*> t;
        for (const Form& f : kForms)
            t.emplace(f.mnemonic, &f);
        return t;
    }();
    return table;
}

bool Matches(Pattern p, const Operand& o) {
    switch (p) {
    case pA:
        return o.kind == OperandKind::A;
    case pAB:
        return o.kind == OperandKind::AB;
    case pC:
        return o.kind == OperandKind::C;
    case pDPTR:
        return o.kind == OperandKind::DPTR;
    case pRn:
        return o.kind == OperandKind::Register;
    case pIRi:
        return o.kind == OperandKind::Indirect;
    case pIDPTR:
        return o.kind == OperandKind::AtDptr;
    case pIADPTR:
        return o.kind == OperandKind::AtADptr;
    case pIAPC:
        return o.kind == OperandKind::AtAPc;
    case pImm8:
    case pImm16:
        return o.kind == OperandKind::Immediate;
    case pNBit:
        return o.kind == OperandKind::NotBit;
    case pDir:
    case pBit:
    case pRel:
    case pA11:
    case pA16:
        return o.kind == OperandKind::Expression;
    case None:
        return false;
    }
    return false;
}

size_t OperandSize(Pattern p) {
    switch (p) {
    case pImm16:
    case pA16:
        return 2;
    case pImm8:
    case pDir:
    case pBit:
    case pNBit:
    case pRel:
    case pA11:
        return 1;
    default:
        return 0;
    }
}

int RegisterNumber(const std::string& upper) {
    if (upper.size() == 2 && upper[0] == 'R' && upper[1] >= '0' && upper[1] <= '7') return upper[1] - '0';
    return -1;
}

// The register keyword a name stands for, directly or through an alias.
std::string RegisterWord(const Token& t, OperandContext& context) {
    if (t.kind != TokenKind::Name) return {};
    std::string upper = Upper(t.text);
    if (upper == "A" || upper == "AB" || upper == "C" || upper == "DPTR" || RegisterNumber(upper) >= 0)
        return upper;
    return context.RegisterAlias(upper);
}

Operand Classify(const std::vector<Token>& tokens, size_t begin, size_t end, OperandContext& context) {
    if (begin == end) throw AsmError("missing operand");
    const Token& first = tokens[begin];
    if (first.Is("#")) {
        if (begin + 1 == end) throw AsmError("missing value after '#'");
        return {OperandKind::Immediate, 0, begin + 1, end};
    }
    if (first.Is("/")) {
        if (begin + 1 == end) throw AsmError("missing bit after '/'");
        return {OperandKind::NotBit, 0, begin + 1, end};
    }
    if (first.Is("@")) {
        std::string text;
        for (size_t i = begin + 1; i < end; ++i)
            text += Upper(tokens[i].text);
        if (text == "DPTR") return {OperandKind::AtDptr};
        if (text == "A+DPTR") return {OperandKind::AtADptr};
        if (text == "A+PC") return {OperandKind::AtAPc};
        if (end == begin + 2) {
            std::string reg = RegisterWord(tokens[begin + 1], context);
            if (reg == "R0" || reg == "R1") return {OperandKind::Indirect, reg[1] - '0'};
        }
        throw AsmError("invalid indirect operand '@" + text + "' (use @R0, @R1, @DPTR, @A+DPTR or @A+PC)");
    }
    if (end == begin + 1) {
        std::string reg = RegisterWord(first, context);
        if (reg == "A") return {OperandKind::A};
        if (reg == "AB") return {OperandKind::AB};
        if (reg == "C") return {OperandKind::C};
        if (reg == "DPTR") return {OperandKind::DPTR};
        if (int n = RegisterNumber(reg); n >= 0) return {OperandKind::Register, n};
    }
    return {OperandKind::Expression, 0, begin, end};
}

} // namespace

bool IsMnemonic(const std::string& upperName) {
    return upperName == "CALL" || FormsByMnemonic().count(upperName) > 0;
}

std::vector<Operand> ParseOperands(const std::vector<Token>& tokens, size_t begin, size_t end,
                                   OperandContext& context) {
    std::vector<Operand> operands;
    if (begin == end) return operands;
    int depth = 0;
    size_t start = begin;
    for (size_t i = begin; i <= end; ++i) {
        if (i < end) {
            if (tokens[i].Is("(")) ++depth;
            if (tokens[i].Is(")")) --depth;
        }
        if (i == end || (depth == 0 && tokens[i].Is(","))) {
            operands.push_back(Classify(tokens, start, i, context));
            operands.back().first = start;
            operands.back().last = i;
            start = i + 1;
        }
    }
    return operands;
}

std::vector<uint8_t> Encode(const std::string& upperMnemonic, const std::vector<Operand>& operands,
                            const std::vector<Token>& tokens, OperandContext& context, int64_t address) {
    auto [first, last] = FormsByMnemonic().equal_range(upperMnemonic);
    if (first == last) throw AsmError("unknown instruction '" + upperMnemonic + "'");
    const Form* form = nullptr;
    // At most one form of a mnemonic fits a list of operand kinds, so the
    // search order does not matter.
    for (auto it = first; it != last; ++it) {
        const Form* candidate = it->second;
        size_t count = 0;
        while (count < 3 && candidate->operands[count] != None)
            ++count;
        if (count != operands.size()) continue;
        bool ok = true;
        for (size_t i = 0; i < count && ok; ++i)
            ok = Matches(candidate->operands[i], operands[i]);
        if (ok) {
            form = candidate;
            break;
        }
    }
    if (!form) {
        std::string shape;
        for (size_t i = 0; i < operands.size(); ++i) {
            if (i) shape += ",";
            for (size_t t = operands[i].first; t < operands[i].last; ++t)
                shape += tokens[t].text;
        }
        throw AsmError(operands.empty() ? upperMnemonic + " needs operands"
                                        : "invalid operands '" + shape + "' for " + upperMnemonic);
    }

    size_t size = 1;
    for (Pattern p : form->operands)
        size += OperandSize(p);
    std::vector<uint8_t> bytes{form->opcode};
    for (size_t i = 0; i < operands.size(); ++i) {
        const Operand& o = operands[i];
        const Pattern p = form->operands[i];
        if (p == pRn || p == pIRi) {
            bytes[0] = static_cast<uint8_t>(bytes[0] + o.reg);
            continue;
        }
        if (OperandSize(p) == 0) continue;
        const Value v = Evaluate(tokens, o.begin, o.end, context);
        const int64_t n = v.number;
        switch (p) {
        case pImm8:
            if (v.known && n > 0xFF && n < 0xFF00)
                throw AsmError("value " + std::to_string(n) + " does not fit in a byte");
            bytes.push_back(static_cast<uint8_t>(n));
            break;
        case pDir:
        case pBit:
        case pNBit:
            if (v.known && n > 0xFF)
                throw AsmError(std::string(p == pDir ? "direct address " : "bit address ") +
                               std::to_string(n) + " is out of range 0..255");
            bytes.push_back(static_cast<uint8_t>(n));
            break;
        case pRel: {
            const int64_t offset = n - (address + static_cast<int64_t>(size));
            if (v.known && (offset < -128 || offset > 127))
                throw AsmError("jump target out of range by " +
                               std::to_string(offset < 0 ? -128 - offset : offset - 127) + " bytes");
            bytes.push_back(static_cast<uint8_t>(offset & 0xFF));
            break;
        }
        case pA11:
            if (v.known && ((address + 2) & 0xF800) != (n & 0xF800))
                throw AsmError("target is outside the 2 KB page of " + upperMnemonic);
            bytes[0] = static_cast<uint8_t>(bytes[0] | ((n >> 3) & 0xE0));
            bytes.push_back(static_cast<uint8_t>(n & 0xFF));
            break;
        default: // pImm16, pA16
            bytes.push_back(static_cast<uint8_t>((n >> 8) & 0xFF));
            bytes.push_back(static_cast<uint8_t>(n & 0xFF));
            break;
        }
    }
    // MOV direct,direct: the source byte comes first.
    if (form->opcode == 0x85) std::swap(bytes[1], bytes[2]);
    return bytes;
}

} // namespace torvane::asm51
