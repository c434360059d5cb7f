#pragma once
// The 8051 instruction set: operand shapes, the opcode table and encoding.
//
// Every instruction form is one table row: mnemonic, operand patterns and the
// opcode; a register number (Rn, @Ri) is added to the opcode and an 11-bit
// address puts its bits 10..8 into the opcode's top three bits. Operand bytes
// follow in operand order, except MOV direct,direct which stores the source
// first, as the processor reads it.
//
// The generic JMP and CALL are not in the table: the assembler chooses the
// concrete form (see Assembler.h) and encodes that.

#include "asm51/Expression.h"

#include <cstdint>
#include <string>
#include <vector>

namespace torvane::asm51 {

enum class OperandKind {
    A,
    AB,
    C,
    DPTR,
    Register,
    Indirect,
    AtDptr,
    AtADptr,
    AtAPc,
    Immediate,
    NotBit,
    Expression
};

struct Operand {
    OperandKind kind = OperandKind::Expression;
    int reg = 0;                // R0..R7 or @R0/@R1
    size_t begin = 0, end = 0;  // the expression's tokens
    size_t first = 0, last = 0; // the whole operand's tokens, for messages
};

class OperandContext : public ExpressionContext {
public:
    // The register a symbol stands for ("R3", "A" ...) when it was set equal to
    // one, else empty.
    virtual std::string RegisterAlias(const std::string& upperName) = 0;
};

bool IsMnemonic(const std::string& upperName);

// Splits tokens[begin, end) at top-level commas and classifies each operand.
std::vector<Operand> ParseOperands(const std::vector<Token>& tokens, size_t begin, size_t end,
                                   OperandContext& context);

// The bytes of one instruction at `address`; throws AsmError when no form of
// the mnemonic takes these operands or a value is out of range. Values not
// known yet (forward references in an early pass) skip the range checks.
std::vector<uint8_t> Encode(const std::string& upperMnemonic, const std::vector<Operand>& operands,
                            const std::vector<Token>& tokens, OperandContext& context, int64_t address);

} // namespace torvane::asm51
