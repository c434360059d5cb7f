// Fuzz target of the regular-expression engine: the input is a pattern and a
// subject separated by the first NUL byte. The engine must compile or refuse
// any pattern, and search any subject, without crashing, reading or writing
// out of bounds, or running away (a runaway ends in ERegExpError).
#include "regex/REParser.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    const void* nul = std::memchr(text, 0, size);
    size_t patternSize = nul ? static_cast<size_t>(static_cast<const char*>(nul) - text) : size;
    std::string pattern(text, patternSize);
    std::string subject =
        patternSize < size ? std::string(text + patternSize + 1, size - patternSize - 1) : "";

    torvane::TREParser re;
    // Small limits keep runaway inputs quick; the limit logic is the same.
    re.SetWorkLimits({200'000, 64, 200'000, 4096});
    if (!re.Compile(pattern)) return 0;
    for (bool forward : {true, false}) {
        torvane::TStringCharSource source(subject,
                                          forward ? 0 : static_cast<torvane::TREPos>(subject.size()));
        try {
            if (re.Execute(&source, forward)) {
                int end = re.SlotCount();
                if (re.Position(0) > re.Position(end) && re.Position(0) >= 0) __builtin_trap();
            }
        } catch (const torvane::ERegExpError&) {
        }
    }
    return 0;
}
