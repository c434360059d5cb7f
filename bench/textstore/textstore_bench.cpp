// Text store on a 100 MB assembler source of 3 million lines: load, save,
// and line lookups in the middle of it. The file is generated once under
// /tmp. Peak memory is the process high-water mark (VmHWM); run one
// benchmark per process to read it for that benchmark alone, e.g.
//   textstore_bench --benchmark_filter=Load
#include "editor/TextStore.h"

#include <benchmark/benchmark.h>

#include <algorithm>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace torvane::editor;

namespace {

constexpr int kLines = 3'000'000;
const char* const kFile = "/tmp/torvane-bench-100mb.asm";

// Assembler-looking lines averaging about 33 bytes with CR LF.
std::string MakeLine(int i) {
    static const char* const body[] = {
        "\tmov\ta,#0x%02X\t\t; load counter %d", "loop%d:\tdjnz\tr%d,loop%d\t; again",
        "\tacall\tsub_%05d\t\t; call helper",    "\t; ------ section %d ------",
        "\tmovx\t@dptr,a\t\t; store byte %d",    "sub_%05d:\tpush\tacc\t\t; save acc",
    };
    char buf[96];
    const int k = i % 6;
    int n = 0;
    switch (k) {
    case 0:
        n = std::snprintf(buf, sizeof buf, body[0], i & 0xFF, i);
        break;
    case 1:
        n = std::snprintf(buf, sizeof buf, body[1], i, i % 8, i);
        break;
    case 2:
        n = std::snprintf(buf, sizeof buf, body[2], i % 100000);
        break;
    case 3:
        n = std::snprintf(buf, sizeof buf, body[3], i);
        break;
    case 4:
        n = std::snprintf(buf, sizeof buf, body[4], i);
        break;
    default:
        n = std::snprintf(buf, sizeof buf, body[5], i % 100000);
        break;
    }
    return std::string(buf, static_cast<size_t>(n)) + "\r\n";
}

const std::string& BenchFile() {
    static const std::string path = [] {
        std::error_code ec;
        if (std::filesystem::file_size(kFile, ec) < 90'000'000 || ec) {
            std::ofstream out(kFile, std::ios::binary | std::ios::trunc);
            std::string block;
            for (int i = 0; i < kLines; ++i) {
                block += MakeLine(i);
                if (block.size() > (1 << 20)) {
                    out << block;
                    block.clear();
                }
            }
            out << block;
        }
        return std::string(kFile);
    }();
    return path;
}

double PeakMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

void SetMemoryCounters(benchmark::State& state) {
    const double fileMb = static_cast<double>(std::filesystem::file_size(BenchFile())) / (1024.0 * 1024.0);
    state.counters["file_MB"] = fileMb;
    state.counters["peak_MB"] = PeakMegabytes();
    state.counters["peak_x_file"] = PeakMegabytes() / fileMb;
}

TTextStore& LoadedStore() {
    static TTextStore store;
    static bool loaded = false;
    if (!loaded) {
        store.LoadFromFile(BenchFile());
        loaded = true;
    }
    return store;
}

void BM_Load(benchmark::State& state) {
    BenchFile();
    for (auto _ : state) {
        TTextStore store;
        store.LoadFromFile(BenchFile());
        benchmark::DoNotOptimize(store.LineCount());
        state.counters["lines"] = store.LineCount();
    }
    SetMemoryCounters(state);
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Save(benchmark::State& state) {
    TTextStore& store = LoadedStore();
    const std::string out = "/tmp/torvane-bench-save.asm";
    for (auto _ : state)
        store.SaveToFile(out);
    std::filesystem::remove(out);
    SetMemoryCounters(state);
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->Iterations(3);

// Steady state: the block directory is up to date.
void BM_LineLookupMiddle(benchmark::State& state) {
    TTextStore& store = LoadedStore();
    const TLineIndex mid = store.LineCount() / 2;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.LineStart(mid));
        benchmark::DoNotOptimize(store.LineOfOffset(store.TextLength() / 2));
    }
}
BENCHMARK(BM_LineLookupMiddle)->Unit(benchmark::kNanosecond);

// Line after line, as painting, re-highlighting and line-wise commands go:
// each step asks for the next line's start, node and token bytes. Reported
// per line.
void BM_LineWalk(benchmark::State& state) {
    TTextStore& store = LoadedStore();
    const TLineIndex lines = std::min<TLineIndex>(store.LineCount(), 1'000'000);
    for (auto _ : state) {
        int64_t sum = 0;
        for (TLineIndex i = 0; i < lines; ++i)
            sum +=
                store.LineStart(i) + store.Node(i).length + static_cast<int64_t>(store.NodeStyles(i).size());
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_LineWalk)->Unit(benchmark::kMillisecond);

// Worst case: an edit at the top of the file has just invalidated the whole
// directory, so the lookup in the middle rebuilds half of it.
void BM_LineLookupMiddleAfterEditAtTop(benchmark::State& state) {
    TTextStore& store = LoadedStore();
    const TLineIndex mid = store.LineCount() / 2;
    for (auto _ : state) {
        state.PauseTiming();
        store.Insert(0, "x");
        store.Delete(0, 1);
        state.ResumeTiming();
        benchmark::DoNotOptimize(store.LineStart(mid));
    }
}
BENCHMARK(BM_LineLookupMiddleAfterEditAtTop)->Unit(benchmark::kMicrosecond);

// Typing one character in the middle of the file.
void BM_InsertCharMiddle(benchmark::State& state) {
    TTextStore& store = LoadedStore();
    const TOffset at = store.LineStart(store.LineCount() / 2) + 3;
    for (auto _ : state) {
        store.Insert(at, "x");
        store.Delete(at, 1);
    }
}
BENCHMARK(BM_InsertCharMiddle)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
