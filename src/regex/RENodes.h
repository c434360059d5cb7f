#pragma once
// Opcodes and node layout of the TREParser program (the table is in
// REParser.h). Shared by the compiler and the matcher only.

#include <cstdint>
#include <vector>

namespace torvane::re {

enum Op : std::uint8_t {
    END = 0,
    BOL = 1,
    EOL = 2,
    ANY = 3,
    ANYOF = 4,
    ANYBUT = 5,
    BRANCH = 6,
    BACK = 7,
    EXACTLY = 8,
    NOTHING = 9,
    STAR = 10,
    PLUS = 11,
    OPEN = 20,  // + depth 1..9
    CLOSE = 40, // + depth 1..9
    SET = 150,
    DEC = 152,
    TEST = 153,
    IFGT = 154,
    IFLE = 155,
};

constexpr int kMaxDepth = 9;
constexpr int kNodeHeader = 3;   // opcode + 16-bit link
constexpr int kCounterNode = 6;  // SET, DEC, TEST: header, counter, 2 bytes
constexpr int kIfNode = 4;       // IFGT, IFLE: header, counter
constexpr int kTestZeroSkip = 9; // TEST: node to run when the counter is 0
constexpr int kTestMoreSkip = 6; // TEST: node to run otherwise
constexpr int kClassBytes = 256;
constexpr int kMaxProgram = 0xFFFF; // links are 16-bit distances

// Parse flags of a piece.
enum Flag : int {
    kHasWidth = 1, // matches at least one character
    kSimple = 2,   // matches exactly one character: STAR/PLUS can drive it
    kSpStart = 4,  // starts with a loop
};

inline bool IsOpen(std::uint8_t op) {
    return op > OPEN && op <= OPEN + kMaxDepth;
}
inline bool IsClose(std::uint8_t op) {
    return op > CLOSE && op <= CLOSE + kMaxDepth;
}

// Next node of `node` in `program`, or 0 when it has none.
inline int NextOf(const std::vector<std::uint8_t>& program, int node) {
    int link = (program[node + 1] << 8) | program[node + 2];
    if (link == 0) return 0;
    return program[node] == BACK ? node - link : node + link;
}

} // namespace torvane::re
