#pragma once
// The assemblers a document can be built with, indexed as everywhere in the
// program: 0 none, 1 the 8051 assembler, 2 the AVR assembler. A document's
// assembler is decided by its first line alone.

#include <string>

namespace torvane::build {

inline constexpr int kAssemblerNone = 0;
inline constexpr int kAssembler8051 = 1;
inline constexpr int kAssemblerAvr = 2;

struct AssemblerInfo {
    const char* marker;      // the whole first line of a document built with it
    const char* exportName;  // the bridge library's export
    const char* section;     // settings section holding Path, Lib and Bin
    const char* programName; // the program the settings should name
};

// Index 1 or 2; null for any other index.
const AssemblerInfo* FindAssembler(int index) noexcept;

// 1 or 2 when the lower-cased first line equals a marker exactly, else 0.
int AssemblerOfFirstLine(const std::string& firstLine);

} // namespace torvane::build
