// The symbol scanner reads whatever the user opens and whatever it includes.
// On any bytes it must neither crash nor hang, its records must be sane, and
// every definition it reports must be found again as a use at its own place.
//
// Input: the first byte picks the dialect (even: 8051, odd: AVR), the rest is
// the source. Every include resolves to the same bytes again, so include
// chains, repeats and cycles are all exercised.

#include "symbols/SymbolTable.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

class EchoFiles : public torvane::symbols::TSourceFiles {
public:
    explicit EchoFiles(std::string_view bytes) : bytes_(bytes) {}
    std::string Identity(const std::string& path) override { return path; }
    std::optional<uint64_t> FileSize(const std::string&) override { return bytes_.size(); }
    bool Read(const std::string&, std::string& bytes) override {
        bytes.assign(bytes_);
        return true;
    }

private:
    std::string_view bytes_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace torvane::symbols;
    if (size == 0) return 0;
    const TDialect dialect = (data[0] & 1) ? TDialect::Avr : TDialect::Asm51;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    EchoFiles files(text);
    TScanLimits limits;
    limits.maxFiles = 16;
    const TSymbolTable table = ScanProject({dialect, "/fuzz/main.asm", text, {"/fuzz/lib"}}, files, limits);

    int checked = 0;
    for (const TSymbol& s : table.symbols) {
        if (s.name.empty() || s.name.size() > 128 || s.value.size() > 256) std::abort();
        if (s.file < 0 || static_cast<size_t>(s.file) >= table.files.size()) std::abort();
        if (s.file != 0 || s.kind == TSymbolKind::Device || checked >= 8) continue;
        ++checked;
        bool found = false;
        FindUses(text, s.name, [&](int32_t line, int32_t column, std::string_view) {
            found = found || (line == s.line && column == s.column);
        });
        if (!found || !table.Find(s.name)) std::abort();
    }
    return 0;
}
