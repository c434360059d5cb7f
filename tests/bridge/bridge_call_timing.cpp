// Times a build through the bridge library as the program makes one (load
// the library, look up ASEM51, call it, free the library) with the scripted
// stand-in assembler, next to a run of the same stand-in through the process
// runner alone. The difference is the bridge's own cost per build. Not a
// test: it prints milliseconds per build, for a system where the benchmark
// library is not at hand (the Windows build under wine).
//   out/tests/bridge_call_timing [RUNS]
//   (cd out/windows/tests && wine ./bridge_call_timing.exe [RUNS])

#include "bridge/CommandLine.h"
#include "bridge/Export.h"
#include "platform/DynamicLibrary.h"
#include "platform/FileSystem.h"
#include "platform/ProcessRunner.h"
#include "support/TestFiles.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace torvane;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// Median and mean of the runs, in milliseconds.
void Report(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double m : ms)
        sum += m;
    std::printf("%-34s median %7.2f ms  mean %7.2f ms  (%zu runs)\n", what, ms[ms.size() / 2],
                sum / ms.size(), ms.size());
}

template <typename Step> std::vector<double> Time(int runs, Step step) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const Clock::time_point start = Clock::now();
        if (!step()) {
            std::fprintf(stderr, "run %d failed\n", i);
            std::exit(1);
        }
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    const fs::path dir = fs::temp_directory_path() / "torvane_bridge_timing";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path assembler = dir / fs::path(FAKE_ASSEMBLER).filename();
    fs::copy_file(FAKE_ASSEMBLER, assembler);
    test_support::WriteFile(dir / "fake.script", "out asemw\\nBANNER 1.0\\n\\nno errors\\n\n");
    test_support::WriteFile(dir / "prog.asm", "nop\n");
    const std::string source = platform::NameOf(dir / "prog.asm");
    const std::string log = platform::NameOf(dir / "compiler.log");
    const std::string asmPath = platform::NameOf(assembler);

    const std::string commandLine = bridge::Asem51CommandLine(asmPath, source, "");
    const std::string workDir = platform::NameOf(dir);
    Report("assembler through the runner", Time(runs, [&] {
               std::vector<std::string> lines;
               return platform::RunProcess(commandLine, workDir, lines).end == platform::ProcessEnd::Exited;
           }));
    Report("build through the bridge library", Time(runs, [&] {
               platform::DynamicLibrary library;
               if (!library.Load(PELORIN_LIBRARY)) return false;
               const auto asem51 = reinterpret_cast<PelorinExport>(library.Symbol("ASEM51"));
               return asem51 && asem51(source.c_str(), log.c_str(), asmPath.c_str(), "", 0) == 1;
           }));
    fs::remove_all(dir);
    return 0;
}
