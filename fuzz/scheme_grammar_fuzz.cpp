// Compiles arbitrary text as a scheme script; when it compiles, stores the
// scheme as a compiled stream, loads it back and highlights a short text.
//
// Holds when: compiling ends on every input and fails only with ETessary
// (ETES_COMP_ERROR carrying the position frame, or a value out of range);
// whatever compiles can be saved and loaded again; highlighting with it
// fails, if at all, only with ETessary ("Stack underflow").

#include "common/Exceptions.h"
#include "common/Stream.h"
#include "highlight/ParserText.h"
#include "scheme/SchemeCompiler.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace torvane;
    TTessaryParser parser;
    try {
        // No include directory the fuzzer could reach: <...> names never open.
        scheme::CompileSchemeText(parser, std::string(reinterpret_cast<const char*>(data), size),
                                  "/nonexistent-torvane-fuzz/x.tsc");
    } catch (const ETES_COMP_ERROR& e) {
        if (std::strncmp(e.what(), "** ERROR near line ", 19) != 0) std::abort();
        return 0;
    } catch (const ETessary&) {
        return 0;
    }
    TMemoryStream compiled;
    parser.SaveToStream(compiled);
    compiled.SetPosition(0);
    TTessaryParser loaded;
    loaded.LoadFromStream(compiled); // raises (and so aborts the run) if the stream is not readable
    try {
        (void)ScanTokenIds(loaded, "start: mov a,#10h ; x\r'str' \"s\" 0x1F $ @r0\r");
    } catch (const ETessary&) {
    }
    return 0;
}
