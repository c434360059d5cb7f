// Highlighting a generated 8051 source of 100 MB from scratch with the
// bundled asm51.tsc, the way the editor does after opening a file: the text
// sits in a text store and the re-highlighting driver sets the token byte of
// every character.
//   scheme_bench --benchmark_filter=HighlightAsm51
// reports bytes_per_second (MB/s of source text) and, as counters, the token
// bytes the store holds afterwards (TokenBytes, one per character) and the
// process's peak resident memory (PeakRSS_MB, Linux only; it includes the
// generated text and the store).
// ScanAsm51 runs the scanner alone over the text in one string;
// CompileAsm51 measures compiling the script itself.

#include "cli/ParserBinding.h"
#include "common/Stream.h"
#include "highlight/ParserText.h"
#include "scheme/SchemeCompiler.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <random>
#include <string>

using namespace torvane;

namespace {

constexpr size_t kTextBytes = 100u << 20;
const std::string kScript = TORVANE_SCRIPTS_DIR "/asm51.tsc";

// Lines as an 8051 source has them: labels, instructions with registers,
// SFRs, numbers in several radixes, strings, directives and comments.
std::string MakeSource() {
    static const char* const kLines[] = {
        "        MOV   A,#0FFh          ; load the mask",
        "        MOVX  @DPTR,A",
        "        ADDC  A,@R0",
        "        CJNE  R7,#10,next_byte",
        "        SETB  P1.0",
        "        JNB   TI,$",
        "        MOV   DPTR,#table",
        "        DJNZ  R2,again",
        "        ORL   PSW,#00011000b",
        "        LCALL delay_ms",
        "        DB    'Hello, world', 0",
        "COUNT   EQU   17o",
        "        ORG   0100h",
        "; ---- serial port ---------------------------------------",
        "        MOVC  A,@A+DPTR",
        "        ANL   A,#HIGH buffer",
    };
    std::mt19937 rng(51);
    std::string out;
    out.reserve(kTextBytes + 128);
    for (int label = 0; out.size() < kTextBytes; ++label) {
        if (rng() % 6 == 0) out += "label" + std::to_string(label) + ":\r\n";
        out += kLines[rng() % std::size(kLines)];
        out += "\r\n";
    }
    return out;
}

double PeakResidentMB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

void BM_HighlightAsm51(benchmark::State& state) {
    TTessaryParser parser;
    {
        TFileStream script(kScript, TFileStream::fmOpenRead);
        scheme::CompileScheme(parser, script, kScript);
    }
    const std::string source = MakeSource();
    editor::TTextStore store;
    store.SetText(source);
    int64_t tokenBytes = 0;
    for (auto _ : state) {
        // From scratch each time: the old bytes are not looked at.
        cli::HighlightWholeStore(parser, store);
        state.PauseTiming();
        tokenBytes = 0;
        for (editor::TLineIndex i = 0; i < store.LineCount(); ++i)
            tokenBytes += static_cast<int64_t>(store.NodeStyles(i).size());
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(store.TextLength()));
    state.counters["TokenBytes"] = static_cast<double>(tokenBytes);
    state.counters["PeakRSS_MB"] = PeakResidentMB();
}
BENCHMARK(BM_HighlightAsm51)->Unit(benchmark::kMillisecond)->Iterations(3);

// One character typed in the middle of the highlighted 100 MB text, then
// re-highlighting as the editor does after each key: the scan restarts at
// an anchor before the change and stops at the first line that comes out
// as before, so the time must not depend on the size of the text. Report
// the median:
//   scheme_bench --benchmark_filter=RehighlightAfterTyping
void BM_RehighlightAfterTypingMidText(benchmark::State& state) {
    TTessaryParser parser;
    {
        TFileStream script(kScript, TFileStream::fmOpenRead);
        scheme::CompileScheme(parser, script, kScript);
    }
    static editor::TTextStore store;
    if (store.TextLength() == 0) store.SetText(MakeSource());
    cli::TParserBinding binding(parser);
    editor::TRehighlighter highlighter(store);
    highlighter.SetParser(&binding);
    highlighter.MarkAll();
    highlighter.Run();
    const editor::TLineIndex line = store.LineCount() / 2;
    const editor::TOffset at = store.LineStart(line) + std::min<editor::TOffset>(store.Node(line).length, 12);
    int64_t linesScanned = 0;
    for (auto _ : state) {
        store.Insert(at, "x");
        linesScanned += highlighter.Run().linesScanned;
        state.PauseTiming();
        store.Delete(at, 1);
        highlighter.Run();
        state.ResumeTiming();
    }
    state.counters["LinesScanned"] =
        benchmark::Counter(static_cast<double>(linesScanned), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RehighlightAfterTypingMidText)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The scanner alone over the same text held in one string, without the
// store and the re-highlighting driver: what the driver adds is the
// difference to HighlightAsm51.
void BM_ScanAsm51(benchmark::State& state) {
    TTessaryParser parser;
    {
        TFileStream script(kScript, TFileStream::fmOpenRead);
        scheme::CompileScheme(parser, script, kScript);
    }
    const std::string text = WithEditorLineBreaks(MakeSource());
    for (auto _ : state)
        benchmark::DoNotOptimize(ScanTokenIds(parser, text).data());
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ScanAsm51)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CompileAsm51(benchmark::State& state) {
    TMemoryStream text;
    {
        TFileStream script(kScript, TFileStream::fmOpenRead);
        text.CopyFrom(script, 0);
    }
    for (auto _ : state) {
        text.SetPosition(0);
        TTessaryParser parser;
        scheme::CompileScheme(parser, text, kScript);
        benchmark::DoNotOptimize(parser.Tables().keywords.get());
    }
}
BENCHMARK(BM_CompileAsm51)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
