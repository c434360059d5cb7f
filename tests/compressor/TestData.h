#pragma once
// Deterministic sample inputs for the compressor tests: noise, assembler-like
// text and long runs.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace torvane::compressor_test {

using Bytes = std::vector<uint8_t>;

inline Bytes RandomBytes(size_t n, uint32_t seed) {
    std::mt19937 gen(seed);
    Bytes out(n);
    for (auto& b : out)
        b = static_cast<uint8_t>(gen());
    return out;
}

inline Bytes AssemblerText(size_t n, uint32_t seed) {
    static const char* const kMnemonics[] = {"mov",   "add",   "addc", "subb", "inc", "dec",  "jnz", "djnz",
                                             "acall", "lcall", "ret",  "push", "pop", "cjne", "orl", "anl"};
    static const char* const kOperands[] = {"a", "r0", "r1", "r7", "@r0", "#0FFh", "dptr", "#12", "b", "30h"};
    std::mt19937 gen(seed);
    std::string text;
    while (text.size() < n) {
        if (gen() % 5 == 0) text += "label" + std::to_string(gen() % 300) + ":\r\n";
        text += '\t';
        text += kMnemonics[gen() % 16];
        text += '\t';
        text += kOperands[gen() % 10];
        text += ", ";
        text += kOperands[gen() % 10];
        if (gen() % 3 == 0) text += "\t; comment " + std::to_string(gen() % 1000);
        text += "\r\n";
    }
    text.resize(n);
    return Bytes(text.begin(), text.end());
}

// Runs of 1..5000 equal bytes, so every run length class appears.
inline Bytes RunHeavy(size_t n, uint32_t seed) {
    std::mt19937 gen(seed);
    Bytes out;
    out.reserve(n);
    while (out.size() < n) {
        size_t len = gen() % 4 == 0 ? gen() % 5000 + 1 : gen() % 40 + 1;
        out.insert(out.end(), std::min(len, n - out.size()), static_cast<uint8_t>(gen() % 4));
    }
    return out;
}

} // namespace torvane::compressor_test
