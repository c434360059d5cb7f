// The symbol scanner:
//   symbols_bench --benchmark_filter=ScanHugeSource
//     definitions of a generated 8051 source of 100 MB held in memory;
//   symbols_bench --benchmark_filter=ScanIncludeTree
//     a source including 2,000 files under /tmp (40 folders of 50, each file
//     including the next one of its folder), read from disk;
//   symbols_bench --benchmark_filter=OutlineRescan
//     what the outline does on a quiet moment after an edit of a
//     100,000-line document: the editor's text taken out of the store and
//     scanned.
// Peak memory: run under /usr/bin/time -v and read "Maximum resident set size".

#include "editor/TextStore.h"
#include "symbols/SymbolTable.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

using namespace torvane;

namespace {

const char* const kSourceLines[] = {
    "        MOV   A,#0FFh          ; load the mask",
    "loop%:  MOVX  @DPTR,A",
    "        CJNE  R7,#10,next_byte",
    "LIMIT%  EQU   30H              ; a constant",
    "        LCALL delay",
    "        DB    'text', 0Dh, 0Ah",
    "",
};

// Lines of the generated program; "%" becomes the line number so that every
// definition has its own name.
std::string Source(size_t bytes) {
    std::string text;
    text.reserve(bytes + 64);
    for (size_t i = 0; text.size() < bytes; ++i) {
        std::string line = kSourceLines[i % std::size(kSourceLines)];
        if (const size_t mark = line.find('%'); mark != std::string::npos)
            line.replace(mark, 1, std::to_string(i));
        text += line;
        text += "\r\n";
    }
    return text;
}

void BM_ScanHugeSource(benchmark::State& state) {
    const std::string text = Source(100u << 20);
    symbols::TDiskFiles disk;
    size_t count = 0;
    for (auto _ : state) {
        const symbols::TSymbolTable table =
            symbols::ScanProject({symbols::TDialect::Asm51, "", text, {}}, disk);
        count = table.symbols.size();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["Symbols"] = static_cast<double>(count);
}
BENCHMARK(BM_ScanHugeSource)->Unit(benchmark::kMillisecond);

void BM_ScanIncludeTree(benchmark::State& state) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / "torvane_symbols_bench_tree";
    constexpr int kFolders = 40, kPerFolder = 50;
    fs::remove_all(root);
    std::vector<std::string> dirs;
    std::string main;
    for (int d = 0; d < kFolders; ++d) {
        const fs::path dir = root / ("lib" + std::to_string(d));
        fs::create_directories(dir);
        dirs.push_back(dir.string());
        for (int f = 0; f < kPerFolder; ++f) {
            const std::string name = "d" + std::to_string(d) + "_" + std::to_string(f) + ".inc";
            std::ofstream out(dir / name, std::ios::binary);
            out << Source(2000);
            if (f + 1 < kPerFolder) out << "$INCLUDE(d" << d << '_' << f + 1 << ".inc)\r\n";
        }
        main += "$INCLUDE(d" + std::to_string(d) + "_0.inc)\r\n";
    }
    symbols::TDiskFiles disk;
    size_t files = 0;
    for (auto _ : state) {
        const symbols::TSymbolTable table =
            symbols::ScanProject({symbols::TDialect::Asm51, (root / "main.asm").string(), main, dirs}, disk);
        files = table.files.size();
    }
    state.counters["Files"] = static_cast<double>(files);
    fs::remove_all(root);
}
BENCHMARK(BM_ScanIncludeTree)->Unit(benchmark::kMillisecond);

void BM_OutlineRescan(benchmark::State& state) {
    editor::TTextStore store;
    std::string text;
    for (int i = 0; i < 100000; ++i) {
        std::string line = kSourceLines[i % std::size(kSourceLines)];
        if (const size_t mark = line.find('%'); mark != std::string::npos)
            line.replace(mark, 1, std::to_string(i));
        text += line + "\r\n";
    }
    store.SetText(text);
    size_t count = 0;
    for (auto _ : state) {
        const std::string current = store.Text();
        count = 0;
        symbols::TLineSink sink;
        sink.symbol = [&](int32_t, symbols::TLineSymbol&&) { ++count; };
        symbols::ScanText(symbols::TDialect::Asm51, current, sink);
    }
    state.counters["Symbols"] = static_cast<double>(count);
}
BENCHMARK(BM_OutlineRescan)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
