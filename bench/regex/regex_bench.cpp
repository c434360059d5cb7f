// Regular-expression search over about 100 MB of generated assembler text,
// next to grep -c on the same file in the same run. Both report MB/s; the
// counters are the matches found (engine) and the matching lines (grep).
#include "AsmCorpus.h"
#include "regex/REParser.h"

#include <benchmark/benchmark.h>

using namespace torvane;

namespace {

constexpr size_t kMegabytes = 100;

const char* const kPatterns[] = {"MOV\\s+A,#\\d+", "L[0-9]+:"};
// The same searches for grep -E (which has no \d).
const char* const kGrepPatterns[] = {"MOV[[:space:]]+A,#[0-9]+", "L[0-9]+:"};

void BM_RegexSearch(benchmark::State& state) {
    const auto& corpus = bench::GetAsmCorpus(kMegabytes);
    TREParser re;
    if (!re.Compile(kPatterns[state.range(0)])) state.SkipWithError("pattern does not compile");
    long matches = 0;
    for (auto _ : state) {
        matches = 0;
        TStringCharSource source(corpus.stored);
        while (re.Execute(&source, true)) {
            ++matches;
            if (re.Position(re.SlotCount()) == re.Position(0)) source.Next();
        }
    }
    state.SetLabel(kPatterns[state.range(0)]);
    state.counters["matches"] = static_cast<double>(matches);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(corpus.stored.size()));
}

void BM_GrepCount(benchmark::State& state) {
    const auto& corpus = bench::GetAsmCorpus(kMegabytes);
    long lines = 0;
    for (auto _ : state)
        lines = bench::GrepCount("-E", kGrepPatterns[state.range(0)], corpus.path);
    if (lines < 0) state.SkipWithError("grep could not be run");
    state.SetLabel(std::string("grep -cE ") + kGrepPatterns[state.range(0)]);
    state.counters["lines"] = static_cast<double>(lines);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(corpus.stored.size()));
}

} // namespace

BENCHMARK(BM_RegexSearch)->Arg(0)->Arg(1)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrepCount)->Arg(0)->Arg(1)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
