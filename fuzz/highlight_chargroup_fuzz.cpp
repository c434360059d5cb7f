// Parses character specifiers one after the other, as the script compiler
// does. Guarantee under test: the parser never reads outside the text, always
// advances, and fails only with ETessary (a reversed range).
#include "highlight/CharGroup.h"

#include "common/Exceptions.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    torvane::TTE_CharGroupManager groups;
    size_t pos = 0;
    while (pos < text.size()) {
        torvane::TTE_CharGroup g;
        size_t before = pos;
        try {
            g.ParseSpecifier(text, pos);
        } catch (const torvane::ETessary&) {
            return 0;
        }
        if (pos <= before || pos > text.size()) std::abort();
        int index = groups.Intern(g);
        if (!groups.Get(index).Equals(g)) std::abort();
    }
    return 0;
}
