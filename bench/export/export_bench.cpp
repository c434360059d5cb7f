// Writing a highlighted 8051 source of 10 MB as RTF and as HTML, the way
// the editor exports a document: the text sits in a text store whose token
// bytes the bundled asm51.tsc has set, and the writer walks it into memory.
//   export_bench
// reports bytes_per_second as MB/s of source text, and the size of the
// output per source byte (OutputPerSourceByte). CopyRtf1MB copies a 1 MB
// selection of it with RTF on (plain text and RTF handed to the host), as
// Ctrl+C does.

#include "cli/ParserBinding.h"
#include "common/Stream.h"
#include "editor/Tessary.h"
#include "editor/TessaryExport.h"
#include "scheme/SchemeCompiler.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

using namespace torvane;
using namespace torvane::editor;

namespace {

constexpr size_t kTextBytes = 10u << 20;
const std::string kScript = TORVANE_SCRIPTS_DIR "/asm51.tsc";

// Instructions, labels, numbers, strings, comments and Czech comment text
// (bytes above 127), so every escape path of the writers is walked.
std::string MakeSource() {
    static const char* const kLines[] = {
        "\tMOV\tA,#0FFh\t\t; na\xe8ti masku",
        "\tMOVX\t@DPTR,A",
        "\tCJNE\tR7,#10,dalsi",
        "\tSETB\tP1.0\t\t; {zapni} LED",
        "\tDB\t'Text \"v\" <uvozovk\xe1"
        "ch>', 0",
        "\tORG\t0100h",
        ";; ---- s\xe9riov\xfd port ----",
    };
    std::mt19937 rng(15);
    std::string out;
    out.reserve(kTextBytes + 64);
    for (int label = 0; out.size() < kTextBytes; ++label) {
        if (rng() % 5 == 0) out += "smycka" + std::to_string(label) + ":\r\n";
        out += kLines[rng() % std::size(kLines)];
        out += "\r\n";
    }
    return out;
}

struct Fixture {
    TTessaryParser parser;
    TTextStore store;
    TSettingsStyleSource styles{parser.Settings()};
    TExportLook look;
    Fixture() {
        TFileStream script(kScript, TFileStream::fmOpenRead);
        scheme::CompileScheme(parser, script, kScript);
        store.SetText(MakeSource());
        HighlightWholeStore(parser, store);
        look.styles = &styles;
        look.date = "1.1.2024 0:00:00";
    }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

template <bool Rtf> void BM_Export(benchmark::State& state) {
    Fixture& f = Shared();
    size_t written = 0;
    for (auto _ : state) {
        TMemoryStream out;
        if constexpr (Rtf)
            WriteRtf(out, f.store, 0, f.store.TextLength(), f.look);
        else
            WriteHtml(out, f.store, 0, f.store.TextLength(), f.look, "bench.a51");
        written = out.Bytes().size();
        benchmark::DoNotOptimize(out.Bytes().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * f.store.TextLength());
    state.counters["OutputPerSourceByte"] = static_cast<double>(written) / f.store.TextLength();
}

void BM_ExportRtf(benchmark::State& state) {
    BM_Export<true>(state);
}
void BM_ExportHtml(benchmark::State& state) {
    BM_Export<false>(state);
}

struct CopyHost final : TessaryHost {
    size_t bytes = 0;
    void SetClipboard(const TClipboardData& data) override { bytes = data.text->size() + data.rtf->size(); }
};

void BM_CopyRtf1MB(benchmark::State& state) {
    constexpr TOffset kSelection = 1 << 20;
    CopyHost host;
    TCustomTessary control(&host);
    control.Store().SetText(MakeSource().substr(0, kSelection + 4096));
    TTessaryParser parser;
    TFileStream script(kScript, TFileStream::fmOpenRead);
    scheme::CompileScheme(parser, script, kScript);
    HighlightWholeStore(parser, control.Store());
    const TSettingsStyleSource styles(parser.Settings());
    control.SetExportLook({&styles, {}, {}, {}});
    control.SetSelection(0, kSelection, false);
    for (auto _ : state)
        control.Perform(WM_COPY);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSelection);
    state.counters["ClipboardBytes"] = static_cast<double>(host.bytes);
}

} // namespace

BENCHMARK(BM_CopyRtf1MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportRtf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportHtml)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
