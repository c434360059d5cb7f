// Feeds arbitrary bytes to the 8051 assembler as a source file.
//
// Holds when: no input makes the assembler read or write out of bounds, throw,
// or run without end; macro recursion, include nesting, expansion size and
// passes are bounded and reported as errors.

#include "asm51/Assembler.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    torvane::asm51::AssemblerOptions options;
    options.listing = size > 0 && data[0] == ';'; // reach the listing writer too
    // A folder that does not exist: includes other than absolute paths fail.
    torvane::asm51::AssembleText(text, "/nonexistent/fuzz.asm", "fuzz.asm", options);
    return 0;
}
