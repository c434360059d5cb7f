// Build of the 8051 example: the asemw adapter alone, the bridge call around
// it (in process), and the whole `torvane-cli build`. The differences are the
// bridge's own overhead (process start, 1 ms polling, log) and the CLI's
// (library load, settings). HEX to BIN on a 1 MB image next to srec_cat.
//
//   build/bench/bridge/bridge_bench  (or <build>/bin/bridge_bench)

#include "bridge/Bridge.h"
#include "bridge/HexToBin.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;
using namespace torvane::bridge;

namespace {

const fs::path kBin = TORVANE_BIN_DIR;

fs::path WorkDir() {
    static fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / "torvane_bridge_bench";
        fs::remove_all(d);
        fs::create_directories(d);
        fs::copy_file(fs::path(TORVANE_EXAMPLES) / "blink51.asm", d / "blink51.asm");
        std::ofstream(d / "bench.ini") << "[ASEM51]\nPath=" << (kBin / "asemw").string() << "\n";
        return d;
    }();
    return dir;
}

bool Run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

void BM_Build8051_AdapterAlone(benchmark::State& state) {
    const fs::path dir = WorkDir();
    const std::string command = "'" + (kBin / "asemw").string() + "' '" + (dir / "blink51.asm").string() +
                                "' '/includes:" + dir.string() + "/;'";
    for (auto _ : state)
        if (!Run(command)) state.SkipWithError("asemw failed");
}
BENCHMARK(BM_Build8051_AdapterAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Build8051_BridgeCall(benchmark::State& state) {
    const fs::path dir = WorkDir();
    const std::string source = (dir / "blink51.asm").string(), log = (dir / "compiler.log").string();
    const std::string asmPath = (kBin / "asemw").string();
    for (auto _ : state)
        if (CallBridge(Assembler::Asem51, source.c_str(), log.c_str(), asmPath.c_str(), "", 0) != kAssembled)
            state.SkipWithError("bridge call failed");
}
BENCHMARK(BM_Build8051_BridgeCall)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Build8051_CliBuild(benchmark::State& state) {
    const fs::path dir = WorkDir();
    const fs::path cli = kBin / "torvane-cli";
    if (!fs::exists(cli)) {
        state.SkipWithError("torvane-cli not built");
        return;
    }
    const std::string command = "'" + cli.string() + "' build '" + (dir / "blink51.asm").string() +
                                "' --ini '" + (dir / "bench.ini").string() + "'";
    for (auto _ : state)
        if (!Run(command)) state.SkipWithError("torvane-cli build failed");
}
BENCHMARK(BM_Build8051_CliBuild)->Unit(benchmark::kMillisecond)->UseRealTime();

// A 1 MB image as an assembler writes it: 16-byte data records, an extended
// linear address record at every 64 KB.
const fs::path& HexFile() {
    static fs::path path = [] {
        fs::path p = WorkDir() / "image.hex";
        std::ofstream out(p, std::ios::binary);
        std::mt19937 random(42);
        auto hex2 = [](unsigned v) {
            static const char digits[] = "0123456789ABCDEF";
            return std::string{digits[(v >> 4) & 15], digits[v & 15]};
        };
        for (uint32_t address = 0; address < (1u << 20); address += 16) {
            if (address % 0x10000 == 0) {
                unsigned hi = address >> 16, sum = 2 + 4 + hi;
                out << ":02000004" << hex2(0) << hex2(hi) << hex2((0x100 - sum) & 0xFF) << "\r\n";
            }
            unsigned lo = address & 0xFFFF, sum = 16 + (lo >> 8) + (lo & 0xFF);
            out << ":10" << hex2(lo >> 8) << hex2(lo & 0xFF) << "00";
            for (int i = 0; i < 16; ++i) {
                unsigned b = random() & 0xFF;
                sum += b;
                out << hex2(b);
            }
            out << hex2((0x100 - sum) & 0xFF) << "\r\n";
        }
        out << ":00000001FF\r\n";
        return p;
    }();
    return path;
}

void BM_HexToBin1MB(benchmark::State& state) {
    const std::string hex = HexFile().string(), bin = (WorkDir() / "image.bin").string();
    for (auto _ : state)
        if (HexToBin(hex, bin) != kHexOk) state.SkipWithError("conversion failed");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(HexFile())));
}
BENCHMARK(BM_HexToBin1MB)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SrecCat1MB(benchmark::State& state) {
    const std::string hex = HexFile().string(), bin = (WorkDir() / "image-srec.bin").string();
    const std::string command = "srec_cat '" + hex + "' -Intel -fill 0xFF 0 -maximum-address '" + hex +
                                "' -Intel -o '" + bin + "' -Binary";
    for (auto _ : state)
        if (!Run(command)) state.SkipWithError("srec_cat failed");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(HexFile())));
}
BENCHMARK(BM_SrecCat1MB)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
