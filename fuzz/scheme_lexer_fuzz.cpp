// Lexes arbitrary text as a scheme script to the end of input.
//
// Holds when: the lexer ends on every input and fails only with
// ETES_COMP_ERROR, whose text always carries the position frame; string
// values resolve for every string token.

#include "common/Exceptions.h"
#include "scheme/ScriptLexer.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace torvane::scheme;
    try {
        // No include directory the fuzzer could reach: <...> names never open.
        TTES_Compiler lexer(std::string(reinterpret_cast<const char*>(data), size),
                            "/nonexistent-torvane-fuzz");
        for (int code = lexer.NextToken(); code != tkEndOfInput; code = lexer.NextToken()) {
            if (code == tkString) (void)lexer.StringValue();
        }
    } catch (const torvane::ETES_COMP_ERROR& e) {
        if (std::strncmp(e.what(), "** ERROR near line ", 19) != 0) std::abort();
    }
    return 0;
}
