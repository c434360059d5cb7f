// The 8051 assembler's speed: a generated 100,000-line program assembled in
// process, and full builds of the examples as F9 runs them (torvane-cli build
// -> Pelorin -> asemw), target under 30 ms each.
//
// The generated program (/tmp/torvane-asm51-100k.asm) is written beside an
// equivalent one in as31's syntax, for a side-by-side run:
//   /usr/bin/time -v out/bin/asemw /tmp/torvane-asm51-100k.asm
//   /usr/bin/time -v as31 -Fhex /tmp/torvane-asm51-100k-as31.asm

#include "asm51/Assembler.h"
#include "common/ToolSupport.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace torvane;

namespace {

const char kProgram[] = "/tmp/torvane-asm51-100k.asm";
const char kAs31Program[] = "/tmp/torvane-asm51-100k-as31.asm";

// Blocks of ten lines: a label with an instruction, three more instructions
// (6 bytes in all), an equate, three comments and two blank lines; 10,000
// blocks. as31 gets the same program with its own equate syntax.
void WriteProgram(const char* path, bool as31) {
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < 10000; ++i) {
        out << "L" << i << ":\tmov a,r" << (i % 8) << "\n"
            << "\tadd a,#" << (i % 200) << "\n"
            << "\tdjnz r7,L" << i << "\n";
        if (as31)
            out << "\t.equ C" << i << ", " << i << "\n";
        else
            out << "C" << i << "\tEQU " << i << "\n";
        out << "; block " << i << " of the generated program\n\n"
            << "\trl a\t; rotate\n\n"
            << "\t; nothing else\n"
            << "; end of block\n";
    }
}

void BM_Assemble100kLines(benchmark::State& state) {
    WriteProgram(kProgram, false);
    WriteProgram(kAs31Program, true);
    for (auto _ : state) {
        const asm51::Assembly result = asm51::AssembleFile(kProgram, kProgram, {});
        if (!result.Ok()) state.SkipWithError(result.errors.front().message.c_str());
        benchmark::DoNotOptimize(result.code.Count());
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}

void BuildExample(benchmark::State& state, const std::string& name, const std::string& main) {
    const fs::path dir = fs::temp_directory_path() / "torvane-asm51-bench" / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path from = fs::path(TORVANE_EXAMPLES) / name;
    fs::copy(from, fs::is_directory(from) ? dir : dir / name, fs::copy_options::recursive);
    const std::string bin = TORVANE_BIN_DIR;
    std::ofstream(dir / "t.ini") << "[ASEM51]\nPath=" << bin << "/asemw\n";
    const std::vector<std::string> argv{bin + "/torvane-cli", "build", (dir / main).string(), "--ini",
                                        (dir / "t.ini").string()};
    for (auto _ : state) {
        const tools::Captured run = tools::RunCaptured(argv, dir.string());
        if (run.exitCode != 0) state.SkipWithError(run.out.c_str());
    }
}

} // namespace

BENCHMARK(BM_Assemble100kLines)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuildExample, blink51, std::string("blink51.asm"), std::string("blink51.asm"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuildExample, timer51, std::string("timer51.asm"), std::string("timer51.asm"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuildExample, uart51, std::string("uart51.asm"), std::string("uart51.asm"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuildExample, lcd51, std::string("lcd51.asm"), std::string("lcd51.asm"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuildExample, table51, std::string("table51.asm"), std::string("table51.asm"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuildExample, multi51, std::string("multi51"), std::string("main.asm"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
