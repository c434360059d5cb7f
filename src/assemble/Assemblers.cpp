#include "assemble/Assemblers.h"

#include <algorithm>
#include <cctype>

namespace torvane::build {

Assembler AssemblerOfFirstLine(const std::string& firstLine) {
    std::string lower = firstLine;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (Assembler assembler : platform::kBuildAssemblers)
        if (lower == platform::FactsOf(assembler).marker) return assembler;
    return Assembler::None;
}

} // namespace torvane::build
