#include "assemble/Assemblers.h"

#include "platform/Names.h"

#include <algorithm>
#include <cctype>

namespace torvane::build {
namespace {

constexpr AssemblerInfo kAssemblers[] = {
    {";compiler: asem51", "ASEM51", "ASEM51", platform::kAsem51Program},
    {";compiler: avrasm", "AVRASM", "AvrAsm32", platform::kAvrAsmProgram},
};

} // namespace

const AssemblerInfo* FindAssembler(int index) noexcept {
    return index == kAssembler8051 || index == kAssemblerAvr ? &kAssemblers[index - 1] : nullptr;
}

int AssemblerOfFirstLine(const std::string& firstLine) {
    std::string lower = firstLine;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (int index : {kAssembler8051, kAssemblerAvr})
        if (lower == FindAssembler(index)->marker) return index;
    return kAssemblerNone;
}

} // namespace torvane::build
